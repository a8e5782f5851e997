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

trap 'kill "${XVFB_PID:-}" 2>/dev/null; rm -rf "$WORK"' EXIT
own_x_server

# What the disk driver writes, and how it keeps time. Classic SDL 1.2 writes
# the mixer's own 8-bit mono at 22050 Hz and waits SDL_DISKAUDIODELAY between
# buffers: 46 ms keeps its 1024-sample buffers (46.4 ms) near real time.
# SDL 1.2.50 and later is the compatibility layer over SDL2, whose driver
# writes the mix converted to 16-bit stereo at 44100 Hz and, with no delay
# set, waits as long as each of its buffers lasts. Either way the fight is
# heard as a player would hear it.
sdl_library=$(ldd "$game" | awk '$1 == "libSDL-1.2.so.0" { print $3 }')
sdl_patch=$(python3 - "$sdl_library" <<'PY'
import ctypes, sys
lib = ctypes.CDLL(sys.argv[1])
lib.SDL_Linked_Version.restype = ctypes.POINTER(ctypes.c_uint8 * 3)
print(lib.SDL_Linked_Version().contents[2])
PY
) || fail "cannot tell which SDL 1.2 the game uses ($sdl_library)"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$raw
if ((sdl_patch >= 50)); then
    capture=(--encoding s16 --channels 2 --rate 44100)
    BYTES_PER_SECOND=$((44100 * 2 * 2))
    unset SDL_DISKAUDIODELAY
else
    capture=(--encoding u8 --channels 1 --rate 22050)
    BYTES_PER_SECOND=22050
    export SDL_DISKAUDIODELAY=46
fi
echo "SDL 1.2.$sdl_patch: the capture is ${capture[*]}"
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
fight=$(((last_byte - first_byte) * 10 / BYTES_PER_SECOND))
echo "game ran ${ran} s and wrote $((total / BYTES_PER_SECOND)) s of sound; the fight" \
    "took $((fight / 10)).$((fight % 10)) s of it; caption at its end: '$fps'"
# The driver writes as fast as its delay lets it: a fight that did not fill
# about its own length of sound was not heard at the pace it was played.
((fight > FIGHT_SECONDS * 9 && fight < FIGHT_SECONDS * 11)) ||
    fail "the disk driver wrote ${fight} tenths of a second in a ${FIGHT_SECONDS} s fight"
echo "levels.py $raw --from $first_byte --to $last_byte ${capture[*]}"
python3 "$here/levels.py" "$raw" --from "$first_byte" --to "$last_byte" "${capture[@]}"
