#!/usr/bin/env bash
# Start-up as a player sees it: the question before any game window, then an
# 800 by 600 window captioned "quorrin", a frame rate near 50 in the caption,
# a resize that the drawing follows, and Escape ending with exit code 0.
source "$(dirname "$0")/lib.sh"
start_game "$1"

q=$(wait_window '^Question$') || fail "no Question dialog"
xdotool search --name '^quorrin$' >/dev/null 2>&1 && fail "game window open before the answer"
xdotool key --window "$q" n

w=$(wait_window '^(quorrin|[0-9]+ fps)$') || fail "no game window"
[[ $(window_size "$w") == 800x600 ]] || fail "window is $(window_size "$w"), not 800x600"

# The caption becomes "N fps"; after a few seconds N is near 50.
sleep 4
name=$(window_name "$w")
[[ $name =~ ^([0-9]+)\ fps$ ]] || fail "caption is '$name'"
fps=${BASH_REMATCH[1]}
echo "frame rate: $fps fps"
((fps >= 40 && fps <= 51)) || fail "frame rate $fps is not near 50"

# The title picture fills the window; after a resize it fills the new size.
xdotool windowsize "$w" 960 720
sleep 1.5
[[ $(window_size "$w") == 960x720 ]] || fail "resize to 960x720 gave $(window_size "$w")"
screenshot "$w" "$WORK/resized.png"
corner=$(region_mean "$WORK/resized.png" 100x80+850+630)
echo "mean brightness of the far corner after the resize: $corner"
((corner > 8)) || fail "the drawing did not follow the resize (far corner is black)"

game_key "$w" Escape
wait_exit 10
[[ $EXIT_CODE == 0 ]] || fail "Escape gave exit code $EXIT_CODE"
echo "PASS"
