#!/usr/bin/env bash
# Closing the game window ends the process with exit code 0.
source "$(dirname "$0")/lib.sh"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
start_game "$1"
q=$(wait_window '^Question$') || fail "no Question dialog"
xdotool key --window "$q" n
w=$(wait_window '^(quorrin|[0-9]+ fps)$') || fail "no game window"
sleep 1
echo "closing window $w ($(printf %x "$w")): $(window_name "$w")"
"$2" "$w"
wait_exit 10
[[ $EXIT_CODE == 0 ]] || fail "closing the window gave exit code $EXIT_CODE"
echo "PASS"
