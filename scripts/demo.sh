#!/usr/bin/env bash
# Installs what is missing, builds in build/ and shows a real launch inside a temporary install
# root: the sample product, installed at a product path, is started through the launcher as a
# plain executable and sent an event, then sent a second one while it runs. Prints what the
# product recorded and the launcher's log lines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target qorsched-send-event qorsched-sample-product
send=build/tools/SendEvent/qorsched-send-event

# Nothing outside the temporary root is touched: paths, event ports and the log all live in it.
QORSCHED_ROOT=$(mktemp -d /tmp/qorsched-demo-XXXXXX)
export QORSCHED_ROOT QORSCHED_LOG_FILE=$QORSCHED_ROOT/log.txt QORSCHED_SAMPLE_IDLE=10
trap 'rm -rf "$QORSCHED_ROOT"' EXIT
mkdir -m 1777 "$QORSCHED_ROOT/tmp"
product="$QORSCHED_ROOT/Library/Application Support/Tavrin Solutions Support/Tavrin Gearbox/Tavrin Densor"
document="$QORSCHED_ROOT/home/demo/My Documents/report.txt"
mkdir -p "$(dirname "$product")" "$(dirname "$document")"
cp build/tools/SampleProduct/qorsched-sample-product "$product"
echo "a file to work on" >"$document"

run() {
    printf '\n$ qorsched-send-event'
    printf ' %q' "$@"
    printf '\n'
    "$send" "$@" || true
}
# Waits (five seconds at most) until the product's record has n lines of a kind.
wait_for() { for _ in $(seq 50); do (($(grep -c "^$1 " "$product.record") >= $2)) && break; sleep 0.1; done; }

echo
echo "== Start the product through the launcher (-s: it does not run yet) and send it an event:"
echo "   arguments (exAG), a file (path), numbers, and keyed values after the kydo marker"
run -s 12 "$product" Dnsr DFRG Dnsr exAG '-volume /data\ disk -v' path "$document" \
    long 42 shor -3 kydo prio magn 7 note TEXT "made by the demo"

echo
echo "== A second event: the product runs already, so it is not started again"
run 13 "$product" Dnsr STAT Dnsr
wait_for event 2
kill "$(sed -n 's/^start pid=\([0-9]*\).*/\1/p' "$product.record")" && wait_for exit 1

echo
echo "== What the product recorded ($product.record)"
cat "$product.record"
echo
echo "== The launcher's lines in the system log (mirrored to \$QORSCHED_LOG_FILE)"
cat "$QORSCHED_LOG_FILE"
