#!/bin/sh
# Runs a window test with a window manager on the display xvfb-run made, as
# on a person's desktop: it places, frames and sizes windows as they map.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
"$@"
rc=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit "$rc"
