#!/usr/bin/env bash
# The road of one task, step by step (scripts/demo.sh --road): installs what is missing, builds
# in build/ and, inside a temporary root where nothing of your machine is touched, puts two
# tasks into a crontab (the stand-in crontab command keeps it in the root), runs each cron
# line's command as cron would run it, and shows taskKicker starting the sample product and
# delivering the task's event, or leaving the launch for the secondary launcher at the next
# login. Prints the products' records and the log.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=${QORSCHED_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target taskKicker QorSecondaryLaunchProgram QorLoginItemsProgram \
    qorsched qorsched-sample-product

# The root holds the installed suite, the user's home folder, the crontab, the event ports and
# the log; the stand-in crontab command comes first on PATH.
root=$(mktemp -d /tmp/qorsched-demo-XXXXXX)
export QORSCHED_ROOT=$root QORSCHED_LOG_FILE=$root/log.txt QORSCHED_SAMPLE_IDLE=10
export PATH=$PWD/$build/tools/FakeCrontab/bin:$PATH
home=$root$(getent passwd "$(id -u)" | cut -d: -f6)
# At the end the products still waiting for events are stopped, by the IDs they recorded.
stop_products() {
    sed -n 's/^start pid=\([0-9]*\).*/\1/p' "$densor.record" "$ombrix/Contents/MacOS/Ombrix.record" \
        2>/dev/null | xargs -r kill 2>/dev/null || true
}
trap 'stop_products; rm -rf "$root"' EXIT
mkdir -m 1777 "$root/tmp"
mkdir -p "$home"
DESTDIR=$root cmake --install "$build" --component launcher >/dev/null
scheduler="$root/Library/Application Support/Tavrin Solutions Support/Scheduler"
densor="$root/Library/Application Support/Tavrin Solutions Support/Tavrin Gearbox/Tavrin Densor"
ombrix="$root/Applications/Ombrix.app"
mkdir -p "$(dirname "$densor")" "$ombrix/Contents/MacOS"
cp "$build"/tools/SampleProduct/qorsched-sample-product "$densor"
cp "$build"/tools/SampleProduct/qorsched-sample-product "$ombrix/Contents/MacOS/Ombrix"
cat >"$ombrix/Contents/Info.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>CFBundleExecutable</key><string>Ombrix</string>
<key>CFBundleSignature</key><string>Ombx</string>
</dict></plist>
PLIST

echo
echo "== The user's crontab: a line of their own and the scheduler's block with two tasks,"
echo "   a defragmentation (a plain executable) and a virus scan (an application bundle)"
{
    echo "MAILTO=\"\""
    printf '#ZovE\tVERSION = 1.0.0\n'
    echo "#QORVANIX SCHEDULER CRON ENTRIES.  THESE ENTRIES ARE AUTOMATICALLY GENERATED"
    echo "#PLEASE DO NOT EDIT."
    echo "# Enc=1 Name=\"Weekly defragmentation\"  EvType1=4 EvType2=0 Sched=2 "
    echo " 30 2 * * 0 \"$scheduler/taskKicker\"  12  \"$densor\"  \"Dnsr\"  \"DFRG\"  \"Dnsr\"  \"exAG\" \"-volume /data\\ disk\" \"TEXT\" \"made by the demo\""
    echo "# Enc=1 Name=\"Daily scan\"  EvType1=2 EvType2=0 Sched=3 "
    echo " 0 12 * * * \"$scheduler/taskKicker\"  13  \"$ombrix\"  \"Ombx\"  \"SCob\"  \"SCae\"  \"TEXT\" \"$root/home\""
    echo "#ZovE END QORVANIX CRON ENTRIES"
} | crontab -
"$build"/tools/QorSchedTool/qorsched list

# cron runs a line's command with /bin/sh, as the crontab's owner.
fire() {
    local line command
    line=$(crontab -l | grep -F "  $1  \"")
    read -r _ _ _ _ _ command <<<"$line"
    printf '\n$ %s\n' "$command"
    sh -c "$command" && echo "(exit status 0)" || echo "(exit status $?)"
}

echo
echo "== cron fires the defragmentation: taskKicker starts Densor and sends it the event."
echo "   (As root with nobody at the console it cannot reach it from cron and hands it off.)"
fire 12
echo
echo "== cron fires the scan: a bundle is left for the user's session, as a hidden login item"
fire 13
echo
echo "Pending launches in ~/.config/com.qorvanix.qorsched: $(ls "$home/.config/com.qorvanix.qorsched" | tr '\n' ' ')"
echo "Login items in ~/.config/loginwindow.plist:"
sed -n 's|^\t*<string>\(.*\)</string>|    \1|p' "$home/.config/loginwindow.plist" | sed "s|$root|\$QORSCHED_ROOT|"

echo
echo "== At the next graphical login the autostart entry runs QorLoginItems, which opens"
echo "   QorSecondaryLaunch; it works the pending launches off"
"$scheduler/QorLoginItems"
# Until every pending launch has its result line (about half a minute at most).
pending=$(ls "$home/.config/com.qorvanix.qorsched" | wc -l)
for _ in $(seq 400); do
    (($(grep -c 'QorSecondaryLaunch.*launch for id' "$QORSCHED_LOG_FILE") >= pending)) && break
    sleep 0.1
done

for record in "$densor.record" "$ombrix/Contents/MacOS/Ombrix.record"; do
    echo
    echo "== What the product recorded (${record#$root})"
    cat "$record" 2>/dev/null || echo "(nothing: it was not started)"
done
echo
echo "== The system log (mirrored to \$QORSCHED_LOG_FILE)"
sed "s|$root|\$QORSCHED_ROOT|g" "$QORSCHED_LOG_FILE"
