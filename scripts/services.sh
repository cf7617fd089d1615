#!/usr/bin/env bash
# Starts or stops the services the tests use: the real cron daemon (as root only) and a
# private D-Bus daemon. "start" records what it started in $QORSCHED_SERVICES_DIR so that
# "stop" ends exactly that and nothing the machine was already running.
set -euo pipefail
state="${QORSCHED_SERVICES_DIR:-/tmp/qorsched-test-services}"

start() {
    mkdir -p "$state"
    if [ "$(id -u)" -eq 0 ] && ! pgrep -x cron >/dev/null; then
        /usr/sbin/cron && echo started >"$state/cron"
        echo "cron started"
    fi
    if [ ! -s "$state/dbus.pid" ] || ! kill -0 "$(cat "$state/dbus.pid")" 2>/dev/null; then
        dbus-daemon --session --fork --nosyslog --print-address=3 --print-pid=4 \
            3>"$state/dbus.address" 4>"$state/dbus.pid"
        echo "private D-Bus at $(cat "$state/dbus.address")"
    fi
}

stop() {
    if [ -s "$state/dbus.pid" ]; then
        kill "$(cat "$state/dbus.pid")" 2>/dev/null || true
        rm -f "$state/dbus.pid" "$state/dbus.address"
    fi
    if [ -f "$state/cron" ]; then
        pkill -x cron 2>/dev/null || true
        rm -f "$state/cron"
        echo "cron stopped"
    fi
}

case "${1:-}" in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
