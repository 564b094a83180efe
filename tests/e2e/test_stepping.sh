#!/usr/bin/env bash
# Step through a folder of four JPEGs with numpad + and -, and the wheel:
# each screenshot shows the right picture while the next one is decoded
# ahead; a picture rewritten on disk after it was decoded ahead is shown as
# it is now.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_scratch home
export KELVRA_HOME=$home
mkdir "$home/pics"
jpeg() { convert -size 1600x1200 xc:"$1" -quality 90 "$home/pics/$2"; }
jpeg red a.jpg; jpeg lime b.jpg; jpeg blue c.jpg; jpeg yellow d.jpg

# expect NAME COLOUR: the middle of the picture window has that colour.
expect() {
  local shot="$out/stepping-$1.png" rgb
  e2e_shot "$shot"
  rgb=$(e2e_pixel "$shot" 760 420)
  awk -v c="$rgb" -v want="$2" 'BEGIN {split(c, v, ","); n = split(want, w, ",");
    for (i = 1; i <= 3; i++) if (v[i] - w[i] > 40 || w[i] - v[i] > 40) exit 1}' ||
    e2e_fail "$1: the picture shown is $rgb, not $2"
}

e2e_start_x
e2e_launch 1.5
e2e_open_picture "$home/pics/a.jpg"
expect first 255,0,0
e2e_key KP_Add; sleep 0.5
expect next 0,255,0
# c.jpg was decoded ahead; it changes on disk before it is asked for.
sleep 1; jpeg magenta c.jpg
e2e_key KP_Add; sleep 0.5
expect changed 255,0,255
e2e_key KP_Add; sleep 0.5
expect last 255,255,0
e2e_key KP_Subtract; sleep 0.5
expect back 255,0,255
e2e_key KP_Subtract; sleep 0.5
expect back-again 0,255,0
xdotool mousemove 760 420 click 5; sleep 0.8
expect wheel 255,0,255
echo "PASS: stepping (screenshots in $out)"
