#!/usr/bin/env bash
# Answering Yes gives a full-screen game window covering the whole display,
# with the whole title picture in its middle: centred on black where the
# display cannot take the game's 800 by 600 mode (classic SDL 1.2), or scaled
# to the screen (SDL 1.2 over SDL2); a picture cut at the window's edges
# fails. Escape ends the game with 0. Under a window manager, as on a desktop:
# over SDL2 a full-screen window is sized by it.
source "$(dirname "$0")/lib.sh"
title_png=$2
own_desktop
start_game "$1"
answer_question y
read -r sw sh < <(xdotool getdisplaygeometry)

# A window covering the screen.
covering() {
    local id
    for id in $(find_windows --onlyvisible --name '.*'); do
        [[ $(window_size "$id") == "${sw}x${sh}" ]] && return 0
    done
    return 1
}
wait_until "no window covers the ${sw}x${sh} screen" covering

# The picture: the screen's non-black part, centred, showing the title.
title_shown() { # file
    local box w h x y distance
    box=$(convert "$1" -fuzz 3% -format '%@' info: 2>/dev/null)
    [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || { echo "no picture"; return 1; }
    w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
    distance=$(picture_distance "$1" "$box" "$title_png")
    echo "picture at $box, ${distance}% from the title picture"
    ((w >= 640 && h >= 480 && ${distance:-100} < 8)) && centred "$x" "$w" "$sw" && centred "$y" "$h" "$sh"
}
centred() { # offset size screen-size
    local gap=$(($3 - 2 * $1 - $2))
    ((gap >= -2 && gap <= 2))
}
shoot_until root "$WORK/full.png" title_shown || fail "the title is not shown full screen: $SEEN"
echo "$SEEN"

xdotool keydown Escape && sleep 0.15 && xdotool keyup Escape
wait_exit
[[ $EXIT_CODE == 0 ]] || fail "Escape gave exit code $EXIT_CODE"
echo "PASS"
