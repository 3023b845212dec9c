#!/bin/bash
# Configures and builds the three presets, then runs every test: the host tests under the
# sanitizers, the 32-bit build's inspection and its Windows-side tests and lab scenarios on the
# emulated 32-bit Wine, then every Windows-side test under wine64. VS_BUILD_ROOT moves the trees.
set -eu
cd "$(dirname "$0")/.."
root=${VS_BUILD_ROOT:-build}
for preset in win32 win64 host; do
    cmake --preset "$preset" -B "$root/$preset" >/dev/null
    cmake --build "$root/$preset" -j "$(nproc)"
done
status=0
ctest --test-dir "$root/host" --output-on-failure || status=1
ctest --test-dir "$root/win32" --output-on-failure -j 2 || status=1
ctest --test-dir "$root/win64" --output-on-failure -j 2 || status=1
exit $status
