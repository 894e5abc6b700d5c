#!/usr/bin/env bash
# Figures for the clock face shown and blinking: time from the process start to the window being
# mapped, and resident memory after 10 s. (Its idle cost is measured by desktop_figures.sh.)
# Run by hand after a build: tests/bench/face_figures.sh [build folder]   (needs Xvfb and xdotool)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
# shellcheck source=../helpers/script_support.sh
source "$(dirname "$0")/../helpers/script_support.sh" figures

cp -r "$build/belvane" "$build/sounds" "$build/Digital" "$build/Santa Claus" "$build/help" "$work/"
use_private_folders
start_x_server "$work" pids || exit 1
export DISPLAY=$STARTED_DISPLAY
# The clock face alone: no tray option, so it stays shown.
printf '***General***\r\nFALSE\r\nFALSE\r\nTRUE\r\nTRUE\r\n***Hourly Chimes***\r\n\r\nFALSE\r\nFALSE\r\nFALSE\r\nFALSE\r\n8\r\n0\r\n0\r\n22\r\n0\r\n0\r\n' >"$work/Options.ini"

start=$(date +%s%N)
"$work/belvane" >"$work/belvane.log" 2>&1 &
pid=$!
pids+=("$pid")
# Polled finely: the figure is the time to this moment.
while ! xwininfo -name Belvane 2>/dev/null | grep -q IsViewable; do
    sleep 0.005
    [ $(( ($(date +%s%N) - start) / 1000000 )) -gt $((WAIT_LIMIT * 1000)) ] &&
        { echo "gave up waiting for the clock window to be mapped after $WAIT_LIMIT s"; cat "$work/belvane.log"; exit 1; }
done
mapped=$(( ($(date +%s%N) - start) / 1000000 ))
sleep $(( 10 - mapped / 1000 )) # the figures are taken at fixed moments after the start
rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
echo "window mapped after: ${mapped} ms"
echo "resident after 10 s: $((rss / 1024)) MiB (${rss} KiB)"
