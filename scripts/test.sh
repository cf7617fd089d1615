#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh              the normal build, in build/, then the Debian package: built in
#                                build-deb/, checked, and (as root) installed, fired by cron and
#                                removed in a throwaway root (scripts/package.sh --install-test)
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer, in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build_dir=build
cmake_args=(-G Ninja)
if [ "${1:-}" = "--sanitize" ]; then
    build_dir=build-sanitize
    cmake_args+=(-DCMAKE_BUILD_TYPE=Debug -DQORSCHED_SANITIZE=ON -DQORSCHED_BUILD_BENCHMARKS=OFF)
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
fi

# The cron daemon the "cron" tests need; stop on exit only what this run started.
export QORSCHED_SERVICES_DIR="${QORSCHED_SERVICES_DIR:-$(mktemp -d /tmp/qorsched-services.XXXXXX)}"
if [ -z "${QORSCHED_SERVICES_STARTED:-}" ]; then
    scripts/services.sh start
    export QORSCHED_SERVICES_STARTED=1
    trap 'scripts/services.sh stop' EXIT
fi

cmake -S . -B "$build_dir" "${cmake_args[@]}"
cmake --build "$build_dir" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" --timeout 600
if [ "$build_dir" = build ]; then
    scripts/package.sh --install-test
fi
