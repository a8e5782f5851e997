#!/usr/bin/env bash
# Records what a player hears in a busy fight and measures its levels: the
# real game on a private X server, its mixer written to a file by SDL's disk
# audio driver at about real time, a scripted 20 s fight (the gun held, a
# missile every 0.7 s, the afterburner now and then, the first wave met), then
# the capture's clipping and loudness second by second (levels.py).
# usage: bench/sound/fight_levels.sh [GAME [RAW_OUT]]   (GAME: build/quorrin)
# Exits as levels.py does: 1 when a second clips or the fight is too quiet.
here=$(cd "$(dirname "$0")" && pwd)
game=$(realpath "${1:-$here/../../build/quorrin}")
source "$here/../../tests/e2e/lib.sh"
raw=${2:-$WORK/fight.raw}
FIGHT_SECONDS=20
RATE=22050

trap 'kill "${XVFB_PID:-}" 2>/dev/null; rm -rf "$WORK"' EXIT
own_x_server

# 1024-sample buffers last 46.4 ms; a delay of 46 ms keeps the driver near
# real time, so the fight's timing is heard as a player would hear it.
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$raw SDL_DISKAUDIODELAY=46
export LIBGL_ALWAYS_SOFTWARE=1
rm -f "$raw"
started=$EPOCHREALTIME
start_game "$game"
answer_question n
w=$(wait_window '^(quorrin|[0-9]+ fps)$') || fail "no game window within ${WAIT_SECONDS} s"
game_key "$w" space
sleep 1

bytes() { stat -c %s "$raw" 2>/dev/null || echo 0; }
# Tenths of a second since the fight began.
tenths() { echo $(((${EPOCHREALTIME/./} - fight_start) / 100000)); }

# The first wave comes from ahead; a slow weave sweeps the sight across it so
# enemies lock on and the missiles find them.
weave=(0 12 20 12 0 -12 -20 -12)
first_byte=$(bytes)
fight_start=${EPOCHREALTIME/./}
xdotool mousemove --window "$w" 400 300 mousedown 1
next_missile=0 next_w=30 t=0
while ((t < FIGHT_SECONDS * 10)); do
    xdotool mousemove --window "$w" $((400 + weave[t / 10 % 8])) 300
    if ((t >= next_missile)); then
        xdotool mousedown 3 sleep 0.04 mouseup 3
        next_missile=$((next_missile + 7))
    fi
    if ((t >= next_w)); then
        xdotool keydown w sleep 0.1 keyup w
        next_w=$((next_w + 45))
    fi
    sleep 0.05
    t=$(tenths)
done
xdotool mouseup 1
last_byte=$(bytes)
fps=$(window_name "$w")

kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended during the fight"
game_key "$w" Escape
wait_exit
[[ $EXIT_CODE == 0 ]] || fail "Escape gave exit code $EXIT_CODE"
ran=$(((${EPOCHREALTIME/./} - ${started/./}) / 1000000))

total=$(bytes)
fight=$(((last_byte - first_byte) * 10 / RATE))
echo "game ran ${ran} s and wrote $((total / RATE)) s of sound; the fight" \
    "took $((fight / 10)).$((fight % 10)) s of it; caption at its end: '$fps'"
# The driver writes as fast as its delay lets it: a fight that did not fill
# about its own length of sound was not heard at the pace it was played.
((fight > FIGHT_SECONDS * 9 && fight < FIGHT_SECONDS * 11)) ||
    fail "the disk driver wrote ${fight} tenths of a second in a ${FIGHT_SECONDS} s fight"
echo "levels.py $raw --from $first_byte --to $last_byte"
python3 "$here/levels.py" "$raw" --from "$first_byte" --to "$last_byte"
