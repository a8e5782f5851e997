#!/usr/bin/env bash
# A short flight as a player would fly it: the title, Space, enemies locked
# on, steering with the mouse while the gun fires, missiles, the afterburner
# and the slow throttle, then Escape. Each screenshot is checked for what it must
# show, and kept in $QUORRIN_SCREENS for people to look at.
# usage: play_test.sh GAME TITLE_PNG (the title picture the build made)
source "$(dirname "$0")/lib.sh"
title_png=$2
SCREENS=${QUORRIN_SCREENS:-$WORK}
mkdir -p "$SCREENS"
rm -f "$SCREENS"/*.png
start_game "$1"

answer_question n
w=$(wait_window '^(quorrin|[0-9]+ fps)$') || fail "no game window within ${WAIT_SECONDS} s"

# The title: the generator's picture, scaled to the window.
is_title() { # file
    local distance
    distance=$(picture_distance "$1" 800x600+0+0 "$title_png")
    echo "${distance:-?}% from the title picture"
    ((${distance:-100} < 8))
}
shoot_until "$w" "$SCREENS/1-title.png" is_title || fail "the title picture is not shown: $SEEN"
echo "title: $SEEN"

# The missile stock: a big icon for each ten from the left, then a small one
# for each one more. These count the white icon pixels where the five big
# icons of a full stock stand, and beside them, where small icons would.
big_icons() { count_pixels "$1" 102x50+20+478 'r>0.85&&g>0.85&&b>0.85'; }
small_icons() { count_pixels "$1" 130x50+122+478 'r>0.85&&g>0.85&&b>0.85'; }

# In flight: a bright blue sky over a darker sea, the white sight at the
# centre, and the full stock of 50 missiles as five big icons and no small ones.
in_flight() { # file
    local sky sea sight big small
    read -r -a sky < <(region_rgb "$1" 600x80+100+80)
    read -r -a sea < <(region_rgb "$1" 90x60+700+400)
    sight=$(count_pixels "$1" 120x100+340+235 'r>0.98&&g>0.98&&b>0.98')
    big=$(big_icons "$1")
    small=$(small_icons "$1")
    echo "sky rgb ${sky[*]}, sea rgb ${sea[*]}, ${sight} white pixels at the centre," \
        "missile icons: ${big} big-icon pixels, ${small} small-icon pixels"
    ((sky[2] > sky[0] + 40 && sea[2] > sea[0] + 40)) || return 1
    ((sky[0] + sky[1] + sky[2] > sea[0] + sea[1] + sea[2] + 150)) || return 1
    ((sight >= 20 && big > 1500 && small < 50))
}
game_key "$w" space
shoot_until "$w" "$SCREENS/2-flight.png" in_flight || fail "not in flight after Space: $SEEN"
echo "flight: $SEEN"

# Flying on, the stage's first enemies come near the sight and are locked on:
# the cyan lock marks show in the sky.
locked_on() { # file
    local marks
    marks=$(count_pixels "$1" 800x330+0+0 'r<0.45&&g>0.6&&b>0.75&&g-r>0.3')
    echo "${marks} lock-mark pixels"
    ((marks >= 40))
}
shoot_until "$w" "$SCREENS/3-enemies.png" locked_on || fail "no enemy was locked on: $SEEN"
echo "enemies: $SEEN"

# The first row from the top where the sea begins in a column of a screenshot.
horizon() { # file x
    convert "$1" -crop "1x480+$2+60" -depth 8 txt:- 2>/dev/null |
        awk -F'[(),:]' 'NR > 1 && $4 < 90 && $6 > $4 + 30 { print $2 + 60; found = 1; exit }
                        END { if (!found) print 999 }'
}
# Steering right banks the aircraft: the horizon drops on the left and rises
# on the right. Each motion is measured from the centre, where the game puts
# the pointer back.
steer_right() {
    local i
    for i in 1 2 3; do
        xdotool mousemove --window "$w" 470 300
    done
}
banked_right() { # file
    local left right
    left=$(horizon "$1" 60)
    right=$(horizon "$1" 740)
    echo "horizon at y $left on the left, y $right on the right"
    ((left - right > 40 && left < 999))
}
xdotool mousedown 1 # the gun fires meanwhile
shoot_until --before steer_right "$w" "$SCREENS/4-turn.png" banked_right ||
    fail "steering right did not bank the view: $SEEN"
xdotool mouseup 1
echo "turn: $SEEN"

# Missiles: the stock drops below 50, so small icons stand beside the big ones.
fire_missiles() {
    xdotool mousemove --window "$w" 400 300
    xdotool click --repeat 5 --delay 150 3
}
missiles_gone() { # file
    local small
    small=$(small_icons "$1")
    echo "${small} small-icon pixels"
    ((small > 200))
}
shoot_until --before fire_missiles "$w" "$SCREENS/5-missiles.png" missiles_gone ||
    fail "missiles did not leave the stock: $SEEN"
echo "missiles: $SEEN"

# The throttle gauge: how far along its row the coloured bar reaches.
gauge_end() { # file
    convert "$1" -crop 330x1+0+578 -depth 8 txt:- 2>/dev/null |
        awk -F'[(),:]' 'NR > 1 && $1 >= 20 {
                            max = $4; min = $4
                            if ($5 > max) max = $5; if ($6 > max) max = $6
                            if ($5 < min) min = $5; if ($6 < min) min = $6
                            if (max < 200 || min > 150) exit
                            last = $1 }
                        END { print last + 0 }'
}
# Normal throttle fills about half of the 320 pixels, the afterburner all of
# it, the slow throttle less than half.
gauge_beyond() { # file x
    local end
    end=$(gauge_end "$1")
    echo "the throttle gauge reaches x $end"
    ((end >= $2))
}
gauge_short_of() { # file x
    local end
    end=$(gauge_end "$1")
    echo "the throttle gauge reaches x $end"
    ((end > 20 && end <= $2))
}
afterburner() { gauge_beyond "$1" 280; }
slow() { gauge_short_of "$1" 140; }
# The afterburner runs for two seconds from a press of W.
press_w() {
    xdotool keydown w
    xdotool keyup w
}
xdotool mousemove --window "$w" 400 300
shoot_until --before press_w "$w" "$SCREENS/6-afterburner.png" afterburner ||
    fail "W gave no afterburner: $SEEN"
echo "afterburner: $SEEN"
xdotool keydown s
shoot_until "$w" "$SCREENS/7-slow.png" slow || fail "S did not slow down: $SEEN"
xdotool keyup s
echo "slow: $SEEN"

kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended during the flight"

game_key "$w" Escape
wait_exit
[[ $EXIT_CODE == 0 ]] || fail "Escape gave exit code $EXIT_CODE"
echo "screenshots in $SCREENS"
echo "PASS"
