#!/usr/bin/env bash
# Under a plain window manager, tile through 工具 → 设置壁纸 → 平铺, centre
# through the picture's context menu (设置壁纸 → 居中) and stretch through the
# tools menu again: each time the root window shows the picture tiled,
# centred on black or stretched over the screen, and the wallpaper file stays
# in the program folder. Ctrl+P opens the print dialog.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_scratch home
export KELVRA_HOME=$home
unset XDG_CURRENT_DESKTOP
# 100 x 80 in four quadrants: red, green over blue, white.
convert -size 50x40 xc:red xc:lime +append \( -size 50x40 xc:blue xc:white +append \) -append \
  -type TrueColor "BMP3:$home/quad.bmp"
e2e_start_x
e2e_launch 1.5
e2e_open_picture "$home/quad.bmp"

# root_shot NAME: hides the program, photographs the root window, brings the
# program back.
root_shot() {
  xdotool windowminimize "$win"; sleep 1
  e2e_shot "$out/wallpaper-$1.png"
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowmap "$win"; sleep 1
}
# expect NAME X Y COLOUR...: the root window's pixels at the points.
expect() {
  local name=$1; shift
  while [ $# -ge 3 ]; do
    local got; got=$(e2e_pixel "$out/wallpaper-$name.png" "$1" "$2")
    [ "$got" = "$3" ] || e2e_fail "$name: pixel $1,$2 is $got, not $3"
    shift 3
  done
}
red=255,0,0; green=0,255,0; blue=0,0,255; white=255,255,255; black=0,0,0

e2e_key alt+t Down Right Return; sleep 1
root_shot tile
[ -f "$home/Wallpapers/quad.bmp" ] || e2e_fail "no wallpaper file after tiling"
# The 100 x 80 picture repeats from the top left corner.
expect tile 10 10 $red 60 10 $green 10 50 $blue 60 50 $white \
  1110 730 $red 1160 770 $white 1270 790 $white 1205 85 $red 1255 725 $green

# The picture fits the window, so the right button offers the context menu.
xdotool mousemove 700 450 click 3; sleep 0.8
e2e_key Up Right Down Return; sleep 1
root_shot centre
# Centred: its top left corner at ((1280 - 100) / 2, (800 - 80) / 2).
expect centre 591 361 $red 688 361 $green 591 438 $blue 688 438 $white \
  589 400 $black 691 400 $black 640 358 $black 640 441 $black 10 10 $black

e2e_key alt+t Down Right Down Down Return; sleep 1.5
root_shot stretch
# Stretched over the whole screen: the quadrants meet in its middle.
expect stretch 5 5 $red 1274 5 $green 5 794 $blue 1274 794 $white \
  637 397 $red 642 397 $green 637 402 $blue 642 402 $white
[ "$(ls "$home/Wallpapers")" = "quad.bmp" ] || e2e_fail "the wallpaper folder holds $(ls "$home/Wallpapers")"
identify -format '%wx%h' "$home/Wallpapers/quad.bmp" | grep -qx 1280x800 ||
  e2e_fail "the stretched wallpaper is not the screen's size"

e2e_key ctrl+p
[ -n "$(e2e_wait_window "(Print|打印)")" ] || e2e_fail "Ctrl+P opened no print dialog"
e2e_key Escape
e2e_wait_closed "(Print|打印)" || e2e_fail "the print dialog stayed open"
echo "PASS: wallpaper (screenshots in $out)"
