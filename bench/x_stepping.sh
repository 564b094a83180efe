#!/usr/bin/env bash
# The real program under X (Xvfb, 1280 x 800, openbox), stepping through
# 8-megapixel JPEGs with numpad + while each next picture is decoded ahead:
# the time from the key to the screen changing (median), and the resident
# size against the idle program (its list shown), in 24-bit blocks of one
# picture: one picture shown alone, and after each of 29 steps.
#   bash bench/x_stepping.sh build/kelvra
set -u
bin=$(realpath "$1"); src=$(cd "$(dirname "$0")/.." && pwd)
. "$src/tests/e2e/lib.sh"
work=$(mktemp -d)
trap 'e2e_stop_x; rm -rf "$work"' EXIT
g++ -O2 -std=c++20 "$src/bench/x_step_watch.cpp" -o "$work/watch" -lX11 \
  /usr/lib/x86_64-linux-gnu/libXtst.so.6 || exit 1
w=3264; h=2448; block=$(( (w * 3 + 3) / 4 * 4 * h ))
mkdir "$work/one" "$work/thirty"
convert -size ${w}x${h} gradient:'#305080'-'#e0c090' -attenuate 0.4 +noise Gaussian \
  -quality 90 "$work/base.jpg"
for i in $(seq -w 0 29); do
  convert "$work/base.jpg" -modulate 100,100,$(( 10#$i * 6 + 40 )) -quality 90 \
    "$work/thirty/p$i.jpg" &
  [ $(( 10#$i % 2 )) = 1 ] && wait
done
wait
cp "$work/thirty/p00.jpg" "$work/one/"

rss() { awk '/^VmRSS:/ {print $2}' "/proc/$E2E_APPPID/status"; }
ratio() { awk -v a="$1" -v b="$2" -v blk="$block" 'BEGIN {printf "%.2f", (a - b) * 1024 / blk}'; }

run() { # FOLDER: starts the program on the folder's first picture's folder
  export KELVRA_HOME=$work/home-$(basename "$1"); mkdir -p "$KELVRA_HOME"
  e2e_start_x
  "$bin" "$1/p00.jpg" & E2E_APPPID=$!
  [ -n "$(e2e_wait_window "Tavisk看图")" ] || e2e_fail "no window"
  sleep 3
  idle=$(rss)
  e2e_open_picture "$1/p00.jpg"
  sleep 2
}

run "$work/one"
one=$(rss)
echo "one picture: idle $idle kB, shown $one kB: idle + $(ratio "$one" "$idle") blocks (target 1.3)"
e2e_stop_x; E2E_APPPID=

run "$work/thirty"
echo "thirty pictures: idle $idle kB, first shown $(rss) kB"
"$work/watch" KP_Add 29 1200 700 300 200 200 "$E2E_APPPID" | tee "$work/steps"
awk -v idle="$idle" -v blk="$block" '/^step/ {r = ($9 - idle) * 1024 / blk; print "step " $2 ": idle + " sprintf("%.2f", r) " blocks"; if ($2 >= 3 && r > m) m = r}
  END {printf "largest from step 3 on: idle + %.2f blocks (target 2.3)\n", m}' "$work/steps"
