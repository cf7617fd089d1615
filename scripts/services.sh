#!/usr/bin/env bash
# Starts or stops the services the tests share: the real cron daemon (as root only; the tests
# labelled "cron" need it). The D-Bus daemons with the mock logind are private to each test,
# which starts its own under its temporary root and stops it. "start" records what it started in
# $QORSCHED_SERVICES_DIR so that "stop" ends exactly that and nothing the machine already ran.
set -euo pipefail
state="${QORSCHED_SERVICES_DIR:-/tmp/qorsched-test-services}"

start() {
    mkdir -p "$state"
    if [ "$(id -u)" -eq 0 ] && ! pgrep -x cron >/dev/null; then
        /usr/sbin/cron
        pgrep -xo cron >"$state/cron.pid"
        echo "cron started"
    fi
}

stop() {
    if [ -s "$state/cron.pid" ]; then
        kill "$(cat "$state/cron.pid")" 2>/dev/null || true
        rm -f "$state/cron.pid"
        echo "cron stopped"
    fi
}

case "${1:-}" in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
