#!/usr/bin/env bash
# File information through the window system: a picture opened with Ctrl+O
# puts its path into the caption and its facts into the status bar; the
# mouse over the bottom strip shows the facts of the picture under it and
# leaving the strip brings the shown picture's back; F2 opens the sheet
# "文件信息"; F3 finds a picture by name and shows it.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_own_bus "$@"
e2e_scratch tmp
export KELVRA_HOME=$tmp/program HOME=$tmp/home
pics=$HOME/pics
mkdir -p "$KELVRA_HOME" "$pics"
convert -size 320x240 xc:red -type TrueColor "BMP3:$pics/red.bmp"
convert -size 200x100 xc:lime -type TrueColor "PNG24:$pics/lime.png"

# wait_title WIN TEXT: waits up to 10 s for the window's caption to be TEXT.
wait_title() {
  for _ in $(seq 100); do
    [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ] && return 0
    sleep 0.1
  done
  return 1
}
# expect_texts WHAT TEXT...: every TEXT is among what assistive technologies
# read of the program (kept in $texts for further checks).
expect_texts() {
  local what=$1; shift
  texts=$(/usr/bin/python3 "$(dirname "$0")/atspi_texts.py" kelvra 2>/dev/null) ||
    e2e_fail "the program is not on the accessibility bus"
  for t in "$@"; do grep -qxF "$t" <<<"$texts" || e2e_fail "$what: \"$t\" cannot be read"; done
}

e2e_start_x
e2e_launch 1.5
e2e_open_picture "$pics/red.bmp"
wait_title "$win" "Tavisk看图[$pics/red.bmp]" ||
  e2e_fail "the caption does not name the opened picture: $(xdotool getwindowname "$win")"
expect_texts "after Ctrl+O" red.bmp "BMP:320x240x24bit"

# The mouse enters the bottom band of the picture window (above the status
# bar) over the first slot: the strip comes up, and a second move over the
# same slot hovers lime.png, the first picture of the folder.
xdotool mousemove 250 745; sleep 0.5
xdotool mousemove 252 748; sleep 0.8
e2e_shot "$out/fileinfo-hover.png"
expect_texts "hovering lime.png in the strip" lime.png "PNG:200x100x24bit"
xdotool mousemove 700 300; sleep 0.8
expect_texts "after leaving the strip" red.bmp "BMP:320x240x24bit"
grep -qxF "lime.png" <<<"$texts" && e2e_fail "leaving the strip kept lime.png's facts"

xdotool windowactivate --sync "$win" 2>/dev/null; xdotool windowfocus "$win"; sleep 0.3
e2e_key F2
[ -n "$(e2e_wait_window "文件信息")" ] || e2e_fail "F2 opened no file-information sheet"
sleep 0.5
e2e_shot "$out/fileinfo-sheet.png"
expect_texts "the sheet" "320x240" "24bit" "Exif信息"
e2e_key Escape
e2e_wait_closed "文件信息" || e2e_fail "Esc did not close the sheet"

# F3: the folder field comes filled in and selected; the name field is two
# tabs further on (past the browse button).
e2e_key F3
[ -n "$(e2e_wait_window "搜索文件")" ] || e2e_fail "F3 opened no search dialog"
sleep 0.5
e2e_key Tab Tab
xdotool type --delay 30 "lime"; e2e_key Return
e2e_wait_closed "搜索文件" || e2e_fail "the search dialog stayed open"
wait_title "$win" "Tavisk看图[$pics/lime.png]" ||
  e2e_fail "the search did not show lime.png: $(xdotool getwindowname "$win")"
sleep 0.5
e2e_shot "$out/fileinfo-found.png"
[ "$(e2e_pixel "$out/fileinfo-found.png" 740 420)" = "0,255,0" ] ||
  e2e_fail "the found picture is not on the screen"
echo "PASS: fileinfo (screenshots in $out)"
