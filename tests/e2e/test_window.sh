#!/usr/bin/env bash
# The main window under X. Without a window manager it opens at two thirds of
# the screen, centred, and lists the folder of a file named on the command
# line although the folder's name is no valid UTF-8; System.ini keeps its
# bytes. Under openbox: the folder tree and the history box find that folder
# by its bytes; a greyed menu item shows its prompt; Esc brings full screen up
# whole 20 times in a row (in list and in picture mode); the full-screen button
# row stays after its buttons; a click on the favourite just added lists its
# folder, and the status panes forget the picture shown before; a right click
# on a folder-tree item selects it before its menu acts ("加入收藏夹" adds
# that folder); the history box takes Ctrl+A, Backspace, Delete, Left and End
# as an edit does, and Enter opens a typed folder or says that it does not
# exist.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_own_bus "$@"
e2e_scratch tmp
export KELVRA_HOME=$tmp/program HOME=$tmp/home LC_ALL=C.UTF-8
bad=$HOME/$'\xff'photos
mkdir -p "$KELVRA_HOME" "$bad" "$HOME/typed"
cp "$src"/samples/*.jpg "$bad/"
cp "$src"/samples/*.png "$HOME/"
cp "$src"/samples/*.png "$HOME/typed/"
e2e_start_x nowm

# No window manager: two thirds of 1280 x 800 (853 x 533) at (213, 133).
"$bin" "$bad/sunset.jpg" & E2E_APPPID=$!
win=$(e2e_wait_window "Tavisk看图")
[ -n "$win" ] || e2e_fail "no window titled Tavisk看图"
sleep 1.5
read -r x y w h <<<"$(e2e_geometry "$win")"
[ $(( (x - 213) ** 2 + (y - 133) ** 2 + (w - 853) ** 2 + (h - 533) ** 2 )) -le 64 ] ||
  e2e_fail "without a window manager the window is ${w}x${h} at ($x,$y)"
e2e_shot "$out/window-nowm.png"
frames=$(convert "$out/window-nowm.png" -crop "${w}x${h}+$x+$y" -depth 8 txt:- | grep -c "#007BBC")
[ "$frames" -gt 100 ] || e2e_fail "the folder named on the command line is not listed"
e2e_quit "$win" "$E2E_APPPID" || e2e_fail "Alt+X did not end the program cleanly"
E2E_APPPID=""
grep -qxF "Folder=$bad" <(tr -d '\r' < "$KELVRA_HOME/System.ini") ||
  e2e_fail "System.ini lacks the folder's own bytes: $(grep -a Folder= "$KELVRA_HOME/System.ini")"

e2e_start_wm
"$bin" "$bad/sunset.jpg" & E2E_APPPID=$!
win=$(e2e_wait_window "Tavisk看图")
[ -n "$win" ] || e2e_fail "no window under openbox"
e2e_wait_size "$win" "w == 1280 && h < 800" >/dev/null || e2e_fail "the window is not maximised"
sleep 1.5
# The folder tree shows the folder by its own name: its row (after "/", the
# home folder and "typed") is the selected one. The pane's header strip
# (198,198,198) gives its top; the tree's rows start 45 pixels below it.
e2e_shot "$out/window-start.png"
top=$(e2e_column_runs "$out/window-start.png" 3 40 780 | awk '$2 == "#C6C6C6" {print $1; exit}')
[ -n "$top" ] || e2e_fail "no header strip in the left pane"
selected=$(convert "$out/window-start.png" -crop "1x200+3+$(( top + 45 ))" -depth 8 txt:- |
  tail -n +2 | awk '$3 != "#FFFFFF" {split($1, p, /[,:]/); if (!n++) first = p[2]} END {print first, n}')
read -r first row <<<"$selected"
[ "${row:-0}" -ge 12 ] && [ $(( first / row )) = 3 ] ||
  e2e_fail "the tree does not select the folder named with bytes (row at $first, $row high)"
# Enter on that folder as the history box shows it opens it; nothing is refused.
xdotool mousemove 100 $(( top + 31 )) click 1; sleep 0.4
e2e_key End Return
sleep 0.6
[ -z "$(xdotool search --name "^Tavisk美图\$" 2>/dev/null)" ] || e2e_fail "the listed folder was refused"
# So is the folder picked from the box's list (F4 opens it): its two pictures
# stay listed.
e2e_key F4 Return
sleep 0.5
e2e_shot "$out/window-history.png"
frames=$(convert "$out/window-history.png" -crop "1000x200+205+$top" -depth 8 txt:- | grep -c "#007BBC")
[ "$frames" -gt 400 ] || e2e_fail "the folder picked in the history box is not listed ($frames)"
# A greyed item (nothing is shown to save) shows its prompt in pane 0 while it
# is highlighted.
e2e_key alt+f Down
/usr/bin/python3 "$(dirname "$0")/atspi_texts.py" kelvra > "$tmp/a11y.txt" 2>/dev/null ||
  e2e_fail "the program is not on the accessibility bus"
grep -qxF "保存为另一种图形文件格式" "$tmp/a11y.txt" || e2e_fail "the greyed item's prompt is not shown"
xdotool mousemove 700 500 click 1; sleep 0.4

# full_screen_runs N MODE: Esc N times into full screen and back.
full_screen_runs() {
  local i size
  for i in $(seq "$1"); do
    xdotool key Escape
    size=$(e2e_wait_size "$win" "w == 1280 && h == 800") ||
      e2e_fail "$2, run $i: full screen came up ${size}"
    sleep 0.2
    size=$(e2e_wait_size "$win" "w == 1280 && h == 800") ||
      e2e_fail "$2, run $i: full screen fell back to ${size}"
    [ "$i" = "$1" ] && e2e_shot "$out/window-full-$2.png"
    xdotool key Escape
    e2e_wait_size "$win" "w == 1280 && h < 800" >/dev/null || e2e_fail "$2, run $i: no way back"
  done
}
full_screen_runs 10 list
# The list fills the screen: its first cell's frame in the corner, its white
# background down to the opposite corner.
[ "$(e2e_pixel "$out/window-full-list.png" 0 0)" = "0,123,188" ] &&
  [ "$(e2e_pixel "$out/window-full-list.png" 1279 799)" = "255,255,255" ] ||
  e2e_fail "full screen in list mode is not drawn"
e2e_shot "$out/window-list.png"
# Open the first cell (its frame's first pixel is its corner) with a double click.
corner=$(convert "$out/window-list.png" -crop 1000x400+200+0 -depth 8 txt:- |
  grep -m1 "#007BBC" | cut -d: -f1)
[ -n "$corner" ] || e2e_fail "no list on the screen"
xdotool mousemove $(( 200 + ${corner%,*} + 35 )) $(( ${corner#*,} + 30 )) click --repeat 2 --delay 60 1
sleep 1
full_screen_runs 10 picture
centre=$(e2e_pixel "$out/window-full-picture.png" 640 400)
[ "$centre" != "0,0,0" ] && [ "$centre" != "255,255,255" ] ||
  e2e_fail "full screen in picture mode shows no picture in its middle"

# Full screen with the strip: the button row (its band the white background
# darkened to 80 %) stays after "next" and still works for "previous".
e2e_key Escape
e2e_wait_size "$win" "w == 1280 && h == 800" >/dev/null || e2e_fail "no full screen for the row"
xdotool mousemove 640 770; sleep 0.5
for button in 686 652; do
  xdotool mousemove $button 719 click 1; sleep 0.8
  e2e_shot "$out/window-row-$button.png"
  [ "$(e2e_pixel "$out/window-row-$button.png" 5 710)" = "204,204,204" ] ||
    e2e_fail "the button row is gone after the button at x=$button"
done
cmp -s "$out/window-row-686.png" "$out/window-row-652.png" && e2e_fail "the row's buttons changed nothing"
e2e_key Escape
e2e_wait_size "$win" "w == 1280 && h < 800" >/dev/null || e2e_fail "no way back from the row"

# A favourite just added through "添加" is selected; a click on it lists its
# folder (the right pane showed a picture until then).
xdotool mousemove 96 $(( top + 9 )) click 1; sleep 0.6
xdotool mousemove 100 $(( top + 200 )) click 3; sleep 0.6
e2e_key Down Return
[ -n "$(e2e_wait_window "请选择文件夹")" ] || e2e_fail "添加 opened no folder chooser"
sleep 0.5
xdotool type --delay 20 "$HOME/typed"; e2e_key Return
e2e_wait_closed "请选择文件夹" || e2e_fail "the folder chooser stayed open"
sleep 0.5
xdotool mousemove 60 $(( top + 31 )) click 1; sleep 1
e2e_shot "$out/window-favourite.png"
frames=$(convert "$out/window-favourite.png" -crop "1100x200+155+$top" -depth 8 txt:- | grep -c "#007BBC")
[ "$frames" -gt 100 ] || e2e_fail "a click on the selected favourite did not list its folder"
# The picture shown before is forgotten, and with it position, zoom and decode
# time: status panes 1 to 3 are as empty as at the start.
for shot in start favourite; do
  convert "$out/window-$shot.png" -crop 165x14+205+781 +repage "$tmp/panes-$shot.png"
done
[ "$(compare -metric AE "$tmp/panes-start.png" "$tmp/panes-favourite.png" null: 2>&1)" = 0 ] ||
  e2e_fail "status panes 1 to 3 still speak of the picture"

# The folder tree: a right click on the home folder (the second row) selects
# it, and its menu's first item adds it to the favourites ("/", selected
# before, holds no picture and would not be added).
xdotool mousemove 36 $(( top + 9 )) click 1; sleep 0.6
xdotool mousemove 60 $(( top + 45 + row / 2 )) click 1; sleep 0.8
xdotool mousemove 60 $(( top + 45 + row + row / 2 )) click 3; sleep 0.8
e2e_key Down Return

# The history box: a missing folder is refused, an existing one opened; the
# typed text is edited with the keys the accelerators leave to it.
xdotool mousemove 100 $(( top + 31 )) click 1; sleep 0.4
e2e_key ctrl+a
xdotool type --delay 20 "$HOME/missing"
e2e_key Return
[ -n "$(e2e_wait_window "Tavisk美图")" ] || e2e_fail "Enter on a missing folder said nothing"
e2e_key Return
e2e_wait_closed "Tavisk美图" || e2e_fail "the message stayed"
xdotool mousemove 100 $(( top + 31 )) click 1; sleep 0.4
e2e_key ctrl+a
xdotool type --delay 20 "$HOME/typeddQ"
e2e_key BackSpace Left Delete End Return
sleep 1
[ -z "$(xdotool search --name "^Tavisk美图\$" 2>/dev/null)" ] || e2e_fail "the typed folder was refused"
e2e_quit "$win" "$E2E_APPPID" || e2e_fail "Alt+X did not end the program cleanly"
E2E_APPPID=""
grep -qxF "Folder=$HOME/typed" <(tr -d '\r' < "$KELVRA_HOME/System.ini") ||
  e2e_fail "the typed folder was not opened: $(grep -a Folder= "$KELVRA_HOME/System.ini")"
grep -qaF "[2]home###$HOME/" "$KELVRA_HOME/tree.sxs" ||
  e2e_fail "the right-clicked folder is not a favourite: $(cat -v "$KELVRA_HOME/tree.sxs")"
echo "PASS: window (screenshots in $out)"
