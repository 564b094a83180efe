#!/usr/bin/env bash
# The installed program: `cmake --install` lays out the program, desktop entry,
# icons, metainfo and help page, which the desktop's validators accept; the
# entry offers Kelvra for every picture type the codec reads. The program is
# then started the way a file manager's "Open with" does, from the entry's
# Exec line with a picture: it shows that picture's folder and keeps its files
# in the user's own data folder. F1 and the help menu hand the help page, the
# README and the mail link to the desktop's opener, without waiting for a
# handler that stays open; the opener's failure and a missing help page give
# the "Open Failed " message.
bin=$1; src=$2
. "$(dirname "$0")/lib.sh"
e2e_own_bus "$@"
e2e_scratch tmp
p=$tmp/prefix
cmake --install "$(dirname "$bin")" --prefix "$p" >/dev/null || e2e_fail "cmake --install failed"

entry=$p/share/applications/kelvra.desktop
for f in bin/kelvra share/kelvra/help.html share/kelvra/README.md share/doc/kelvra/copyright \
         share/metainfo/invalid.kelvra.Kelvra.metainfo.xml; do
  [ -s "$p/$f" ] || e2e_fail "not installed: $f"
done
for n in 16 22 24 32 48 64 128 256; do
  icon=$p/share/icons/hicolor/${n}x$n/apps/kelvra.png
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${n}x$n" ] || e2e_fail "no ${n}px icon"
done
desktop-file-validate "$entry" || e2e_fail "desktop-file-validate rejects the entry"
appstreamcli validate --no-net "$p"/share/metainfo/*.xml >"$tmp/as.txt" ||
  { cat "$tmp/as.txt"; e2e_fail "appstreamcli rejects the metainfo"; }
for want in "Name=Kelvra" "Name[zh_CN]=Tavisk看图" "Icon=kelvra" "Exec=kelvra %f"; do
  grep -qxF "$want" "$entry" || e2e_fail "the desktop entry lacks $want"
done
grep -q '<h1>Tavisk看图 帮助</h1>' "$p/share/kelvra/help.html" || e2e_fail "help page not Chinese"
# Every extension FreeImage reads whose type (in the desktop's type database)
# is a picture type is offered; every type offered is a known one.
python3 - "$entry" <<'PY' || e2e_fail "the entry's MimeType list does not match the codec"
import ctypes, sys
fi = ctypes.CDLL("libfreeimage.so.3")
fi.FreeImage_GetFIFExtensionList.restype = ctypes.c_char_p
listed = next(l for l in open(sys.argv[1]) if l.startswith("MimeType="))[9:].strip().split(";")
type_of = {}
for line in open("/usr/share/mime/globs2"):
    if not line.startswith("#"):
        type_of.setdefault(line.split(":")[2].strip(), line.split(":")[1])  # heaviest first
wanted = set()
for fif in range(fi.FreeImage_GetFIFCount()):
    if fi.FreeImage_FIFSupportsReading(fif):
        for ext in fi.FreeImage_GetFIFExtensionList(fif).decode().split(","):
            if type_of.get("*." + ext, "").startswith("image/"):
                wanted.add(type_of["*." + ext])
known = {line.strip() for line in open("/usr/share/mime/types")}
bad = sorted(wanted - set(listed)) + sorted(set(listed) - known - {""})
if bad:
    print("not offered or unknown:", bad)
sys.exit(1 if bad or len(wanted) < 30 else 0)
PY

# A user of the installed program. Run by root, its data folder variable
# points into another user's folder, which must be left alone.
export HOME=$tmp/home; unset XDG_DATA_HOME KELVRA_HOME
mkdir -p "$HOME" "$tmp/opener" "$tmp/相册 2024" "$tmp/theirs"
if [ "$(id -u)" = 0 ]; then chown 65534:65534 "$tmp/theirs"; export XDG_DATA_HOME=$tmp/theirs; fi
# The desktop's opener notes what it was asked to open, then does what the
# file "then" says (exit 3: no program for the type; sleep: a handler that
# keeps it waiting).
cat > "$tmp/opener/xdg-open" <<SH
#!/bin/sh
exec >/dev/null 2>&1
then=\$(cat "$tmp/then" 2>/dev/null)
printf '%s\n' "\$1" >> "$tmp/opened"
eval "\$then"
SH
chmod +x "$tmp/opener/xdg-open"
export PATH=$p/bin:$tmp/opener:$PATH
picture="$tmp/相册 2024/sunset.jpg"
cp "$src/samples/sunset.jpg" "$picture"
# "Open with": the Exec line, %f replaced by the one picture.
read -ra cmd <<< "$(sed -n 's/^Exec=//p' "$entry")"
for i in "${!cmd[@]}"; do [ "${cmd[$i]}" = "%f" ] && cmd[$i]=$picture; done

e2e_start_x
"${cmd[@]}" & E2E_APPPID=$!
win=$(e2e_wait_window "Tavisk看图")
[ -n "$win" ] || e2e_fail "the installed program shows no window"
sleep 1
xdotool windowactivate --sync "$win" 2>/dev/null; xdotool windowfocus "$win"; sleep 0.3

# opened_line N: waits up to 10 s for the opener's Nth target; prints it.
opened_line() {
  for _ in $(seq 100); do
    [ "$(wc -l < "$tmp/opened" 2>/dev/null || echo 0)" -ge "$1" ] && break
    sleep 0.1
  done
  sed -n "${1}p" "$tmp/opened" 2>/dev/null
}
# expect_open_failed TEXT: the message box shows TEXT; closes it.
expect_open_failed() {
  local box
  box=$(e2e_wait_window "Open Failed ")
  [ -n "$box" ] || e2e_fail "no \"Open Failed \" message for $1"
  /usr/bin/python3 "$(dirname "$0")/atspi_texts.py" kelvra > "$tmp/a11y.txt" 2>/dev/null
  grep -qxF "$1" "$tmp/a11y.txt" || e2e_fail "the message is not: $1"
  e2e_shot "$out/install-open-failed.png"
  xdotool windowactivate --sync "$box" 2>/dev/null; e2e_key Return
  e2e_wait_closed "Open Failed " || e2e_fail "the message did not close"
  xdotool windowactivate --sync "$win" 2>/dev/null; xdotool windowfocus "$win"; sleep 0.3
}
echo "sleep 20" > "$tmp/then"
e2e_key F1
[ "$(opened_line 1)" = "$p/share/kelvra/help.html" ] || e2e_fail "F1 opened '$(opened_line 1)'"
rm "$tmp/then"
e2e_key alt+h Return # 主页, while the help page's handler is still open
[ "$(opened_line 2)" = "$p/share/kelvra/README.md" ] || e2e_fail "主页 opened '$(opened_line 2)'"
e2e_key alt+h Down Return # 联系
[ "$(opened_line 3)" = "mailto:?subject=%E8%81%94%E7%B3%BB%E4%BD%9C%E8%80%85" ] ||
  e2e_fail "联系 opened '$(opened_line 3)'"

echo "exit 3" > "$tmp/then"
e2e_key F1
expect_open_failed "Failed to run \"$p/share/kelvra/help.html\", Error: 3"
rm "$p/share/kelvra/help.html"
e2e_key F1
expect_open_failed "Failed to run \"$p/share/kelvra/help.html\", Error: 2"
[ "$(wc -l < "$tmp/opened")" = 4 ] || e2e_fail "a missing page was handed to the opener"

e2e_key alt+x
for _ in $(seq 100); do kill -0 $E2E_APPPID 2>/dev/null || break; sleep 0.1; done
wait $E2E_APPPID; rc=$?; E2E_APPPID=""
[ $rc = 0 ] || e2e_fail "exit code $rc"
ini=$HOME/.local/share/kelvra/System.ini
[ -f "$ini" ] || e2e_fail "System.ini is not in the user's data folder"
tr -d '\r' < "$ini" | grep -qxF "Folder=$tmp/相册 2024" || e2e_fail "the picture's folder was not shown"
[ "$(ls "$p/bin")" = kelvra ] || e2e_fail "the program wrote into its bin folder: $(ls "$p/bin")"
[ -z "$(ls -A "$tmp/theirs")" ] || e2e_fail "the program wrote into another user's folder"
echo "PASS: install (screenshot $out/install-open-failed.png)"
