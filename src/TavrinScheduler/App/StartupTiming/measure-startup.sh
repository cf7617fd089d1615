#!/usr/bin/env bash
# Times the start of the scheduler with 1 000 tasks in the crontab, offscreen: from the start of
# the process until its window has drawn the task table, including the process start, the
# crontab listing (the stand-in crontab command), the rows and the first drawing. Prints each
# run and the median. Everything happens in a temporary root.
#
#   src/TavrinScheduler/App/StartupTiming/measure-startup.sh [build folder] [runs] [tasks]
set -euo pipefail
cd "$(dirname "$0")/../../../.."
build=${1:-build}
runs=${2:-9}
tasks=${3:-1000}
cmake --build "$build" --target TavrinSchedulerStartupTiming >/dev/null
program=$build/src/TavrinScheduler/App/StartupTiming/TavrinSchedulerStartupTiming

root=$(mktemp -d /tmp/tavrin-startup-XXXXXX)
trap 'rm -rf "$root"' EXIT
export QORSCHED_ROOT=$root QT_QPA_PLATFORM=offscreen
export PATH=$PWD/$build/tools/FakeCrontab/bin:$PATH
mkdir -m 1777 "$root/tmp"
mkdir -p "$root$(getent passwd "$(id -u)" | cut -d: -f6)"
renovix="$root/Applications/Tavrin Solutions/Renovix.app/Contents/MacOS/Renovix"
mkdir -p "$(dirname "$renovix")"
printf '#!/bin/sh\n' >"$renovix" && chmod +x "$renovix"
"$program" --fill "$tasks"

times=()
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    inside=$("$program" 2>/dev/null)
    end=$(date +%s%N)
    wall=$(((end - start) / 1000000))
    times+=("$wall")
    echo "run: $wall ms from the process start ($inside from main)"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
echo "median of $runs runs with $tasks tasks: $median ms"
