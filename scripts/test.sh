#!/bin/bash
# Configures and builds the three presets, then runs every test: the host tests under the
# sanitizers, the 32-bit build's inspection and its Windows-side tests and lab scenarios on the
# emulated 32-bit Wine, then every Windows-side test under wine64. VS_BUILD_ROOT moves the trees.
# At the end it prints each tree's wall time (its build and its tests) and every skipped test
# case with its reason: a skipped case passes, and a green run says what it did not check.
set -eu
cd "$(dirname "$0")/.."
root=${VS_BUILD_ROOT:-build}
declare -A seconds skipped
for preset in win32 win64 host; do
    start=$SECONDS
    cmake --preset "$preset" -B "$root/$preset" >/dev/null
    cmake --build "$root/$preset" -j "$(nproc)"
    seconds[$preset]=$((SECONDS - start))
done
status=0
for preset in host win32 win64; do
    start=$SECONDS
    jobs=2
    [ "$preset" = host ] && jobs=1
    ctest --test-dir "$root/$preset" --output-on-failure -j "$jobs" || status=1
    skipped[$preset]=$(grep -ahs '^SKIPPED ' "$root/$preset/Testing/Temporary/LastTest.log" | tr -d '\r' | sort || true)
    seconds[$preset]=$((seconds[$preset] + SECONDS - start))
done
for preset in win32 win64 host; do
    printf 'test.sh: %s tree %dm%02ds (build and tests)\n' "$preset" $((seconds[$preset] / 60)) $((seconds[$preset] % 60))
    if [ -n "${skipped[$preset]}" ]; then
        printf 'test.sh: %s tree, %d cases skipped:\n%s\n' "$preset" "$(wc -l <<<"${skipped[$preset]}")" \
            "$(sed 's/^/  /' <<<"${skipped[$preset]}")"
    fi
done
printf 'test.sh: all %dm%02ds\n' $((SECONDS / 60)) $((SECONDS % 60))
exit $status
