#!/usr/bin/env bash
# A short flight as a player would fly it: the title, Space, steering with the
# mouse, the gun, a missile, the afterburner and the slow throttle, then
# Escape. Screenshots are kept in $QUORRIN_SCREENS for people to look at.
source "$(dirname "$0")/lib.sh"
SCREENS=${QUORRIN_SCREENS:-$WORK}
mkdir -p "$SCREENS"
start_game "$1"

answer_question n
w=$(wait_window '^(quorrin|[0-9]+ fps)$') || fail "no game window"
sleep 2
screenshot "$w" "$SCREENS/1-title.png"
title=$(region_mean "$SCREENS/1-title.png" 800x600+0+0)
echo "title brightness: $title"
((title > 10)) || fail "the title picture is not shown"

game_key "$w" space
sleep 2
screenshot "$w" "$SCREENS/2-flight.png"
sky=$(region_mean "$SCREENS/2-flight.png" 800x120+0+0)
sea=$(region_mean "$SCREENS/2-flight.png" 800x120+0+480)
echo "flight: sky $sky, sea $sea"
((sky > 10 && sea > 10)) || fail "no sky or no sea in flight"
cmp -s "$SCREENS/1-title.png" "$SCREENS/2-flight.png" && fail "Space did not leave the title"

# Steer: each motion event is measured from the centre, where the game puts
# the pointer back.
for i in 1 2 3 4 5 6; do
    xdotool mousemove --window "$w" 470 270
    sleep 0.1
done
sleep 0.5
screenshot "$w" "$SCREENS/3-turn.png"

xdotool mousedown 1
sleep 1
screenshot "$w" "$SCREENS/4-gun.png"
xdotool mouseup 1
xdotool click 3
sleep 0.4
xdotool click 3
sleep 0.6
screenshot "$w" "$SCREENS/5-missiles.png"

xdotool keydown w
sleep 0.3
screenshot "$w" "$SCREENS/6-afterburner.png"
sleep 1.2
xdotool keyup w
xdotool keydown s
sleep 1
screenshot "$w" "$SCREENS/7-slow.png"
xdotool keyup s

# Fly on for a while so that the stage releases its first enemies.
for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --window "$w" 400 290
    sleep 1
done
screenshot "$w" "$SCREENS/8-enemies.png"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended during the flight: $(cat "$WORK/game.log")"

game_key "$w" Escape
wait_exit 10
[[ $EXIT_CODE == 0 ]] || fail "Escape gave exit code $EXIT_CODE"
echo "screenshots in $SCREENS"
echo "PASS"
