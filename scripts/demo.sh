#!/usr/bin/env bash
# Installs what is missing, builds the descriptor demonstration in build/ and runs it on a few
# launcher command lines: what the launcher command accepts, the one-line text form it leaves
# for the secondary launcher, and the fields read back from that line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target qorsched-descriptor
demo=build/tools/DescriptorDemo/qorsched-descriptor

run() {
    printf '\n$ taskKicker'
    printf ' %q' "$@"
    printf '\n'
    "$demo" "$@" 2>&1 || echo "(exit status $?)"
}

echo
echo "== A scan of a folder whose program path holds blanks: (type, data) pairs"
run 12 "/opt/Tavrin Apps/sample" Smpl scan Qsch exAG "-x 1" path "/home/user/My Documents"

echo
echo "== With -n and the kydo marker: the groups after it are (keyword, type, data)"
run -n 7 /usr/bin/sample Smpl runT Qsch kydo kwrd TEXT "hello world"

echo
echo "== A three-character creator code is refused with the launcher's usage line"
run 5 /usr/bin/sample Smp runT Qsch
