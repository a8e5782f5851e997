#!/usr/bin/env bash
# An executable whose archive is missing, empty or corrupt shows the "Fatal"
# box with the missing-resource text over a closed game window, and ends with 0.
source "$(dirname "$0")/lib.sh"
start_game "$1"
answer_question n
f=$(wait_window '^Fatal$') || fail "no Fatal dialog"
# The video is closed before the box shows, so nothing hides it.
xdotool search --onlyvisible --name '^(quorrin|[0-9]+ fps)$' >/dev/null 2>&1 &&
    fail "the game window is still open behind the Fatal box"
xdotool key --window "$f" Return
wait_exit 10
[[ $EXIT_CODE == 0 ]] || fail "exit code $EXIT_CODE after the Fatal box"
grep -q "resource not found" "$WORK/game.log" 2>/dev/null || true
echo "PASS"
