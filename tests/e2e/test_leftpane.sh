#!/usr/bin/env bash
# The left pane under X: started with a picture's path, the picture's folder is
# the highlighted row of the folder tree (the third row: "/", the home folder,
# then the folder inside it) and the right pane lists the pictures; a
# favourite added through the favourites menu and the folder chooser is in
# tree.sxs after Alt+X, and is shown again after a restart.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_scratch tmp
export KELVRA_HOME=$tmp/program HOME=$tmp/home
mkdir -p "$KELVRA_HOME" "$HOME/Photos 2024"
cp "$src"/samples/*.jpg "$src"/samples/*.png "$HOME/Photos 2024/"
e2e_start_x

"$bin" "$HOME/Photos 2024/sunset.jpg" & E2E_APPPID=$!
win=$(e2e_wait_window "Tavisk看图")
[ -n "$win" ] || e2e_fail "no window titled Tavisk看图"
sleep 2
shot=$out/leftpane-start.png
e2e_shot "$shot"
# The pane's header strip (198,198,198) gives its top; the tree's rows start
# 45 pixels below it; the selected row is the one in the highlight colour.
top=$(e2e_column_runs "$shot" 3 40 780 | awk '$2 == "#C6C6C6" {print $1; exit}')
[ -n "$top" ] || e2e_fail "no header strip in the left pane"
column=$(convert "$shot" -crop "1x300+3+$(( top + 45 ))" -depth 8 txt:- | tail -n +2)
first=$(echo "$column" | awk -v t=$(( top + 45 )) '$3 != "#FFFFFF" {split($1, b, /[,:]/); print t + b[2]; exit}')
height=$(echo "$column" | awk '$3 != "#FFFFFF" {n++} END {print n + 0}')
[ -n "$first" ] && [ "$height" -ge 12 ] && [ "$height" -le 30 ] ||
  e2e_fail "no single highlighted row in the folder tree (first=$first height=$height)"
row=$(( (first - top - 45) / height ))
[ "$row" = 2 ] || e2e_fail "highlighted row is row $row, not the picture's folder (row 2)"
# List mode: the cells' frames (0,123,188) stand in the right pane's top rows;
# the picture itself was not opened (the title has no file name).
frames=$(convert "$shot" -crop "900x120+300+$(( top ))" -depth 8 txt:- | grep -c "#007BBC")
[ "$frames" -gt 100 ] || e2e_fail "the right pane does not list the pictures ($frames frame pixels)"
xdotool getwindowname "$win" | grep -qx "Tavisk看图" || e2e_fail "the picture was opened"

# Favourites: the tab, a right click in the empty tree, "添加", the chooser.
xdotool mousemove 96 $(( top + 9 )) click 1; sleep 0.6
xdotool mousemove 100 $(( top + 200 )) click 3; sleep 0.6
e2e_key Down Return
[ -n "$(e2e_wait_window "请选择文件夹")" ] || e2e_fail "添加 opened no folder chooser"
sleep 0.5
xdotool type --delay 30 "$HOME/Photos 2024"; sleep 0.3
e2e_key Return
e2e_wait_closed "请选择文件夹" || e2e_fail "the folder chooser stayed open"
sleep 1
e2e_shot "$out/leftpane-favourite.png"
# The new favourite is the tree's first row, and it is selected.
sel=$(convert "$out/leftpane-favourite.png" -crop "190x20+0+$(( top + 22 ))" -depth 8 txt:- | grep -c "#308CC6")
[ "$sel" -gt 500 ] || e2e_fail "no selected favourite in the favourites tree"
xdotool windowactivate --sync "$win" 2>/dev/null; sleep 0.3
e2e_key alt+x
for _ in $(seq 100); do kill -0 $E2E_APPPID 2>/dev/null || break; sleep 0.1; done
kill -0 $E2E_APPPID 2>/dev/null && e2e_fail "Alt+X did not end the program"
wait $E2E_APPPID; E2E_APPPID=""
sxs=$KELVRA_HOME/tree.sxs
[ -f "$sxs" ] || e2e_fail "tree.sxs was not written"
entry="[1]Photos 2024###$HOME/Photos 2024/"
want=$( { printf '\x01\x00'; printf "\\x$(printf %02x ${#entry})"; printf '%s' "$entry"; } | od -An -tx1 | tr -d ' \n')
have=$(od -An -tx1 "$sxs" | tr -d ' \n')
[ "$have" = "$want" ] || e2e_fail "tree.sxs holds $have, not the one entry $entry"

# After a restart the favourite is listed again.
"$bin" & E2E_APPPID=$!
win=$(e2e_wait_window "Tavisk看图")
[ -n "$win" ] || e2e_fail "no window after the restart"
sleep 2
xdotool mousemove 96 $(( top + 9 )) click 1; sleep 0.8
e2e_shot "$out/leftpane-restart.png"
star=$(convert "$out/leftpane-restart.png" -crop "190x40+0+$(( top + 22 ))" -depth 8 txt:- | grep -c "#F5C518")
[ "$star" -gt 3 ] || e2e_fail "the favourite is not shown after the restart"
echo "PASS: leftpane (screenshots in $out)"
