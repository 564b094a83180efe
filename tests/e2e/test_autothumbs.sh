#!/usr/bin/env bash
# A folder of 30 pictures, none viewed: the list shows 30 placeholders and no
# cache file is made while the option is off. Ticking
# "浏览文件夹时，自动生成缩略图" on the options sheet's "杂项" page with keys
# and confirming: the shown folder's cells fill with the thumbnails by
# themselves, and the option is stored in System.ini at exit.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_scratch home
export KELVRA_HOME=$home
e2e_copies "$home/pics" 30 '#ff00ff'
all() { printf "$1%.0s" $(seq 30); }

e2e_start_x
e2e_launch 2.5 "$home/pics/p00.bmp"
e2e_shot "$out/autothumbs-off.png"
read -r ox oy cells <<<"$(e2e_list_cells "$out/autothumbs-off.png")"
[ "$ox" != none ] || e2e_fail "no list on the screen"
[ "$cells" = "$(all P)" ] || e2e_fail "with the option off: $cells"
[ ! -e "$home/Thumb" ] || e2e_fail "cache files with the option off: $(ls "$home/Thumb")"

e2e_key F5
[ -n "$(e2e_wait_window "选项")" ] || e2e_fail "F5 opened no options sheet"
sleep 0.5
# The third page (the tab bar keeps the focus), then its sixth check box.
e2e_key ctrl+Tab ctrl+Tab Tab Tab Tab Tab Tab Tab space
e2e_shot "$out/autothumbs-sheet.png"
e2e_key Return
e2e_wait_closed "选项" || e2e_fail "the sheet stayed open"
sleep 3
e2e_shot "$out/autothumbs-on.png"
read -r ox oy cells <<<"$(e2e_list_cells "$out/autothumbs-on.png")"
[ "$cells" = "$(all T)" ] || e2e_fail "with the option on: $cells"
[ "$(ls "$home/Thumb" | wc -l)" = 30 ] || e2e_fail "cache files: $(ls "$home/Thumb" | wc -l)"

e2e_quit "$win" "$E2E_APPPID" || e2e_fail "Alt+X did not end the program"
[ "$(tail -n 2 "$home/System.ini" | tr -d '\r')" = "$(printf '[AutoThumb]\nmAutoThumb=1')" ] ||
  e2e_fail "System.ini does not end with the option: $(tail -n 3 "$home/System.ini")"
echo "PASS: autothumbs (screenshots in $out)"
