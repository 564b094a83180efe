#!/usr/bin/env bash
# F5 opens the options sheet "选项" through the window system: its display
# page shows the left background colour of System.ini in its colour box and
# sample, a colour nothing else on the screen has; Esc closes it again.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_scratch home
export KELVRA_HOME=$home
printf '[LeftBackColor]\nRed=20\nGreen=180\nBlue=60\n' > "$home/System.ini"
# Pixels of the left background colour on a screenshot.
count_left_colour() {
  convert "$1" -fill black +opaque 'rgb(20,180,60)' -fill white -opaque 'rgb(20,180,60)' \
    -colorspace gray -format '%[fx:int(mean*w*h+0.5)]' info:
}
e2e_start_x
e2e_launch 1.5
e2e_shot "$out/options-before.png"
[ "$(count_left_colour "$out/options-before.png")" = 0 ] || e2e_fail "the colour is on the screen already"
e2e_key F5
sheet=$(e2e_wait_window "选项")
[ -n "$sheet" ] || e2e_fail "F5 opened no options sheet"
sleep 0.5
e2e_shot "$out/options-sheet.png"
n=$(count_left_colour "$out/options-sheet.png")
[ "$n" -ge 600 ] || e2e_fail "the sheet does not show the left background colour ($n pixels)"
e2e_key Escape
e2e_wait_closed "选项" || e2e_fail "Esc did not close the sheet"
echo "PASS: options (screenshots in $out)"
