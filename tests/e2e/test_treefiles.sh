#!/usr/bin/env bash
# The file commands of the folder tree with real mouse clicks and keys: the
# folder menu's 显示文件 lists the pictures under the picked folder, picking
# one shows it, Ctrl+N numbers the folder's pictures through the batch rename
# dialog, 复制 of the file menu copies one into a folder typed into the
# folder chooser, and Delete in the tree (the question answered with Enter)
# deletes the picked one.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_scratch tmp
export KELVRA_HOME=$tmp/program HOME=$tmp/home
pics=$HOME/pics
mkdir -p "$KELVRA_HOME" "$pics"
for c in blue lime red; do convert -size 320x240 xc:$c -type TrueColor "BMP3:$pics/$c.bmp"; done
listing() { ls "$pics" | tr '\n' ' '; }
e2e_start_x
e2e_launch 2 "$pics/red.bmp"

# The picked folder is the highlighted row; its pictures come in the rows
# below it once they are shown. (Waits while the window is still drawn.)
for _ in $(seq 20); do
  e2e_shot "$out/treefiles-start.png"
  rows=$(convert "$out/treefiles-start.png" -crop "1x600+100+80" -depth 8 txt:- | tail -n +2 |
    awk '$3 == "#308CC6" {split($1, b, /[,:]/); y = 80 + b[2]; if (!first) first = y; last = y}
         END {if (first) print first, last - first + 1}')
  [ -n "$rows" ] && break
  sleep 0.5
done
read -r top height <<<"$rows"
[ -n "$top" ] && [ "$height" -ge 12 ] && [ "$height" -le 30 ] ||
  e2e_fail "no highlighted folder row (top=$top height=$height)"
row() { echo $(( top + height * $1 + height / 2 )); }

xdotool mousemove 80 "$(row 0)" click 3; sleep 0.6
e2e_key Up Up Return # 显示文件, the last but one
# Folders listed before stay as they were: 重载视图 (the last) reads the
# tree again; then Right opens home, Down picks the folder, Right lists its
# pictures and Down picks the first.
xdotool mousemove 80 "$(row 0)" click 3; sleep 0.6
e2e_key Up Return
sleep 0.8
xdotool mousemove 80 "$(row -1)" click 1; sleep 0.5
e2e_key Right Down Right Down
sleep 1
e2e_shot "$out/treefiles-shown.png"
[ "$(e2e_pixel "$out/treefiles-shown.png" 740 420)" = "0,0,255" ] ||
  e2e_fail "a click on the first picture of the tree did not show it"

e2e_key ctrl+n
[ -n "$(e2e_wait_window "批量命名")" ] || e2e_fail "Ctrl+N opened no batch rename dialog"
sleep 0.3
xdotool type --delay 30 "T"; e2e_key Return
e2e_wait_closed "批量命名" || e2e_fail "the batch rename dialog stayed open"
sleep 0.5
[ "$(listing)" = "T1.bmp T2.bmp T3.bmp " ] || e2e_fail "Ctrl+N did not number the pictures: $(listing)"
e2e_shot "$out/treefiles-numbered.png"

# A right click on T2.bmp picks it; 复制 of its menu asks for a folder in the
# program's folder chooser, which refuses a relative path and makes a typed
# folder that does not exist after a question (Enter: Yes).
xdotool mousemove 90 "$(row 2)" click 3; sleep 0.6
e2e_key Down Down Return # 复制
[ -n "$(e2e_wait_window "请选择目录")" ] || e2e_fail "复制 opened no folder chooser"
sleep 0.3
# A relative path is refused and the chooser stays open.
xdotool type --delay 15 "out/new"; e2e_key Return
[ -n "$(e2e_wait_window "Kelvra")" ] || e2e_fail "the chooser took a relative path"
e2e_key Return
e2e_wait_closed "Kelvra" || e2e_fail "the refusal stayed open"
[ -n "$(e2e_wait_window "请选择目录")" ] || e2e_fail "the chooser closed after a refused path"
e2e_key ctrl+a
xdotool type --delay 15 "$tmp/out/new"; e2e_key Return
[ -n "$(e2e_wait_window "Kelvra")" ] || e2e_fail "the chooser did not offer to make the folder"
e2e_shot "$out/treefiles-make.png"
e2e_key Return
e2e_wait_closed "请选择目录" || e2e_fail "the folder chooser stayed open"
sleep 0.5
[ -f "$tmp/out/new/T2.bmp" ] || e2e_fail "复制 did not copy T2.bmp into the new folder"

# Delete in the tree (a click on the picked row gives it the focus back)
# deletes the picked picture.
xdotool mousemove 90 "$(row 2)" click 1; sleep 0.5
e2e_key Delete
[ -n "$(e2e_wait_window "Tavisk美图")" ] || e2e_fail "Delete in the tree asked no question"
sleep 0.3
e2e_key Return
e2e_wait_closed "Tavisk美图" || e2e_fail "the question stayed open"
sleep 0.5
[ "$(listing)" = "T1.bmp T3.bmp " ] || e2e_fail "Delete in the tree did not delete T2.bmp alone: $(listing)"
e2e_shot "$out/treefiles-deleted.png"
echo "PASS: treefiles (screenshots in $out)"
