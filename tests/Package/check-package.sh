#!/usr/bin/env bash
# Checks a built Debian package without installing it: its control fields, that every program
# and file is at its place with the right owner and mode and nothing lies elsewhere, that the
# unit and desktop entries name files the package holds, that the manual pages render, and that
# the maintainer scripts enable the daemon's unit, disable it on removal and clean up on purge
# (run against the unpacked tree through DPKG_ROOT, so nothing of this machine is touched).
#
#   tests/Package/check-package.sh tavrin-scheduler_VERSION_ARCH.deb
set -euo pipefail

deb=${1:?usage: check-package.sh PACKAGE.deb}
[ -f "$deb" ] || { echo "no package at $deb" >&2; exit 1; }
work=$(mktemp -d /tmp/qorsched-check-package.XXXXXX)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
field() { dpkg-deb --field "$deb" "$1"; }

root=/opt/tavrin-scheduler
scheduler="$root/Library/Application Support/Tavrin Solutions Support/Scheduler"
bundle="$root/Applications/Tavrin Solutions/Tavrin Scheduler.app"
daemon="$root/Library/StartupItems/TavrinMissedTasks/TavrinMissedTasks"
unit=/lib/systemd/system/TavrinMissedTasks.service
autostart=/etc/xdg/autostart/com.qorvanix.qorsched.login-items.desktop
menu=/usr/share/applications/com.qorvanix.TavrinScheduler.desktop

# --- control fields ---
[ "$(field Package)" = tavrin-scheduler ] || fail "Package is $(field Package)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture $(field Architecture)"
[[ "$(field Version)" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "Version $(field Version)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
for needed in "cron | cron-daemon" init-system-helpers libqt6widgets6 libplist3 libsystemd0; do
    [[ "$(field Depends)" == *"$needed"* ]] || fail "Depends lacks $needed: $(field Depends)"
done
control="$work/control"
dpkg-deb --control "$deb" "$control"
[ "$(cat "$control/conffiles")" = "$autostart" ] || fail "conffiles: $(cat "$control/conffiles")"
for script in postinst prerm postrm; do
    [ -x "$control/$script" ] || fail "$script is missing or not executable"
    sh -n "$control/$script" || fail "$script does not parse"
done

# --- contents: owner, mode and place of every entry ---
# "type mode path[ -> target]" for each entry; "OWNER owner path" for one not root's.
dpkg-deb --contents "$deb" |
    sed -E 's/^(.)([^ ]+) +([^ ]+) +[^ ]+ +[^ ]+ +[^ ]+ +\.(.*)$/\1 \2 \4\n\3 \4/' |
    sed -E '/^root\/root /d; s/^[^ ]+\/[^ ]+ /OWNER &/' >"$work/contents"
while read -r line; do fail "$line"; done < <(grep '^OWNER' "$work/contents")
listed() { grep -qxF -- "$1" "$work/contents"; }
expect() { listed "$1" || fail "missing: $1"; }

for program in "$scheduler/taskKicker" "$scheduler/QorLoginItems" \
    "$scheduler/QorSecondaryLaunch.app/Contents/MacOS/QorSecondaryLaunch" \
    "$bundle/Contents/MacOS/Tavrin Scheduler" "$daemon" "$root/bin/qorsched" \
    "$root/bin/qorsched-send-event"; do
    expect "- rwxr-xr-x $program"
done
for file in "$scheduler/QorSecondaryLaunch.app/Contents/Info.plist" "$bundle/Contents/Info.plist" \
    "$bundle/Contents/Resources/TavrinScheduler.svg" "$unit" "$autostart" "$menu" \
    /usr/share/icons/hicolor/scalable/apps/com.qorvanix.TavrinScheduler.svg \
    /usr/share/doc/tavrin-scheduler/copyright /usr/share/man/man1/qorsched.1.gz \
    /usr/share/man/man1/tavrin-scheduler.1.gz /usr/share/man/man8/taskKicker.8.gz \
    /usr/share/man/man8/TavrinMissedTasks.8.gz; do
    expect "- rw-r--r-- $file"
done
expect "l rwxrwxrwx /usr/bin/qorsched -> $root/bin/qorsched"
expect "l rwxrwxrwx /usr/bin/tavrin-scheduler -> $bundle/Contents/MacOS/Tavrin Scheduler"
# Folders 0755; files only under the suite's root and the places the system looks in.
while read -r line; do fail "folder mode: $line"; done < <(grep -E '^d ' "$work/contents" |
    grep -v '^d rwxr-xr-x ')
allowed="^($root/|/usr/bin/(qorsched|tavrin-scheduler)\$|/usr/share/(applications|icons/hicolor|man/man[18]|doc/tavrin-scheduler)/|$unit\$|$autostart\$)"
while read -r stray; do fail "file outside the suite's places: $stray"; done < <(
    grep -E '^[-l] ' "$work/contents" | sed -E 's/^. [^ ]+ //; s/ -> .*//' | grep -Ev "$allowed")

# --- what the unit and the entries run is in the package ---
tree="$work/tree"
dpkg-deb --extract "$deb" "$tree"
grep -qxF "ExecStart=\"$daemon\" start" "$tree$unit" || fail "unit: $(grep ExecStart "$tree$unit")"
grep -qxF "Exec=\"$scheduler/QorLoginItems\"" "$tree$autostart" || fail "autostart Exec"
grep -qxF "Exec=\"$bundle/Contents/MacOS/Tavrin Scheduler\"" "$tree$menu" || fail "menu Exec"
grep -qxF "Icon=com.qorvanix.TavrinScheduler" "$tree$menu" || fail "menu Icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$tree$menu" "$tree$autostart" || fail "desktop entries do not validate"
fi

# --- manual pages decompress and render without complaint ---
for page in "$tree"/usr/share/man/man*/*.gz; do
    gzip -t "$page" || fail "$page is not gzip"
    if command -v man >/dev/null; then
        complaints=$(MANWIDTH=80 man --warnings=w -l "$page" 2>&1 >/dev/null |
            grep -v "cannot adjust line" || true)
        [ -z "$complaints" ] || fail "$(basename "$page"): $complaints"
    fi
done

# --- maintainer scripts, run on the unpacked tree as dpkg would run them ---
links="$tree/etc/systemd/system/multi-user.target.wants"
run() { # script, arguments...
    local script=$1
    shift
    DPKG_ROOT="$tree" DPKG_MAINTSCRIPT_PACKAGE=tavrin-scheduler DPKG_MAINTSCRIPT_NAME="$script" \
        sh "$control/$script" "$@" || fail "$script $* failed"
}
enabled() { [ "$(readlink "$links/TavrinMissedTasks.service" 2>/dev/null)" = "$unit" ]; }
run postinst configure
enabled || fail "postinst configure did not enable the unit"
run postinst configure 1.0.0
enabled || fail "an upgrade's postinst disabled the unit"
run prerm remove
run postrm remove
enabled && fail "postrm remove left the unit enabled"
run postinst configure
enabled || fail "installing again did not enable the unit again"
mkdir -p "$tree/var/lib/TavrinMissedTasks"
echo 1715767200 >"$tree/var/lib/TavrinMissedTasks/last-shutdown"
run prerm remove
run postrm remove
run postrm purge
[ -e "$tree/var/lib/TavrinMissedTasks" ] && fail "purge left /var/lib/TavrinMissedTasks"
[ -n "$(ls -A "$tree/var/lib/systemd/deb-systemd-helper-enabled" 2>/dev/null)" ] &&
    fail "purge left deb-systemd-helper state: $(ls -A "$tree/var/lib/systemd/deb-systemd-helper-enabled")"

if [ "$failures" -ne 0 ]; then
    echo "$deb: $failures problem(s)" >&2
    exit 1
fi
echo "$deb: contents, control fields and maintainer scripts are as they should be"
