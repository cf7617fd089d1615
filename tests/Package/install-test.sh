#!/usr/bin/env bash
# Installs the Debian package in a throwaway Debian root, runs it and removes it again:
#
#   tests/Package/install-test.sh PACKAGE.deb [BUILD]
#
# The throwaway root is this machine's own system seen through an overlay whose changes live in
# memory, in private mount and process namespaces (unshare), entered with chroot: dpkg, the
# account, the crontab, cron and the system bus there vanish with it, and nothing of this
# machine changes. Inside it the package is installed (the daemon's unit must be enabled
# without systemd running), a task is written into a test account's crontab through the schedule
# library, the real cron daemon fires it at the next minute, and the installed taskKicker must
# start the sample product and deliver the task's event, with its result line logged; then
# "qorsched fire" runs it once more, and the package is removed (the unit disabled, the task
# left in the crontab) and purged.
#
# BUILD (default build/) provides the helper that writes the task and the sample product; they
# are built there when missing. Needs root, unshare and overlayfs. Waits at most about two
# minutes for cron. Exit status 0 passed, 1 failed, 77 skipped (no throwaway root possible).
set -euo pipefail

account=qorschedpkg
suite=/opt/tavrin-scheduler
scheduler="$suite/Library/Application Support/Tavrin Solutions Support/Scheduler"
unit=TavrinMissedTasks.service
files=/usr/local/lib/qorsched-install-test # inside the throwaway root

step() { printf '\n== %s\n' "$*"; }
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Inside the throwaway root, as root: the test itself.
in_root() {
    export TZ=UTC LC_ALL=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin
    unset QORSCHED_ROOT QORSCHED_SYSTEM_ROOT QORSCHED_LOG_FILE DISPLAY WAYLAND_DISPLAY

    step "dpkg -i: installed without systemd running"
    dpkg -i "$files/tavrin-scheduler.deb" || fail "dpkg -i failed"
    for path in "$scheduler/taskKicker" "$scheduler/QorLoginItems" \
        "$scheduler/QorSecondaryLaunch.app/Contents/MacOS/QorSecondaryLaunch" \
        "$suite/Library/StartupItems/TavrinMissedTasks/TavrinMissedTasks" \
        "$suite/Applications/Tavrin Solutions/Tavrin Scheduler.app/Contents/MacOS/Tavrin Scheduler"; do
        [ -x "$path" ] || fail "not installed: $path"
    done
    [ "$(readlink "/etc/systemd/system/multi-user.target.wants/$unit")" = "/lib/systemd/system/$unit" ] ||
        fail "the daemon's unit was not enabled"
    echo "enabled: /etc/systemd/system/multi-user.target.wants/$unit"
    [ "$(command -v qorsched)" = /usr/bin/qorsched ] || fail "qorsched is not on PATH"
    if command -v man >/dev/null; then
        for page in qorsched tavrin-scheduler taskKicker TavrinMissedTasks; do
            man -w "$page" >/dev/null || fail "no manual page for $page"
        done
    fi
    # The installed application loads (Qt, its plugins, its libraries) and answers a one-shot
    # request of the installers without a window.
    QT_QPA_PLATFORM=offscreen HOME=/root tavrin-scheduler -setDefaultTasks all ||
        fail "tavrin-scheduler -setDefaultTasks all failed"

    step "a test account, its product, and the system bus with the account at the console"
    useradd --create-home --shell /usr/sbin/nologin "$account"
    local uid gid home
    uid=$(id -u "$account")
    gid=$(id -g "$account")
    home=$(getent passwd "$account" | cut -d: -f6)
    local product="$files/product" record="$files/product.record" log="$files/log"
    install -m 0644 -o "$account" /dev/null "$record"
    install -m 0644 -o "$account" /dev/null "$log"
    as_account() {
        setpriv --reuid="$uid" --regid="$gid" --init-groups \
            env -i HOME="$home" LOGNAME="$account" USER="$account" PATH=/usr/bin:/bin TZ=UTC "$@"
    }
    mkdir -p /run/dbus
    cat >"$files/system-bus.conf" <<'CONF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path=/run/dbus/system_bus_socket</listen>
<auth>EXTERNAL</auth><policy context="default"><allow user="*"/><allow own="*"/>
<allow send_destination="*"/><allow receive_sender="*"/></policy></busconfig>
CONF
    dbus-daemon --config-file="$files/system-bus.conf" --fork --nosyslog
    /usr/bin/python3 -m dbusmock --system --template logind >/dev/null 2>&1 &
    local logind=$!
    bus() { dbus-send --system --print-reply "$@"; }
    for _ in $(seq 200); do
        bus --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
            string:org.freedesktop.login1 2>/dev/null | grep -q 'boolean true' && break
        kill -0 "$logind" 2>/dev/null || fail "the logind mock did not start"
        sleep 0.1
    done
    bus --dest=org.freedesktop.login1 /org/freedesktop/login1 org.freedesktop.DBus.Mock.AddSession \
        string:c1 string:seat0 uint32:"$uid" string:"$account" boolean:true >/dev/null ||
        fail "no session for $account"
    bus --dest=org.freedesktop.login1 /org/freedesktop/login1/session/c1 \
        org.freedesktop.DBus.Properties.Set string:org.freedesktop.login1.Session string:Type \
        variant:string:x11 >/dev/null || fail "the session is not graphical"
    echo "$account (uid $uid) is at the console of seat0"

    step "a task written through the schedule library, fired by the real cron daemon"
    /usr/sbin/cron || fail "cron did not start"
    # The next minute, or the one after when this one is nearly over: cron reads changed
    # crontabs once a minute.
    local now fire
    now=$(date +%s)
    fire=$((now - now % 60 + (now % 60 < 45 ? 60 : 120)))
    printf 'QORSCHED_LOG_FILE=%s\n' "$log" | as_account crontab - || fail "crontab failed"
    as_account QORSCHED_ROOT="$suite" QORSCHED_SYSTEM_ROOT= "$files/qorsched-package-test-task" \
        42 "$(date -d "@$fire" +%-H)" "$(date -d "@$fire" +%-M)" "$product" ||
        fail "the task could not be written"
    crontab -l -u "$account"
    local result="launch for id = 42 Smpl event = evnt result = 0"
    echo "waiting for cron at $(date -d "@$fire" +%H:%M) UTC ..."
    while [ "$(date +%s)" -lt $((fire + 50)) ]; do
        grep -q '^event ' "$record" && grep -qF "$result" "$log" && break
        sleep 0.5
    done
    cat "$record" "$log"
    grep -q "^start pid=[0-9]* uid=$uid " "$record" || fail "cron's taskKicker did not start the product"
    grep -qF "class='clas' id='evnt' '----'=list['TEXT':\"from cron\"]" "$record" ||
        fail "the product did not get the task's event"
    grep -qF "$scheduler/taskKicker[" "$log" || fail "no line of the installed taskKicker"
    grep -qF "$result" "$log" || fail "no result line \"$result\""

    step "qorsched list and qorsched fire, installed, as the account"
    as_account qorsched list | tee "$files/list"
    grep -q 'Package test' "$files/list" || fail "qorsched list does not show the task"
    as_account QORSCHED_LOG_FILE="$log" qorsched fire 1 || fail "qorsched fire 1 failed"
    [ "$(grep -c '^event .*from cron' "$record")" -eq 2 ] || fail "qorsched fire delivered nothing"

    step "dpkg -r: the unit disabled, the users' crontabs untouched"
    mkdir -p /var/lib/TavrinMissedTasks
    date +%s >/var/lib/TavrinMissedTasks/last-shutdown
    dpkg -r tavrin-scheduler || fail "dpkg -r failed"
    [ -e "/etc/systemd/system/multi-user.target.wants/$unit" ] && fail "the unit is still enabled"
    [ -e "$suite" ] && fail "$suite is still there: $(find "$suite" | head)"
    [ -e /usr/bin/qorsched ] && fail "/usr/bin/qorsched is still there"
    crontab -l -u "$account" | grep -q 'Name="Package test"' || fail "the task left the crontab"
    echo "removed; $account's crontab still holds its task"

    step "dpkg -P: the daemon's note and the autostart entry gone"
    dpkg -P tavrin-scheduler || fail "dpkg -P failed"
    [ -e /var/lib/TavrinMissedTasks ] && fail "/var/lib/TavrinMissedTasks survived the purge"
    [ -e /etc/xdg/autostart/com.qorvanix.qorsched.login-items.desktop ] &&
        fail "the autostart entry survived the purge"
    kill "$logind" 2>/dev/null || true
    echo
    echo "PASS: installed, fired by cron through the installed taskKicker, removed and purged"
}

# In private namespaces, as their first process: builds the throwaway root and enters it.
in_namespaces() {
    local work=$1 layer=$1/layer merged=$1/layer/merged
    mount -t tmpfs -o mode=0755 tmpfs "$layer"
    mkdir -p "$layer/upper" "$layer/work" "$merged"
    mount -t overlay overlay -o "lowerdir=/,upperdir=$layer/upper,workdir=$layer/work" "$merged" ||
        exit 77
    mount --rbind /dev "$merged/dev"
    mount -t proc proc "$merged/proc"
    # Fresh /run and /tmp: nothing of this machine's services (no systemd, no bus, no cron).
    mount -t tmpfs -o mode=0755 tmpfs "$merged/run"
    mount -t tmpfs -o mode=1777 tmpfs "$merged/tmp"
    mkdir -p "$merged$files"
    cp "$work/files/"* "$merged$files/"
    chmod 0755 "$merged$files"
    exec chroot "$merged" /bin/bash "$files/install-test.sh" --in-root
}

case "${1:-}" in
--in-root)
    in_root
    exit 0
    ;;
--in-namespaces)
    in_namespaces "$2"
    ;;
esac

deb=${1:?usage: install-test.sh PACKAGE.deb [BUILD]}
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${2:-$repo/build}
[ -f "$deb" ] || { echo "no package at $deb" >&2; exit 1; }
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: needs root (namespaces, overlay, chroot)"
    exit 77
fi
if ! unshare --mount --pid --fork --propagation private true 2>/dev/null; then
    echo "SKIPPED: this machine does not allow private mount and process namespaces"
    exit 77
fi

cmake -S "$repo" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target PackageTestTask SampleProductProgram >/dev/null
work=$(mktemp -d /tmp/qorsched-install-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/files" "$work/layer"
cp "$deb" "$work/files/tavrin-scheduler.deb"
cp "$build/tests/Package/qorsched-package-test-task" "$build/tools/SampleProduct/qorsched-sample-product" \
    "$here/install-test.sh" "$work/files/"
mv "$work/files/qorsched-sample-product" "$work/files/product"
status=0
unshare --mount --pid --fork --propagation private "$here/install-test.sh" --in-namespaces "$work" ||
    status=$?
[ "$status" -eq 77 ] && echo "SKIPPED: no overlay of / could be mounted"
exit "$status"
