#!/bin/bash
# The Wine test bed of one build tree: a private prefix (created once, then reused), a
# persistent wineserver and an Xvfb display for the duration of a test run.
#   winebed.sh start BED_DIR   |   winebed.sh stop BED_DIR
set -eu
action=$1
bed=$(realpath -m "$2")
. "$(dirname "$0")/wine-env.sh"

start_display() {
    if [ -f "$bed/xvfb.pid" ] && kill -0 "$(cat "$bed/xvfb.pid")" 2>/dev/null; then
        return
    fi
    # -displayfd picks a free display number and writes it once the server is ready.
    rm -f "$bed/displayfd"
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$bed/displayfd" </dev/null >"$bed/xvfb.log" 2>&1 &
    echo $! >"$bed/xvfb.pid"
    local number=""
    for _ in $(seq 100); do
        number=$(tr -dc 0-9 <"$bed/displayfd" 2>/dev/null || true)
        [ -n "$number" ] && break
        sleep 0.1
    done
    [ -n "$number" ] || { echo "winebed: Xvfb did not start (see $bed/xvfb.log)" >&2; exit 1; }
    echo ":$number" >"$bed/display"
}

case "$action" in
start)
    mkdir -p "$bed"
    start_display
    export DISPLAY="$(cat "$bed/display")"
    # A persistent server first, so that every later start of a Windows program is quick;
    # it answers 2 when a server of this prefix already runs, which is just as good.
    mkdir -p "$WINEPREFIX"
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    if [ ! -f "$bed/prefix.ready" ]; then
        echo "winebed: creating the prefix $WINEPREFIX"
        "$WINE" wineboot -i </dev/null >"$bed/wineboot.log" 2>&1
        touch "$bed/prefix.ready"
        # A session begun while the prefix was being made does not serve the desktop's shell
        # windows later: begin a fresh one, as every later run of the bed does.
        "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
        "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
        "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    fi
    # Wine starts its services with the first program of a session and they inherit that
    # program's output: start them here, detached, so that no test's output pipe stays open.
    "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
    echo "winebed: prefix $WINEPREFIX, display $DISPLAY"
    ;;
stop)
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    if [ -f "$bed/xvfb.pid" ]; then
        kill "$(cat "$bed/xvfb.pid")" 2>/dev/null || true
        rm -f "$bed/xvfb.pid" "$bed/display"
    fi
    ;;
*)
    echo "usage: winebed.sh start|stop BED_DIR" >&2
    exit 2
    ;;
esac
