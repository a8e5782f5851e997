# Shared steps of the end-to-end tests: start the real game under the test
# display, find its windows, play the user with xdotool, read pixels back.
#
# Every wait is on a condition (a window shows, a caption reads so, a picture
# shows, the process ends) with a generous bound: on a loaded machine the
# game can take many seconds for what takes one when it runs alone.
set -u
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
WAIT_SECONDS=60

fail() {
    echo "FAIL: $*" >&2
    echo "windows now:" >&2
    local id
    for id in $(find_windows --name '.'); do
        echo "  $id '$(window_name "$id")' $(window_size "$id") $(window_state "$id")" >&2
    done
    if [[ -n ${GAME_PID:-} ]]; then
        if kill -0 "$GAME_PID" 2>/dev/null; then
            echo "the game is still running" >&2
        else
            echo "the game has ended" >&2
        fi
    fi
    [[ -f ${WORK:-}/game.log ]] && sed 's/^/  game: /' "$WORK/game.log" | grep -v ALSA >&2
    [[ -n ${GAME_PID:-} ]] && kill -9 "$GAME_PID" 2>/dev/null
    exit 1
}

# The ids of the windows that xdotool's search finds ("$@": its options), one
# a line. The search walks the whole window tree and dies of an X error
# (BadWindow) when a window goes away during the walk, as the game's windows
# do at start-up and at the Fatal box. Such a walk has seen nothing for
# certain, so the tree is walked again until a walk completes.
find_windows() { # xdotool search options...
    local ids
    for _ in $(seq 50); do
        ids=$(xdotool search "$@" 2>"$WORK/search.err")
        if ! grep -q 'X Error' "$WORK/search.err"; then
            [[ -n $ids ]] && echo "$ids"
            return 0
        fi
    done
    echo "xdotool search $*: every walk ended in an X error" >&2
    return 1
}

# Waits for a viewable window whose title matches the regular expression;
# prints its id.
wait_window() { # regex [seconds]
    local deadline=$((SECONDS + ${2:-$WAIT_SECONDS})) ids
    while :; do
        ids=$(find_windows --onlyvisible --name "$1")
        if [[ -n $ids ]]; then
            echo "${ids%%$'\n'*}"
            return 0
        fi
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

# Waits for the window's caption to match the regular expression; prints it.
# Prints the last caption seen and fails when it never did.
wait_caption() { # window regex [seconds]
    local deadline=$((SECONDS + ${3:-$WAIT_SECONDS})) name
    while :; do
        name=$(window_name "$1")
        if [[ $name =~ $2 ]] || ((SECONDS >= deadline)); then
            echo "$name"
            [[ $name =~ $2 ]]
            return
        fi
        sleep 0.2
    done
}

# Waits for CHECK to succeed and fails with WHAT when it never does. A check
# may say in SEEN what it saw, for the failure message.
wait_until() { # what check [args...]
    local what=$1 deadline=$((SECONDS + WAIT_SECONDS))
    shift
    SEEN=
    until "$@"; do
        ((SECONDS < deadline)) || fail "$what${SEEN:+: $SEEN}"
        sleep 0.2
    done
}

x_server_up() {
    kill -0 "$XVFB_PID" 2>/dev/null || fail "no X server of our own could start"
    grep -q '^[0-9]' "$WORK/display" 2>/dev/null
}

# Starts an X server of the script's own and points DISPLAY at it; its pid is
# in XVFB_PID, for the script to stop. The server picks a free display itself
# and writes its number once it takes connections, so servers started at the
# same time never race for a number.
own_x_server() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$WORK/display" \
        >/dev/null 2>&1 &
    XVFB_PID=$!
    wait_until "no X server of our own could start" x_server_up
    export DISPLAY=":$(head -n1 "$WORK/display")"
}

# Starts an X server of the script's own with openbox on it, as a desktop has
# its window manager, and stops both at exit.
own_desktop() {
    command -v openbox >/dev/null || fail "openbox is not installed (scripts/packages.txt lists it)"
    # Runs before what lib.sh already does at exit.
    eval "set -- $(trap -p EXIT) : : :"
    trap "stop_desktop; $3" EXIT
    own_x_server
    openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
    WM_PID=$!
    wait_until "openbox did not take the screen" wm_running
    # openbox takes the screen before it has started; a window mapped in
    # between (seconds on a machine's first run, while fontconfig builds its
    # cache) stays unmapped until openbox's next event wakes it. So the game
    # starts once openbox has shown a window of ours; each try maps one more,
    # which also wakes it.
    PROBES=()
    wait_until "openbox did not start" wm_shows_windows
    kill "${PROBES[@]}" 2>/dev/null
    wait_until "the probe windows did not go" probes_gone
}
stop_desktop() {
    [[ -n ${WM_PID:-} ]] && kill "$WM_PID" 2>/dev/null
    [[ -n ${XVFB_PID:-} ]] && kill "$XVFB_PID" 2>/dev/null
}
wm_running() {
    SEEN="openbox said: $(cat "$WORK/openbox.log")"
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
wm_shows_windows() {
    xmessage -name wm-probe probe >/dev/null 2>&1 &
    PROBES+=($!)
    sleep 0.5
    SEEN="no window of ours is shown"
    [[ -n $(find_windows --onlyvisible --name '^wm-probe$') ]]
}
probes_gone() { [[ -z $(find_windows --name '^wm-probe$') ]]; }

window_name() { xdotool getwindowname "$1" 2>/dev/null; }

# Width and height of a window, as "WxH" ("?x?" when it is gone).
window_size() {
    local WIDTH= HEIGHT= X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
    echo "${WIDTH:-?}x${HEIGHT:-?}"
}

# "viewable", "unviewable", "unmapped" or "gone": the window's map state.
window_state() {
    local state
    state=$(xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Map State: Is//p')
    case $state in
    Viewable) echo viewable ;;
    Unviewable) echo unviewable ;;
    UnMapped) echo unmapped ;; # xwininfo spells it so
    *) echo gone ;;
    esac
}

# Answers the start-up question ("y" or "n") once it shows.
answer_question() { # key
    local q
    q=$(wait_window '^Question$') || fail "no window titled 'Question' within ${WAIT_SECONDS} s"
    # The box closes on the key press, so the key release that follows finds
    # no window: that error is expected.
    xdotool key --window "$q" "$1" 2>/dev/null
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
    local deadline=$((SECONDS + ${1:-$WAIT_SECONDS}))
    EXIT_CODE=timeout
    while ((SECONDS < deadline)); do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then
            EXIT_CODE=0
            wait "$GAME_PID" || EXIT_CODE=$?
            return 0
        fi
        sleep 0.1
    done
    kill -9 "$GAME_PID" 2>/dev/null
}

# Keys go to the window under the pointer once the dialog has gone. The game
# latches a press until its next frame, so a short press is never lost.
game_key() { # window keys...
    local w=$1
    shift
    xdotool mousemove --window "$w" 400 300 2>/dev/null
    xdotool keydown "$@" && sleep 0.15 && xdotool keyup "$@"
}

# ImageMagick: version 7 converts with "magick" and runs its other tools as
# "magick compare" and so on ("convert" is only a deprecated alias there,
# which reads some options otherwise); version 6 has a command for each.
if command -v magick >/dev/null; then
    convert() { magick "$@"; }
    magick_tool() { magick "$@"; }
else
    magick_tool() { "$@"; }
fi

screenshot() { # window file
    magick_tool import -window "$1" "$2" 2>/dev/null
}

# Takes screenshots of the window into FILE until CHECK FILE succeeds, for at
# most WAIT_SECONDS; with --before, runs ACTION (a command, no arguments)
# before each one, e.g. to keep steering. CHECK prints what it measured; SEEN
# holds the last of it, for the failure message.
shoot_until() { # [--before action] window file check [args...]
    local before=:
    if [[ $1 == --before ]]; then
        before=$2
        shift 2
    fi
    local w=$1 file=$2 deadline=$((SECONDS + WAIT_SECONDS))
    shift 2
    SEEN="no screenshot"
    while :; do
        if $before && screenshot "$w" "$file"; then
            SEEN=$("$@" "$file") && return 0
        fi
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
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

# Mean "r g b" (0-255) of a region of a screenshot.
region_rgb() { # file WxH+X+Y
    convert "$1" -crop "$2" +repage \
        -format '%[fx:int(255*mean.r)] %[fx:int(255*mean.g)] %[fx:int(255*mean.b)]' info: 2>/dev/null
}

# How many pixels of a region satisfy an ImageMagick -fx condition on r, g and
# b (0 to 1), e.g. 'r>0.9&&g>0.9&&b>0.9'.
count_pixels() { # file WxH+X+Y condition
    convert "$1" -crop "$2" +repage -fx "$3" -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# How far a region of a screenshot is from a picture scaled to the region's
# size: the root mean square difference in percent (0 is the same picture).
picture_distance() { # file WxH+X+Y picture
    convert "$1" -crop "$2" +repage "$WORK/region.png" &&
        convert "$3" -resize "${2%%+*}!" "$WORK/reference.png" &&
        magick_tool compare -metric RMSE "$WORK/region.png" "$WORK/reference.png" null: 2>&1 |
        sed -n 's/.*(\([0-9.e-]*\)).*/\1/p' | awk '{ printf "%d\n", $1 * 100 + 0.5 }'
}
