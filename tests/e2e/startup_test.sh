#!/usr/bin/env bash
# Start-up as a player sees it: the question before any game window, then an
# 800 by 600 window captioned "quorrin", a frame rate in the caption that never
# passes the game's 50 a second, a resize that the drawing follows, and Escape
# ending with exit code 0. Where there is no X display, as in a text console
# or a service, it ends as every fatal error does, whatever the terminal.
source "$(dirname "$0")/lib.sh"

for term in '' xterm; do
    rc=0
    env -u DISPLAY -u TERM ${term:+TERM=$term} timeout "$WAIT_SECONDS" "$1" \
        </dev/null >"$WORK/out" 2>"$WORK/err" || rc=$?
    seen="TERM=${term:-(unset)}: exit code $rc, stderr '$(head -c 300 "$WORK/err")'"
    [[ $rc == 0 ]] && grep -q 'SDL Initialization failed!' "$WORK/err" || fail "no display, $seen"
    [[ ! -s $WORK/out ]] || fail "no display, $seen, stdout '$(head -c 100 "$WORK/out" | cat -v)'"
done

start_game "$1"

q=$(wait_window '^Question$') || fail "no window titled 'Question' within ${WAIT_SECONDS} s"
[[ -z $(find_windows --name '^(quorrin|[0-9]+ fps)$') ]] || fail "game window open before the answer"
xdotool key --window "$q" n 2>/dev/null

w=$(wait_window '^(quorrin|[0-9]+ fps)$') || fail "no game window within ${WAIT_SECONDS} s"
[[ $(window_size "$w") == 800x600 ]] || fail "window is $(window_size "$w"), not 800x600"

# Once a second the caption becomes "N fps", the frames drawn in that second.
name=$(wait_caption "$w" '^[0-9]+ fps$') || fail "caption is '$name', not 'N fps'"
fps=${name% fps}
echo "frame rate: $fps fps"
((fps >= 1 && fps <= 51)) || fail "frame rate $fps is not between 1 and the game's 50"

# The title picture fills the window; after a resize it fills the new size.
xdotool windowsize "$w" 960 720
resized() {
    SEEN="the window is $(window_size "$w")"
    [[ $SEEN == *960x720 ]]
}
wait_until "resize to 960x720 did not take" resized
corner_lit() { # file
    local corner
    corner=$(region_mean "$1" 100x80+850+630)
    echo "mean brightness of the far corner after the resize: $corner"
    ((corner > 8))
}
shoot_until "$w" "$WORK/resized.png" corner_lit ||
    fail "the drawing did not follow the resize: $SEEN"
echo "$SEEN"

game_key "$w" Escape
wait_exit
[[ $EXIT_CODE == 0 ]] || fail "Escape gave exit code $EXIT_CODE"
echo "PASS"
