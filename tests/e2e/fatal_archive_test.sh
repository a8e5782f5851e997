#!/usr/bin/env bash
# An executable whose archive is missing, empty or corrupt shows the "Fatal"
# error box (its stop sign, not the question mark) over a closed game window,
# and ends with 0 once it is answered.
source "$(dirname "$0")/lib.sh"
start_game "$1"
answer_question n
f=$(wait_window '^Fatal$') || fail "no window titled 'Fatal' within ${WAIT_SECONDS} s"
# The video is closed before the box shows, so nothing hides it.
[[ -z $(find_windows --onlyvisible --name '^(quorrin|[0-9]+ fps)$') ]] ||
    fail "the game window is still open behind the Fatal box"
# The error box's icon is a red stop sign; the question's is a blue disc.
screenshot "$f" "$WORK/fatal.png" || fail "no screenshot of the Fatal box"
red=$(count_pixels "$WORK/fatal.png" 60x60+0+0 'r>0.6&&g<0.3&&b<0.3')
echo "red pixels of the icon: $red"
((red > 300)) || fail "the Fatal box shows no stop sign ($red red pixels where it belongs)"
xdotool key --window "$f" Return 2>/dev/null
wait_exit
[[ $EXIT_CODE == 0 ]] || fail "exit code $EXIT_CODE after the Fatal box"
echo "PASS"
