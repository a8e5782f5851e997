#!/usr/bin/env bash
# The question and the Fatal box under a real window manager, openbox, on an X
# server of this test's own: each box is framed, stays centred, takes the
# keyboard and is drawn; the question is answered once by a typed key and once
# by a click, the game window follows and plays, and every run ends with 0.
#   window_manager_test.sh GAME GAME-WITHOUT-ARCHIVE
source "$(dirname "$0")/lib.sh"
game=$1 game_without_archive=$2
SCREENS=${QUORRIN_SCREENS:-$WORK}
mkdir -p "$SCREENS"
own_desktop

has_focus() { # window
    local focus
    focus=$(xdotool getwindowfocus 2>/dev/null)
    SEEN="the keyboard is on $focus '$(window_name "$focus")'"
    [[ $focus == "$1" ]]
}

# The icon's centre shows the icon's colour, not the box's grey.
icon_drawn() { # window
    screenshot "$1" "$WORK/box.png"
    SEEN="the icon's centre is $(pixel "$WORK/box.png" 32 32)"
    [[ $SEEN != *"236 236 236" ]]
}

# A box as openbox shows it: framed, centred on the 1024 by 768 screen (the
# frame's title bar moves it down a little), with the keyboard, drawn.
check_box() { # window name
    local info x y w h
    info=$(xwininfo -id "$1")
    [[ $info =~ Absolute\ upper-left\ X:\ +(-?[0-9]+).*Absolute\ upper-left\ Y:\ +(-?[0-9]+) ]] &&
        x=${BASH_REMATCH[1]} y=${BASH_REMATCH[2]}
    [[ $info =~ Width:\ ([0-9]+).*Height:\ ([0-9]+) ]] && w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]}
    xwininfo -children -id "$1" | grep -q 'Parent window id: .*(the root window)' &&
        fail "openbox did not frame the $2 box"
    echo "$2 box: ${w}x$h at $x,$y"
    ((x >= 0 && y >= 0 && x + w <= 1024 && y + h <= 768)) || fail "the $2 box is off the screen"
    ((x + w / 2 - 512 <= 4 && 512 - x - w / 2 <= 4)) || fail "the $2 box is not centred across"
    ((y + h / 2 - 384 <= 40 && 384 - y - h / 2 <= 4)) || fail "the $2 box is not centred down"
    wait_until "the $2 box does not take the keyboard" has_focus "$1"
    wait_until "the $2 box is not drawn" icon_drawn "$1"
}

# After the question: the game window shows a frame rate, then Escape ends it.
game_plays_then_ends() { # how the question was answered
    local w
    w=$(wait_window '^[0-9]+ fps$') || fail "no game window with a frame rate after $1"
    echo "after $1: '$(window_name "$w")', $(window_size "$w")"
    wait_until "the game window does not get the keyboard" has_focus "$w"
    game_key "$w" Escape
    wait_exit
    [[ $EXIT_CODE == 0 ]] || fail "Escape after $1 gave exit code $EXIT_CODE"
}

# Typed: the key goes wherever the keyboard is.
start_game "$game"
q=$(wait_window '^Question$') || fail "no Question box under openbox"
check_box "$q" Question
magick_tool import -window root "$SCREENS/openbox-question.png"
xdotool key n
game_plays_then_ends "n typed"

# Clicked: No, the second of the two buttons at the bottom centre.
start_game "$game"
q=$(wait_window '^Question$') || fail "no Question box under openbox"
check_box "$q" Question
eval "$(xdotool getwindowgeometry --shell "$q")"
xdotool mousemove --window "$q" $(((WIDTH - 186) / 2 + 98 + 44)) $((HEIGHT - 30)) click 1
game_plays_then_ends "a click on No"

start_game "$game_without_archive"
q=$(wait_window '^Question$') || fail "no Question box before the Fatal one"
wait_until "the Question box does not take the keyboard" has_focus "$q"
xdotool key n
f=$(wait_window '^Fatal$') || fail "no Fatal box under openbox"
check_box "$f" Fatal
magick_tool import -window root "$SCREENS/openbox-fatal.png"
xdotool key Return
wait_exit
[[ $EXIT_CODE == 0 ]] || fail "exit code $EXIT_CODE after the Fatal box"
echo "PASS"
