#!/usr/bin/env bash
# Answering Yes gives a full-screen game window covering the whole display.
source "$(dirname "$0")/lib.sh"
start_game "$1"
answer_question y
sleep 3
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended: $(cat "$WORK/game.log")"
read -r sw sh < <(xdotool getdisplaygeometry)
screenshot root "$WORK/full.png"
# The game draws over the whole screen: no corner is left to the desktop.
for region in 40x40+0+0 "40x40+$((sw - 40))+$((sh - 40))"; do
    echo "region $region: $(region_mean "$WORK/full.png" "$region")"
done
covered=$(xdotool search --onlyvisible --name '.*' 2>/dev/null | while read -r id; do
    window_size "$id"
done | grep -c "^${sw}x${sh}$")
((covered > 0)) || fail "no window covers the ${sw}x${sh} screen"
w=$(xdotool search --name '^(quorrin|[0-9]+ fps)$' | head -n1)
xdotool keydown Escape && sleep 0.15 && xdotool keyup Escape
wait_exit 10
[[ $EXIT_CODE == 0 ]] || fail "Escape gave exit code $EXIT_CODE"
echo "PASS"
