#!/usr/bin/env bash
# The demonstration: installs what is missing, builds in build/, installs the suite and the
# sample products (at every product path of the suite) into the demo root demo-root/, and opens
# Tavrin Scheduler on it. The crontab stays inside the demo root (the stand-in crontab command
# comes first on PATH), so your own crontab is not touched. When the window is closed, the
# newest task is fired from the command line as cron would fire it, and what the product
# received and the log lines are shown.
#
#   scripts/demo.sh                    as above; with no display, a picture of the window
#   scripts/demo.sh --screenshot FILE  no window: the picture goes to FILE
#   scripts/demo.sh --real-crontab     your real crontab: tasks you create fire for real
#   scripts/demo.sh --road             the road of one task, step by step (scripts/demo-road.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

mode=window
screenshot=""
case "${1:-}" in
"") ;;
--screenshot)
    mode=screenshot
    screenshot=$(realpath -m "${2:?--screenshot needs a file name}")
    ;;
--real-crontab) mode=real ;;
--road) exec scripts/demo-road.sh ;;
*)
    sed -n 's/^#   //p' "$0" >&2
    exit 2
    ;;
esac
if [ "$mode" = window ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    mode=screenshot
fi

scripts/install-deps.sh
build=${QORSCHED_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
build=$(cd "$build" && pwd)
cmake --build "$build" --target taskKicker QorSecondaryLaunchProgram QorLoginItemsProgram \
    TavrinMissedTasksProgram TavrinSchedulerProgram qorsched SendEventProgram \
    SampleProductProgram QorSchedManuals

# --- the demo root: the suite as installed, and a product at every product path -------------
root=${QORSCHED_DEMO_ROOT:-$repo/demo-root}
[ -d "$root" ] && "$root/stop-products.sh" 2>/dev/null || true
rm -rf "$root"
mkdir -p "$root"
root=$(cd "$root" && pwd)
DESTDIR=$root cmake --install "$build" >/dev/null
support="$root/Library/Application Support/Tavrin Solutions Support"
scheduler="$support/Scheduler"
app="$root/Applications/Tavrin Solutions/Tavrin Scheduler.app/Contents/MacOS/Tavrin Scheduler"
sample=$build/tools/SampleProduct/qorsched-sample-product

product() { # fixed path of a plain executable
    mkdir -p "$(dirname "$root$1")"
    cp "$sample" "$root$1"
}
bundle() { # folder, executable name, creator code
    mkdir -p "$root$1/Contents/MacOS"
    cp "$sample" "$root$1/Contents/MacOS/$2"
    cat >"$root$1/Contents/Info.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>CFBundleExecutable</key><string>$2</string>
<key>CFBundleSignature</key><string>$3</string>
</dict></plist>
PLIST
}
product "/Library/Application Support/Tavrin Solutions Support/Tavrin Ombrix/timedSweeper"
product "/Library/StartupItems/TavrinWardline/TavrinWardline"
product "/Library/Application Support/Tavrin Solutions Support/Tavrin Gearbox/Tavrin Diskmate"
product "/Library/Application Support/Tavrin Solutions Support/Tavrin Gearbox/Tavrin Densor"
bundle "/Applications/Tavrin Solutions/Renovix.app" Renovix TrvX
bundle "/Applications/Tavrin Solutions/Tavrin Palisade.app" "Tavrin Palisade" TpaX
bundle "/Applications/Tavrin Solutions/Tavrin Veilguard.app" "Tavrin Veilguard" TvgX

# Products started during the demo stop after 10 idle seconds; this stops them at once.
cat >"$root/stop-products.sh" <<'STOP'
#!/bin/sh
# Stops the demo's products still running, by the process IDs they recorded.
root=$(cd "$(dirname "$0")" && pwd)
find "$root/Applications" "$root/Library" -name '*.record' -exec sed -n 's/^start pid=\([0-9]*\).*/\1/p' {} + |
    while read -r pid; do
        case "$(readlink "/proc/$pid/exe" 2>/dev/null)" in "$root"/*) kill "$pid" ;; esac
    done
STOP
chmod +x "$root/stop-products.sh"
trap '"$root/stop-products.sh"' EXIT

# --- the environment: the demo root, the stand-in crontab, the log mirror --------------------
{
    echo "# Source this file (. demo-root/env.sh) to work on the demo root by hand."
    printf 'export QORSCHED_ROOT=%q QORSCHED_LOG_FILE=%q QORSCHED_SAMPLE_IDLE=10\n' \
        "$root" "$root/log.txt"
    if [ "$mode" = real ]; then
        echo "export QORSCHED_SYSTEM_ROOT=''  # your real crontab, home folder and /tmp"
        printf 'export PATH=%q:"$PATH"\n' "$root/usr/local/bin"
    else
        echo "unset QORSCHED_SYSTEM_ROOT"
        printf 'export PATH=%q:%q:"$PATH"\n' "$build/tools/FakeCrontab/bin" \
            "$root/usr/local/bin"
    fi
} >"$root/env.sh"
# shellcheck source=/dev/null
. "$root/env.sh"
mkdir -m 1777 -p "$root/tmp"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then # outside a login session, as under sudo
    export XDG_RUNTIME_DIR=$root/run/user
    mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
fi
home=$(getent passwd "$(id -u)" | cut -d: -f6)
[ "$mode" = real ] || home=$root$home
mkdir -p "$home"

echo
echo "== The suite is installed in $root, with a sample product at every product path"
if [ "$mode" = real ]; then
    echo "   Your REAL crontab is used: cron fires the tasks you create at their minutes, through"
    echo "   $root's taskKicker. Remove them with the application or \"qorsched delete N\"."
else
    # What the suite's installer does for each user: the default tasks of the installed products.
    QT_QPA_PLATFORM=offscreen "$app" -setDefaultTasks all
    echo "   Its crontab (kept in $root/var/spool/cron/crontabs) holds the default tasks:"
fi
echo
qorsched list

echo
if [ "$mode" = screenshot ]; then
    shot=${screenshot:-$root/tavrin-scheduler.png}
    [ -n "$screenshot" ] || echo "== No display here: Tavrin Scheduler is shown on a virtual one instead"
    /usr/bin/python3 scripts/xvfb-screenshot.py "$shot" -- "$app"
    echo "   A picture of its window: $shot"
else
    echo "== Tavrin Scheduler is open. Create, change or delete tasks; close the window to go on."
    "$app" || true
fi

# --- the newest task, fired as cron fires it --------------------------------------------------
count=$(qorsched list | sed -n '1s/^\([0-9]*\) scheduled task.*/\1/p')
if [ -z "$count" ] || [ "$count" -eq 0 ]; then
    echo
    echo "No task in the crontab: nothing to fire."
else
    echo
    echo "== Task $count, the newest, is fired now from the command line, as cron would at its minute"
    qorsched fire "$count" || true
    pending="$home/.config/com.qorvanix.qorsched"
    waiting=$(find "$pending" -maxdepth 1 -type f ! -name '.*' 2>/dev/null | wc -l)
    if [ "$waiting" -gt 0 ]; then
        echo
        echo "== The launch was left in ~/.config/com.qorvanix.qorsched for your next graphical login"
        echo "   (the demo root's system bus has nobody at the console). The demo does what that"
        echo "   login does: the autostart entry runs QorLoginItems, which opens QorSecondaryLaunch."
        "$scheduler/QorLoginItems"
        # Until every pending launch has its result line (at most 15 tries 2 seconds apart).
        for _ in $(seq 450); do
            (($(grep -c 'QorSecondaryLaunch.*launch for id' "$QORSCHED_LOG_FILE" 2>/dev/null) >= waiting)) && break
            sleep 0.1
        done
    fi
    echo
    echo "== What the products recorded"
    while IFS= read -r -d '' record; do
        echo "-- ${record#"$root"}"
        sed "s|$root|\$QORSCHED_ROOT|g" "$record"
    done < <(find "$root/Applications" "$root/Library" -name '*.record' -print0)
    echo "(A default task's event is 'oapp': the product is opened with the task's arguments. A"
    echo " task with an event of its own, such as a scan, also gets an \"event\" line.)"
    echo
    echo "== The log (mirrored to \$QORSCHED_LOG_FILE = $QORSCHED_LOG_FILE)"
    sed "s|$root|\$QORSCHED_ROOT|g" "$QORSCHED_LOG_FILE" 2>/dev/null || echo "(empty)"
fi

cat <<EOF

== The demo root stays in $root until the next run. To go on by hand:
   . ${root#"$repo/"}/env.sh        # its root, crontab and log, and qorsched, on PATH
   qorsched list; qorsched fire 1
   "\$QORSCHED_ROOT/Applications/Tavrin Solutions/Tavrin Scheduler.app/Contents/MacOS/Tavrin Scheduler"
   cat "\$QORSCHED_LOG_FILE"
EOF
if [ "$mode" != real ]; then
    cat <<EOF
   Your real crontab: "scripts/demo.sh --real-crontab" opens the application on it (the tasks
   then fire for real through the demo root's launcher), or install the package (README).
EOF
fi
