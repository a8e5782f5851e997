#!/usr/bin/env bash
# Closing the game window ends the process with exit code 0.
source "$(dirname "$0")/lib.sh"
start_game "$1"
answer_question n
w=$(wait_window '^(quorrin|[0-9]+ fps)$') || fail "no game window within ${WAIT_SECONDS} s"
# The frame loop is running once the caption shows the frame rate.
name=$(wait_caption "$w" '^[0-9]+ fps$') || fail "caption is '$name', not 'N fps'"
echo "closing window $w ($(printf %x "$w")): $name"
"$2" "$w"
wait_exit
[[ $EXIT_CODE == 0 ]] || fail "closing the window gave exit code $EXIT_CODE"
echo "PASS"
