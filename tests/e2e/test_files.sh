#!/usr/bin/env bash
# The file commands on the shown picture with real keys: Ctrl+O opens it,
# Ctrl+R renames it through the rename dialog, Delete (the question answered
# with Enter) deletes it while it stays on the screen, and Ctrl+C then asks
# for a picture, since there is no current file any more. Then the tool bar's
# move button moves another picture into a folder made through the chooser.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_scratch home
export KELVRA_HOME=$home/program HOME=$home
mkdir -p "$KELVRA_HOME" "$home/pics"
convert -size 320x240 xc:'#ff00ff' -type TrueColor "BMP3:$home/pics/p00.bmp"
cp "$home/pics/p00.bmp" "$home/pics/p01.bmp"
e2e_start_x
e2e_launch 2
e2e_open_picture "$home/pics/p00.bmp"

e2e_key ctrl+r
[ -n "$(e2e_wait_window "重命名")" ] || e2e_fail "Ctrl+R opened no rename dialog"
sleep 0.3
e2e_shot "$out/files-rename.png"
xdotool type --delay 30 "renamed"; e2e_key Return
e2e_wait_closed "重命名" || e2e_fail "the rename dialog stayed open"
[ -f "$home/pics/renamed.bmp" ] && [ ! -e "$home/pics/p00.bmp" ] ||
  e2e_fail "Ctrl+R did not rename the picture: $(ls "$home/pics" | tr '\n' ' ')"

# Delete reaches the picture window once it has the focus.
xdotool mousemove 740 500 click 1; sleep 0.3
e2e_key Delete
[ -n "$(e2e_wait_window "Tavisk美图")" ] || e2e_fail "Delete asked no question"
sleep 0.3
e2e_key Return
e2e_wait_closed "Tavisk美图" || e2e_fail "the question stayed open"
sleep 0.5
[ ! -e "$home/pics/renamed.bmp" ] && [ -f "$home/pics/p01.bmp" ] ||
  e2e_fail "Delete did not delete the shown picture alone: $(ls "$home/pics" | tr '\n' ' ')"
e2e_shot "$out/files-deleted.png"
[ "$(e2e_pixel "$out/files-deleted.png" 740 420)" = "255,0,255" ] ||
  e2e_fail "the deleted picture left the screen"

e2e_key ctrl+c
[ -n "$(e2e_wait_window "Kelvra")" ] || e2e_fail "Ctrl+C without a current file showed no message"
e2e_shot "$out/files-nofile.png"
e2e_key Return

# The tool bar's move button (the third) on p01.bmp: the move dialog's browse
# button (reached with Tab) opens the folder chooser, whose typed folder is
# made after the question and comes back into the dialog.
e2e_open_picture "$home/pics/p01.bmp"
xdotool mousemove 94 59 click 1
[ -n "$(e2e_wait_window "移动文件")" ] || e2e_fail "the move button opened no move dialog"
sleep 0.3
e2e_key Tab space
[ -n "$(e2e_wait_window "Tavisk美图浏览")" ] || e2e_fail "the browse button opened no folder chooser"
sleep 0.3
xdotool type --delay 15 "$home/moved"; e2e_key Return
[ -n "$(e2e_wait_window "Kelvra")" ] || e2e_fail "the chooser did not offer to make the folder"
e2e_key Return
e2e_wait_closed "Tavisk美图浏览" || e2e_fail "the folder chooser stayed open"
sleep 0.3
e2e_shot "$out/files-move.png"
e2e_key Return
e2e_wait_closed "移动文件" || e2e_fail "the move dialog stayed open"
sleep 0.5
[ -f "$home/moved/p01.bmp" ] && [ ! -e "$home/pics/p01.bmp" ] ||
  e2e_fail "the move did not move p01.bmp into the new folder: $(ls "$home"/*)"
echo "PASS: files (screenshots in $out)"
