#!/bin/bash
# Runs a Windows program of the build in the build tree's own Wine prefix and display.
#   wine-run.sh BED_DIR program.exe [arguments...]
set -eu
bed=$(realpath -m "$1")
shift
. "$(dirname "$0")/wine-env.sh"
if [ -f "$bed/display" ]; then
    DISPLAY="$(cat "$bed/display")"
    export DISPLAY
fi
exec "$WINE" "$@"
