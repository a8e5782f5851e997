#!/usr/bin/env bash
# Closing the game window ends the process with exit code 0.
source "$(dirname "$0")/lib.sh"
start_game "$1"
answer_question n
w=$(wait_window '^(quorrin|[0-9]+ fps)$') || fail "no game window"
sleep 1
echo "closing window $w ($(printf %x "$w")): $(window_name "$w")"
"$2" "$w"
wait_exit 10
[[ $EXIT_CODE == 0 ]] || fail "closing the window gave exit code $EXIT_CODE"
echo "PASS"
