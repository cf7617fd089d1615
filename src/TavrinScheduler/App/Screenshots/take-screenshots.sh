#!/usr/bin/env bash
# Pictures of the scheduler's windows for docs/: the sample product installed at every product
# path of the suite (the update application as a bundle with its creator code TrvX), a crontab
# in a temporary root, and an X server of its own (xvfb-run). Nothing of your machine is used.
#
#   src/TavrinScheduler/App/Screenshots/take-screenshots.sh [build folder] [output folder]
set -euo pipefail
cd "$(dirname "$0")/../../../.."
build=${1:-build}
out=${2:-docs}
cmake --build "$build" --target TavrinSchedulerScreenshots qorsched-sample-product >/dev/null

root=$(mktemp -d /tmp/tavrin-screenshots-XXXXXX)
trap 'rm -rf "$root"' EXIT
export QORSCHED_ROOT=$root
export PATH=$PWD/$build/tools/FakeCrontab/bin:$PATH
mkdir -m 1777 "$root/tmp"
mkdir -p "$root$(getent passwd "$(id -u)" | cut -d: -f6)"

product=$PWD/$build/tools/SampleProduct/qorsched-sample-product
support="$root/Library/Application Support/Tavrin Solutions Support"
install_plain() { mkdir -p "$(dirname "$1")" && cp "$product" "$1"; }
install_bundle() { # folder, name, creator code
    mkdir -p "$1/$2.app/Contents/MacOS"
    cp "$product" "$1/$2.app/Contents/MacOS/$2"
    cat >"$1/$2.app/Contents/Info.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>CFBundleExecutable</key><string>$2</string>
<key>CFBundleSignature</key><string>$3</string>
</dict></plist>
PLIST
}
install_plain "$support/Tavrin Ombrix/timedSweeper"
install_plain "$support/Tavrin Gearbox/Tavrin Diskmate"
install_plain "$support/Tavrin Gearbox/Tavrin Densor"
install_bundle "$root/Applications/Tavrin Solutions" Renovix TrvX
install_bundle "$root/Applications" "Tavrin Palisade" TpaX
install_bundle "$root/Applications" "Tavrin Veilguard" TvgX

mkdir -p "$out"
LANG=C.UTF-8 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1200x24 -dpi 96" \
    "$build/src/TavrinScheduler/App/Screenshots/TavrinSchedulerScreenshots" \
    --output "$out" --now 2025-03-12T10:30
ls "$out"/*.png
