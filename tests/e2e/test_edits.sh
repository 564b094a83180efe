#!/usr/bin/env bash
# Open a picture red on the left and blue on the right, turn it clockwise
# from the "调整(&A)" menu: the screen shows red above blue. Then, reduced,
# drag a rubber band over it with the mouse (its dotted outline is red 250),
# copy it from the right click's menu and read the clipboard with xclip;
# drag another band and click inside it: the view zooms into the band, which
# is gone. Last, full screen with the strip shown, the floating row's last
# button turns the picture again: blue left of red.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_scratch home
export KELVRA_HOME=$home
convert -size 200x200 xc:red xc:blue +append -type TrueColor "BMP3:$home/halves.bmp"
convert -size 50x50 xc:green -type TrueColor "BMP3:$home/green.bmp" # the strip needs two

# box FILE COLOUR: "width height x y" of the pixels of exactly that colour.
box() { convert "$1" -fill black +opaque "$2" -trim -format "%w %h %[fx:page.x] %[fx:page.y]" info: 2>/dev/null; }
# count FILE COLOUR: how many pixels have exactly that colour.
count() {
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -colorspace gray \
    -format "%[fx:int(mean*w*h+0.5)]" info:
}

e2e_start_x
"$bin" & E2E_APPPID=$!
[ -n "$(e2e_wait_window "Tavisk看图")" ] || e2e_fail "no window"
sleep 1.5
e2e_open_picture "$home/halves.bmp"
e2e_shot "$out/edits-open.png"
read -r rw rh rx ry <<<"$(box "$out/edits-open.png" red)"
read -r bw bh bx by <<<"$(box "$out/edits-open.png" blue)"
[ "$rw $rh $bw $bh" = "200 200 200 200" ] && [ "$bx" = $((rx + 200)) ] ||
  e2e_fail "the picture is not shown at actual size (red $rw x $rh at $rx, blue $bw x $bh at $bx)"

# The eighth item of the menu turns clockwise.
e2e_key alt+a Down Down Down Down Down Down Down Return
sleep 1
e2e_shot "$out/edits-turned.png"
read -r rw rh rx ry <<<"$(box "$out/edits-turned.png" red)"
read -r bw bh bx by <<<"$(box "$out/edits-turned.png" blue)"
[ "$rw $rh $bw $bh" = "200 200 200 200" ] && [ "$bx $by" = "$rx $((ry + 200))" ] ||
  e2e_fail "the turned picture is not red above blue (red at $rx,$ry, blue at $bx,$by)"

# Reduced (zoom 0.9), a drag draws the band; a click inside it zooms.
e2e_key KP_1; sleep 0.5
e2e_shot "$out/edits-reduced.png"
read -r rw rh rx ry <<<"$(box "$out/edits-reduced.png" red)"
xdotool mousemove $((rx + 20)) $((ry + 20)) mousedown 1 mousemove $((rx + 60)) $((ry + 100)) \
  mousemove $((rx + 120)) $((ry + 200)) mouseup 1
sleep 0.5
e2e_shot "$out/edits-band.png"
[ "$(count "$out/edits-band.png" "rgb(250,0,0)")" -gt 50 ] || e2e_fail "no dotted band after the drag"

# The right click offers the selection menu; its last item copies. The band
# covers client pixels 20 .. 120 x 20 .. 200 of the 180 x 360 view of the
# 200 x 400 picture: picture columns 22 .. 132 and rows 22 .. 221, the
# first 178 of them red and the last 22 blue.
xdotool mousemove $((rx + 70)) $((ry + 110)) click 3
sleep 0.8
e2e_key Up Return
sleep 0.5
xclip -selection clipboard -t image/png -o >"$out/edits-clip.png" 2>/dev/null ||
  e2e_fail "the clipboard holds no picture after 复制选区"
[ "$(identify -format %wx%h "$out/edits-clip.png")" = 111x200 ] &&
  [ "$(count "$out/edits-clip.png" red)" = $((111 * 178)) ] &&
  [ "$(count "$out/edits-clip.png" blue)" = $((111 * 22)) ] &&
  [ "$(e2e_pixel "$out/edits-clip.png" 0 177) $(e2e_pixel "$out/edits-clip.png" 110 178)" = "255,0,0 0,0,255" ] ||
  e2e_fail "the clipboard does not hold the selected pixels ($(identify -format %wx%h "$out/edits-clip.png"))"
e2e_shot "$out/edits-copied.png"
[ "$(count "$out/edits-copied.png" "rgb(250,0,0)")" -eq 0 ] || e2e_fail "the band stayed after copying"

xdotool mousemove $((rx + 20)) $((ry + 20)) mousedown 1 mousemove $((rx + 60)) $((ry + 100)) \
  mousemove $((rx + 120)) $((ry + 200)) mouseup 1
sleep 0.5
xdotool mousemove $((rx + 70)) $((ry + 110)) click 1
sleep 1
e2e_shot "$out/edits-zoomed.png"
[ "$(count "$out/edits-zoomed.png" "rgb(250,0,0)")" -eq 0 ] || e2e_fail "the band stayed after the click"
read -r zw zh zx zy <<<"$(box "$out/edits-zoomed.png" red)"
[ "${zw:-0}" -gt $((2 * rw)) ] || e2e_fail "the click inside the band did not zoom into it (red ${zw}x${zh})"

# Full screen, the strip shown by moving into the bottom band: the row's
# rotate button is 68 .. 92 pixels right of the middle, 93 .. 69 above the
# bottom of the screen-filling picture window.
e2e_key KP_2 Escape
sleep 1.5
xdotool mousemove 640 790; sleep 0.5
xdotool mousemove $((640 + 80)) $((800 - 81)) click 1
sleep 1
e2e_shot "$out/edits-row.png"
convert "$out/edits-row.png" -crop 1280x600+0+0 +repage "$out/edits-row-top.png"
read -r rw rh rx ry <<<"$(box "$out/edits-row-top.png" red)"
read -r bw bh bx by <<<"$(box "$out/edits-row-top.png" blue)"
[ "$rw $rh $bw $bh" = "200 200 200 200" ] && [ "$rx $ry" = "$((bx + 200)) $by" ] ||
  e2e_fail "the row's rotate button did not turn the picture (red at $rx,$ry, blue at $bx,$by)"
echo "PASS: edits (screenshots in $out)"
