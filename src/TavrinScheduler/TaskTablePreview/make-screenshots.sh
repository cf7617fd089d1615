#!/bin/sh
# Takes the task table's pictures in docs/ on a demo root: every product installed (the sample
# product at each product path), the stand-in crontab command holding tasks of every kind, a
# fixed today (Wednesday 15 May 2024, 10:30, UTC), and the user's time and date formats in the
# preferences. Needs xvfb-run (package xvfb) and a build of TaskTablePreview, FakeCrontab and
# SampleProduct:
#
#   src/TavrinScheduler/TaskTablePreview/make-screenshots.sh [build folder]
set -eu

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../../.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
preview=$build/src/TavrinScheduler/TaskTablePreview/TaskTablePreview
sample=$build/tools/SampleProduct/qorsched-sample-product
for program in "$preview" "$sample" "$build/tools/FakeCrontab/bin/crontab"; do
    [ -x "$program" ] || { echo "missing $program: build it first" >&2; exit 1; }
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
export QORSCHED_ROOT="$root" TZ=UTC LC_ALL=C.UTF-8
unset QORSCHED_SYSTEM_ROOT
PATH="$build/tools/FakeCrontab/bin:$PATH"
export PATH
mkdir -p "$root/tmp"

product() {
    mkdir -p "$(dirname "$root$1")"
    cp "$sample" "$root$1"
}
sweeper="/Library/Application Support/Tavrin Solutions Support/Tavrin Ombrix/timedSweeper"
diskmate="/Library/Application Support/Tavrin Solutions Support/Tavrin Gearbox/Tavrin Diskmate"
densor="/Library/Application Support/Tavrin Solutions Support/Tavrin Gearbox/Tavrin Densor"
renovix="/Applications/Tavrin Solutions/Renovix.app/Contents/MacOS/Renovix"
for path in "$sweeper" "$diskmate" "$densor" "$renovix"; do
    product "$path"
done
cat >"$root/Applications/Tavrin Solutions/Renovix.app/Contents/Info.plist" <<'PLIST'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>CFBundleExecutable</key><string>Renovix</string>
<key>CFBundleSignature</key><string>TrvX</string>
</dict></plist>
PLIST

# One task: name, kind, schedule type, enabled (1/0), the five cron time fields, launcher
# options ("" for none), executable, creator, event data. The lines are those a save writes.
launcher="$root/Library/Application Support/Tavrin Solutions Support/Scheduler/taskKicker"
task() {
    printf '# Enc=1 Name="%s"  EvType1=%s EvType2=0 Sched=%s \n' "$1" "$2" "$3"
    [ "$4" = 1 ] && mark=' ' || mark='#'
    options=""
    [ -n "${10}" ] && options="-${10} "
    printf '%s%s %s %s %s %s "%s" %s 0  "%s"  "%s"  "oapp"  "aevt"  %s\n' \
        "$mark" "$5" "$6" "$7" "$8" "$9" "$launcher" "$options" "$root${11}" "${12}" "${13}"
}
scan() { printf '"path" "%s"' "$1"; }
update() { printf '"exAG" "-update %s"' "$1"; }
run='"exAG"  "-d0"'

user=$(id -un)
mkdir -p "$root/var/spool/cron/crontabs"
{
    printf '# m h dom mon dow command\n0 1 * * * /usr/local/bin/backup-photos\n'
    printf '#ZovE\tVERSION = 1.0.0\n'
    printf '#QORVANIX SCHEDULER CRON ENTRIES.  THESE ENTRIES ARE AUTOMATICALLY GENERATED\n'
    printf '#PLEASE DO NOT EDIT.\n'
    task "Weekly Home Scan" 2 2 1 30 2 '*' '*' 3 n "$sweeper" "    " "$(scan /home/ann/Documents)"
    task "Project Folder Scan" 2 1 1 0 3 15 '*' '*' n "$sweeper" "    " "$(scan /srv/projects)"
    task "Custorix Daily Update" 3 3 1 0 12 '*' '*' '*' "" "$diskmate" "    " "$run"
    task "Daily Defragmentation" 4 3 1 0 0 '*' '*' '*' "" "$densor" "    " "$run"
    task "Weekend Defragmentation" 4 2 0 0 1 '*' '*' 0 "" "$densor" "    " "$run"
    task "Update Virus Protection" 1 1 1 0 10 1 '*' '*' u "$renovix" "    " "$(update RVdf)"
    task "Gearbox Update" 1 2 1 15 9 '*' '*' 5 u "$renovix" "    " "$(update RVtg)"
    task "Year-End Update" 1 4 0 0 18 24 12 '*' u "$renovix" "    " "$(update RVal)"
    printf '#ZovE END QORVANIX CRON ENTRIES\n'
} >"$root/var/spool/cron/crontabs/$user"

# The user's formats, in the preferences of the preview's own domain.
home=$(getent passwd "$(id -u)" | cut -d: -f6)
mkdir -p "$root$home/.config"
preferences() {
    cat >"$root$home/.config/TaskTablePreview.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>NSTimeFormatString</key><string>$1</string>
<key>NSDateFormatString</key><string>$2</string>
</dict></plist>
PLIST
}

shoot() {
    xvfb-run -a -s "-screen 0 1280x1024x24" "$preview" --today 2024-05-15 "$@"
}
mkdir -p "$repo/docs"
preferences '%I:%M:%S %p' '%A, %B %e, %Y'
shoot --sort mNextLaunch --screenshot "$repo/docs/task-table.png"
preferences '%H:%M' '%A, %e. %B %Y'
shoot --language de --sort mName --screenshot "$repo/docs/task-table-de.png"
echo "docs/task-table.png and docs/task-table-de.png written"
