#!/usr/bin/env bash
# Builds the Debian package in build-deb/ (QORSCHED_DEB_BUILD_DIR) and checks it: contents,
# control fields and maintainer scripts (tests/Package/check-package.sh). Prints its path.
#   scripts/package.sh                 build and check
#   scripts/package.sh --install-test  then also install, run and remove it in a throwaway
#                                      root (tests/Package/install-test.sh; needs root)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=${QORSCHED_DEB_BUILD_DIR:-build-deb}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DQORSCHED_ROOT=/opt/tavrin-scheduler -DQORSCHED_BUILD_TESTS=OFF \
    -DQORSCHED_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb="$build/tavrin-scheduler_${version}_$(dpkg --print-architecture).deb"
tests/Package/check-package.sh "$deb"
echo "$deb ($(du -k "$deb" | cut -f1) KiB)"

if [ "${1:-}" = "--install-test" ]; then
    status=0
    tests/Package/install-test.sh "$deb" || status=$?
    [ "$status" -eq 77 ] && status=0 # skipped, and said why
    exit "$status"
fi
