#!/usr/bin/env bash
# Wall time of one taskKicker run, as cron runs a user's task, inside a temporary install root:
# for a plain-executable product that runs already, and for one it must start first. Prints the
# median, the fastest and the slowest of the runs, in milliseconds.
#
#   benchmarks/taskkicker-wall-time.sh [build folder (build)] [runs per case (25)]
#
# As root the runs are made as "nobody": the super-user's task would be handed to the user's
# session, since nobody is at the console here.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-25}
cmake --build "$build" --target taskKicker QorSecondaryLaunchProgram QorLoginItemsProgram \
    qorsched-sample-product >/dev/null

root=$(mktemp -d /tmp/qorsched-bench-XXXXXX)
chmod 755 "$root"
export QORSCHED_ROOT=$root QORSCHED_SAMPLE_IDLE=600
unset QORSCHED_SYSTEM_ROOT QORSCHED_LOG_FILE
mkdir -m 1777 "$root/tmp"
DESTDIR=$root cmake --install "$build" --component launcher >/dev/null
kicker="$root/Library/Application Support/Tavrin Solutions Support/Scheduler/taskKicker"
product=$root/opt/Sample/sample
mkdir -p "$root/opt/Sample"
cp "$build/tools/SampleProduct/qorsched-sample-product" "$product"
touch "$product.record"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    mkdir -p "$root$(getent passwd nobody | cut -d: -f6)"
    chown nobody:nogroup "$product.record" "$root$(getent passwd nobody | cut -d: -f6)"
fi

count() { grep -c "^$1 " "$product.record" || true; }
last_pid() { sed -n 's/^start pid=\([0-9]*\).*/\1/p' "$product.record" | tail -1; }
# Stops the running product and waits until it has ended.
stop_product() {
    local exits
    exits=$(count exit)
    kill "$(last_pid)" 2>/dev/null || return 0
    for _ in $(seq 500); do (($(count exit) > exits)) && return 0; sleep 0.01; done
}
trap 'stop_product; rm -rf "$root"' EXIT

# One run in milliseconds; a run that does not deliver ends the benchmark.
kick() {
    local start end status=0
    start=$EPOCHREALTIME
    "${as_user[@]}" "$kicker" 1 "$product" Smpl evnt clas TEXT "benchmark" || status=$?
    end=$EPOCHREALTIME
    if [ $status -ne 0 ]; then
        echo "taskKicker ended with $status" >&2
        exit 1
    fi
    echo "$start $end" | awk '{ printf "%.1f\n", ($2 - $1) * 1000 }'
}
summary() {
    sort -n | awk -v label="$1" '{ t[NR] = $1 } END {
        m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
        printf "%-32s median %8.1f ms   fastest %8.1f ms   slowest %8.1f ms   (%d runs)\n",
               label, m, t[1], t[NR], NR }'
}

kick >/dev/null # starts the product
for _ in $(seq "$runs"); do kick; done | summary "product runs already:"
for _ in $(seq "$runs"); do
    stop_product
    kick
done | summary "product must be started:"
