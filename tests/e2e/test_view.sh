#!/usr/bin/env bash
# Open a picture with Ctrl+O, zoom in twice, drag it, go full screen with Esc:
# the screenshot shows the picture enlarged twofold, without menu and bars.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_scratch home
export KELVRA_HOME=$home
# A checker board of 8-pixel squares: at zoom 2 its squares are 16 pixels.
convert -size 16x16 xc:black -fill white -draw 'rectangle 0,0 7,7' -draw 'rectangle 8,8 15,15' \
  -write mpr:tile +delete -size 1600x1200 tile:mpr:tile -type TrueColor "BMP3:$home/checker.bmp"
e2e_start_x
e2e_launch 1.5
e2e_open_picture "$home/checker.bmp"
e2e_shot "$out/view-open.png"
e2e_key KP_0 KP_0; sleep 0.5
e2e_shot "$out/view-zoomed.png"
xdotool mousemove 700 400 mousedown 1 mousemove 690 395 mousemove 640 371 mouseup 1; sleep 0.5
e2e_shot "$out/view-dragged.png"
cmp -s "$out/view-zoomed.png" "$out/view-dragged.png" && e2e_fail "the drag did not move the picture"
e2e_key Escape; sleep 1.5
e2e_shot "$out/view-full.png"
# No menu bar, tool bar or status bar: the checker board reaches the top and
# bottom rows of the screen.
for y in 5 30 60 795; do
  runs=$(e2e_runs "$out/view-full.png" $y 20 1000 | sort -u | tr '\n' ' ')
  [ "$runs" = "16 " ] || e2e_fail "row $y is not the board enlarged twofold (runs: $runs)"
done
echo "PASS: view (screenshots in $out)"
