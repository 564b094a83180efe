#!/usr/bin/env bash
# The program starts under X with a picture on its command line, shows its
# frame with caption, menu, tool bar and status bar, ends with Alt+X and has
# then written System.ini.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_own_bus "$@"
e2e_scratch home
export KELVRA_HOME=$home
e2e_start_x
"$bin" "$src/samples/sunset.jpg" & E2E_APPPID=$!
win=$(e2e_wait_window "Tavisk看图")
[ -n "$win" ] || e2e_fail "no window titled Tavisk看图"
sleep 1.5
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" -ge 1200 ] || e2e_fail "window not maximised: ${WIDTH}x${HEIGHT}"
e2e_shot "$out/smoke-start.png"
# The right pane is painted in the right-pane colour (white without System.ini);
# the menu bar and tool bar carry drawn text and icons (dark pixels).
[ "$(e2e_pixel "$out/smoke-start.png" 900 400)" = "255,255,255" ] || e2e_fail "right pane not white"
top=$(convert "$out/smoke-start.png" -crop 400x60+0+0 -colorspace gray -format '%[fx:minima]' info:)
awk "BEGIN{exit !($top < 0.3)}" || e2e_fail "menu bar and tool bar look empty"
# What a screen reader reads: the caption, the idle prompt and the two painted
# labels of the status bar.
/usr/bin/python3 "$(dirname "$0")/atspi_texts.py" kelvra > "$home/a11y.txt" 2>/dev/null ||
  e2e_fail "the program is not on the accessibility bus"
for want in "Tavisk看图" "就绪" "缩略图" "鸟瞰图"; do
  grep -qxF "$want" "$home/a11y.txt" || e2e_fail "assistive technologies cannot read $want"
done
xdotool windowactivate --sync "$win" 2>/dev/null; xdotool windowfocus "$win"; sleep 0.3
e2e_key alt+x
for _ in $(seq 100); do kill -0 $E2E_APPPID 2>/dev/null || break; sleep 0.1; done
kill -0 $E2E_APPPID 2>/dev/null && e2e_fail "Alt+X did not end the program"
wait $E2E_APPPID; rc=$?; E2E_APPPID=""
[ $rc = 0 ] || e2e_fail "exit code $rc"
ini=$home/System.ini
[ -f "$ini" ] || e2e_fail "System.ini was not written"
tr -d '\r' < "$ini" > "$home/ini.txt"
for want in "[RightBackColor]" "Red=255" "[TumCrIndiColor]" "Blue=188" "[TumSize]" "Cx=80" \
            "[AddTreeWndImgfile]" "mAdd=0" "mDelete=1" "mSave=0" "mLastSee=0" \
            "Folder=$src/samples"; do
  grep -qxF "$want" "$home/ini.txt" || e2e_fail "System.ini lacks $want"
done
echo "PASS: smoke (screenshot $out/smoke-start.png)"
