#!/usr/bin/env bash
# screenshot.sh OUTPUT.png PROGRAM [ARGS...]: on the current X display, starts Tolvane under a
# window manager (openbox, where no other runs), so that it has a frame and a title bar as on a
# desktop; waits until its window is green, saves the whole screen to OUTPUT.png, then ends it
# with Escape.
set -euo pipefail
shot=$1
shift
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
managed() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
# openbox announces itself before it has loaded its theme, and a window mapped in that gap may never
# appear: it is ready once it has answered a request (for one desktop).
answers() { xdotool set_num_desktops 1 2>/dev/null; xprop -root _NET_NUMBER_OF_DESKTOPS 2>/dev/null | grep -q ' = 1$'; }
if ! managed && command -v openbox >/dev/null; then
    openbox --sm-disable >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do answers && break; sleep 0.1; done
    answers || echo "openbox did not start within 10 s; the screenshot shows the window without a frame." >&2
fi

"$@" &
program=$!
pids+=($program)
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tolvane$' | head -n 1) ||
    { echo "Tolvane's window did not appear within 20 s." >&2; exit 1; }
green=
for _ in $(seq 100); do
    import -silent -window "$window" -gravity center -crop 1x1+0+0 -depth 8 txt:- | grep -q '#00FF00' && green=1 && break
    sleep 0.1
done
[ -n "$green" ] || echo "Tolvane's window did not turn green within 10 s; the screenshot shows it as it is." >&2
import -silent -window root "$shot"
echo "Screenshot: $(realpath "$shot")"

xdotool windowactivate --sync "$window" key Escape 2>/dev/null || xdotool windowfocus --sync "$window" key Escape
wait $program
