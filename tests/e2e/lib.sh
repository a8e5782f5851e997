# Shared steps of the end-to-end tests: start the real game under the test
# display, find its windows, play the user with xdotool, read pixels back.
set -u
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

fail() {
    echo "FAIL: $*" >&2
    echo "windows now:" >&2
    xdotool search --name '.' 2>/dev/null | while read -r id; do
        echo "  $id '$(xdotool getwindowname "$id" 2>/dev/null)' $(window_size "$id" 2>/dev/null)" >&2
    done
    [[ -f ${WORK:-}/game.log ]] && sed 's/^/  game: /' "$WORK/game.log" | grep -v ALSA >&2
    [[ -n ${GAME_PID:-} ]] && kill -9 "$GAME_PID" 2>/dev/null
    exit 1
}

# Waits for a window whose title matches the regular expression; prints its id.
wait_window() { # regex [seconds]
    local id
    id=$(timeout "${2:-20}" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [[ -n $id ]] || return 1
    echo "$id"
}

window_name() { xdotool getwindowname "$1" 2>/dev/null; }

# Width and height of a window, as "WxH".
window_size() {
    local WIDTH HEIGHT X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "${WIDTH}x${HEIGHT}"
}

# Answers the start-up question ("y" or "n") once it shows.
answer_question() { # key
    local q
    q=$(wait_window '^Question$') || fail "no Question dialog"
    xdotool key --window "$q" "$1"
}

start_game() { # executable
    # A key left down by an earlier run would auto-repeat into the dialogs.
    xdotool keyup Return KP_Enter space Tab y n w s Escape BackSpace 2>/dev/null
    xdotool mouseup 1 2>/dev/null
    xdotool mouseup 3 2>/dev/null
    "$1" >"$WORK/game.log" 2>&1 &
    GAME_PID=$!
}

# Waits for the game to end and sets EXIT_CODE ("timeout" when it did not).
# Not for a command substitution: only this shell can wait for its child.
wait_exit() { # [seconds]
    local i
    EXIT_CODE=timeout
    for ((i = 0; i < ${1:-20} * 10; i++)); do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then
            EXIT_CODE=0
            wait "$GAME_PID" || EXIT_CODE=$?
            return 0
        fi
        sleep 0.1
    done
    kill -9 "$GAME_PID" 2>/dev/null
}

# Keys go to the window under the pointer once the dialog has gone.
game_key() { # window keys...
    local w=$1
    shift
    xdotool mousemove --window "$w" 400 300 2>/dev/null
    xdotool keydown "$@" && sleep 0.15 && xdotool keyup "$@"
}

screenshot() { # window file
    import -window "$1" "$2" 2>/dev/null
}

# "r g b" of one pixel of a screenshot.
pixel() { # file x y
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' | head -n1 |
        awk '{ printf "%d %d %d\n", $1, $2, $3 }'
}

# Mean brightness (0-255) of a region of a screenshot.
region_mean() { # file WxH+X+Y
    convert "$1" -crop "$2" -colorspace Gray -format '%[fx:int(255*mean)]' info: 2>/dev/null
}
