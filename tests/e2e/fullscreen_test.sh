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

# The whole title picture: the screen is the picture scaled, or its centre is
# the picture at 800 by 600 with black all round. A picture cut at the edges
# of a smaller window is neither.
title_shown() { # file
    local x=$(((sw - 800) / 2)) y=$(((sh - 600) / 2)) scaled centred border
    scaled=$(picture_distance "$1" "${sw}x${sh}+0+0" "$title_png")
    centred=$(picture_distance "$1" "800x600+$x+$y" "$title_png")
    border=$(($(region_mean "$1" "${x}x$sh+0+0") + $(region_mean "$1" "${x}x$sh+$((x + 800))+0") +
        $(region_mean "$1" "${sw}x$y+0+0") + $(region_mean "$1" "${sw}x$y+0+$((y + 600))")))
    echo "the screen is ${scaled:-?}% from the title picture scaled to it; its centre" \
        "${centred:-?}% from the picture, the border around it ${border} bright"
    ((${scaled:-100} < 8)) || ((${centred:-100} < 8 && border <= 4))
}
shoot_until root "$WORK/full.png" title_shown || fail "the title is not shown full screen: $SEEN"
echo "$SEEN"

xdotool keydown Escape && sleep 0.15 && xdotool keyup Escape
wait_exit
[[ $EXIT_CODE == 0 ]] || fail "Escape gave exit code $EXIT_CODE"
echo "PASS"
