# Helpers for the end-to-end tests: a private X server with a window manager,
# the program started in it, keys typed with xdotool, screenshots with import.
set -u
e2e_fail() { echo "FAIL: $*"; exit 1; }

# e2e_start_x: starts Xvfb (and openbox when installed) on a free display.
e2e_start_x() {
  local n
  for n in $(seq 150 199); do [ -e /tmp/.X$n-lock ] || break; done
  Xvfb :$n -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  E2E_XPID=$!
  for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  export DISPLAY=:$n
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM
  E2E_WMPID=""
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & E2E_WMPID=$!; sleep 0.5; fi
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
e2e_wait_closed() {
  for _ in $(seq 200); do
    [ -z "$(xdotool search --name "^$1\$" 2>/dev/null | head -n1)" ] && return 0
    sleep 0.1
  done
  return 1
}

# e2e_key KEY...: types keys into the focused window, 0.4 s apart.
e2e_key() { for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.4; done; }

# e2e_shot FILE: a screenshot of the whole screen.
e2e_shot() { import -window root "$1"; }

# e2e_pixel FILE X Y: the colour of one pixel as "r,g,b".
e2e_pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }

# e2e_runs FILE Y X0 X1: lengths of the runs of equal colour along row Y
# between X0 and X1 (the first and last, cut by the range, are left out).
e2e_runs() {
  convert "$1" -crop "$(( $4 - $3 ))x1+$3+$2" -depth 8 txt:- | tail -n +2 |
    awk '{c=$3; if (NR>1 && c!=p) {if (started) print n; started=1; n=0} n++; p=c}'
}
