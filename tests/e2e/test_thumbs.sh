#!/usr/bin/env bash
# A folder of 30 pictures, none viewed: the list shows 30 placeholders. Open
# the first by a double click, step to the next two with numpad +, double
# click the picture to go back to the list: the screenshot shows three
# thumbnails (the pictures' own colour) and 27 placeholders (the badge colour).
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_scratch home
export KELVRA_HOME=$home
e2e_copies "$home/pics" 30 '#ff00ff'

e2e_start_x
e2e_launch 2.5 "$home/pics/p00.bmp"
e2e_shot "$out/thumbs-before.png"
read -r ox oy before <<<"$(e2e_list_cells "$out/thumbs-before.png")"
[ "$ox" != none ] || e2e_fail "no list on the screen"
[ "$before" = "$(printf 'P%.0s' $(seq 30))" ] || e2e_fail "before viewing: $before"

xdotool mousemove $((ox + 35)) $((oy + 30)) click --repeat 2 --delay 60 1; sleep 1.5
e2e_key KP_Add KP_Add; sleep 1
xdotool mousemove 700 400 click --repeat 2 --delay 60 1; sleep 1.5
xdotool mousemove 5 790; sleep 0.5
e2e_shot "$out/thumbs-after.png"
read -r ox2 oy2 after <<<"$(e2e_list_cells "$out/thumbs-after.png")"
expected="TTT$(printf 'P%.0s' $(seq 27))"
[ "$after" = "$expected" ] || e2e_fail "after viewing three: $after (expected $expected)"
[ "$(ls "$home/Thumb" | wc -l)" = 3 ] || e2e_fail "cache files: $(ls "$home/Thumb")"
echo "PASS: thumbs (screenshots in $out)"
