# Helpers for the end-to-end tests: a private X server with a window manager,
# the program started in it, keys typed with xdotool, screenshots with import.
set -u
e2e_fail() { echo "FAIL: $*"; exit 1; }

# e2e_start_x [nowm]: starts Xvfb on a free display, and openbox when it is
# installed (not with "nowm": e2e_start_wm starts it later).
e2e_start_x() {
  local n
  for n in $(seq 150 199); do [ -e /tmp/.X$n-lock ] || break; done
  Xvfb :$n -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  E2E_XPID=$!
  for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  export DISPLAY=:$n
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM
  E2E_WMPID=""
  [ "${1:-}" = nowm ] || e2e_start_wm
}

e2e_start_wm() {
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & E2E_WMPID=$!; sleep 0.5; fi
}

# e2e_scratch VAR: a new temporary folder in VAR, removed at exit after the X
# server and the program are stopped; $out is the folder for screenshots.
e2e_scratch() {
  local dir
  dir=$(mktemp -d)
  printf -v "$1" '%s' "$dir"
  out=$(dirname "$bin")/e2e-shots; mkdir -p "$out"
  trap "e2e_stop_x; rm -rf '$dir'" EXIT
}

# e2e_own_bus ARGS: runs the script again inside a session bus of its own
# (the accessibility bus, through which the tests read the screen's texts,
# needs one), unless it already runs in one; then turns accessibility on.
e2e_own_bus() {
  if [ -z "${KELVRA_E2E_BUS:-}" ]; then
    KELVRA_E2E_BUS=1 exec dbus-run-session -- bash "$0" "$@"
  fi
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# e2e_copies FOLDER N COLOUR: N pictures p00.bmp ... of one colour, 320 x 240.
e2e_copies() {
  mkdir -p "$1"
  convert -size 320x240 xc:"$3" -type TrueColor "BMP3:$1/p00.bmp"
  for i in $(seq 1 $(($2 - 1))); do cp "$1/p00.bmp" "$1/p$(printf %02d "$i").bmp"; done
}

e2e_stop_x() {
  [ -n "${E2E_APPPID:-}" ] && kill "$E2E_APPPID" 2>/dev/null
  [ -n "${E2E_WMPID:-}" ] && kill "$E2E_WMPID" 2>/dev/null
  [ -n "${E2E_XPID:-}" ] && kill "$E2E_XPID" 2>/dev/null
  wait 2>/dev/null
}

# e2e_wait_window NAME: waits up to 20 s for a window of that name; prints its id.
e2e_wait_window() {
  local id=""
  for _ in $(seq 200); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# e2e_wait_closed NAME: waits up to 20 s until no window of that name is left.
# Starts the program ("$bin") with the given arguments, waits for its window
# (its id is left in $win) and then $1 more seconds for it to settle.
e2e_launch() {
  local settle=$1; shift
  "$bin" "$@" & E2E_APPPID=$!
  win=$(e2e_wait_window "Tavisk看图")
  [ -n "$win" ] || e2e_fail "no window"
  sleep "$settle"
}
e2e_wait_closed() {
  for _ in $(seq 200); do
    [ -z "$(xdotool search --name "^$1\$" 2>/dev/null | head -n1)" ] && return 0
    sleep 0.1
  done
  return 1
}

# e2e_geometry WIN: "X Y WIDTH HEIGHT" of a window.
e2e_geometry() {
  (eval "$(xdotool getwindowgeometry --shell "$1")"; echo "$X $Y $WIDTH $HEIGHT")
}

# e2e_wait_size WIN COND: waits up to 5 s until the window's width w and
# height h meet COND, an awk condition ("w == 1280 && h == 800"); prints the
# size last seen as WxH and fails when COND never held.
e2e_wait_size() {
  local size
  for _ in $(seq 50); do
    size=$(e2e_geometry "$1" | awk '{print $3 "x" $4}')
    awk -v s="$size" "BEGIN {split(s, a, \"x\"); w = a[1]; h = a[2]; exit !($2)}" &&
      { echo "$size"; return 0; }
    sleep 0.1
  done
  echo "$size"
  return 1
}

# e2e_quit WIN PID: Alt+X in the window; fails unless the program then ends
# with exit code 0.
e2e_quit() {
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
  sleep 0.3
  e2e_key alt+x
  for _ in $(seq 100); do kill -0 "$2" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$2" 2>/dev/null && return 1
  wait "$2"
}

# e2e_key KEY...: types keys into the focused window, 0.4 s apart.
e2e_key() { for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.4; done; }

# e2e_shot FILE: a screenshot of the whole screen.
e2e_shot() { import -window root "$1"; }

# Opens a picture the way a user does: Ctrl+O, its path typed into the file
# dialog, Enter; waits until the dialog has gone and the picture is shown.
e2e_open_picture() {
  e2e_key ctrl+o
  [ -n "$(e2e_wait_window "打开")" ] || e2e_fail "Ctrl+O opened no file dialog"
  sleep 0.5
  xdotool type --delay 15 "$1"; e2e_key Return
  e2e_wait_closed "打开" || e2e_fail "the file dialog stayed open"
  sleep 1
}

# e2e_pixel FILE X Y: the colour of one pixel as "r,g,b".
e2e_pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }

# e2e_column_runs FILE X Y0 Y1: "y colour" at each change of colour down column X.
e2e_column_runs() {
  convert "$1" -crop "1x$(( $4 - $3 ))+$2+$3" -depth 8 txt:- | tail -n +2 |
    awk -v y0="$3" '{c=$3; if (c!=p) print y0 + NR - 1, c; p=c}'
}

# e2e_runs FILE Y X0 X1: lengths of the runs of equal colour along row Y
# between X0 and X1 (the first and last, cut by the range, are left out).
e2e_runs() {
  convert "$1" -crop "$(( $4 - $3 ))x1+$3+$2" -depth 8 txt:- | tail -n +2 |
    awk '{c=$3; if (NR>1 && c!=p) {if (started) print n; started=1; n=0} n++; p=c}'
}

# e2e_list_cells FILE: finds the list's first picture box (the first 71-pixel
# run of the frame colour) and prints "X Y" of its corner, then one letter per
# cell in list order: T (the thumbnail colour #ff00ff in the box), P (the
# placeholder's badge), ? (other).
e2e_list_cells() {
  convert "$1" -depth 8 ppm:- | python3 -c '
import sys
data = sys.stdin.buffer.read()
parts = data.split(maxsplit=4)
w, h = int(parts[1]), int(parts[2])
px = parts[4]
def at(x, y):
    i = 3 * (y * w + x)
    return tuple(px[i:i + 3])
frame = (0, 123, 188)
ox = oy = None
for y in range(h):
    run = 0
    for x in range(w):
        run = run + 1 if at(x, y) == frame else 0
        if run == 71:
            ox, oy = x - 70, y
            break
    if ox is not None:
        break
if ox is None:
    print("none"); sys.exit(0)
letters = []
for r in range(8):
    for c in range(20):
        x, y = ox + 84 * c, oy + 80 * r
        if x + 71 > w or y + 61 > h or at(x, y) != frame or at(x + 70, y + 60) != frame:
            continue
        box = at(x + 35, y + 30)
        badge = at(x + 18, y + 22)
        letters.append("T" if box == (255, 0, 255) else "P" if badge == (12, 131, 156) else "?")
print(ox, oy, "".join(letters))
'
}
