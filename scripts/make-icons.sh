#!/usr/bin/env bash
# Draws the program's own tool-bar and window icons into res/icons and the
# program's icon into res/hicolor (run by hand after changing a drawing; the
# PNG files are kept in the repository).
set -euo pipefail
cd "$(dirname "$0")/../res/icons"
icon() { # name, then ImageMagick draw arguments
  local name=$1; shift
  convert -size 24x23 xc:none -strokewidth 2 "$@" "PNG32:$name.png"
}
blue='#1f5fa8'; green='#2e8b3a'; red='#c0392b'; grey='#555555'
icon leftpane -fill none -stroke $grey -draw 'rectangle 2,3 21,19' -fill $blue -stroke none -draw 'rectangle 3,4 8,18'
icon save -fill $blue -stroke none -draw 'rectangle 3,2 20,20' -fill white -draw 'rectangle 6,3 17,9' -fill '#dddddd' -draw 'rectangle 7,13 16,19'
icon move -fill none -stroke $green -draw 'line 3,11 18,11' -draw 'line 13,6 19,11' -draw 'line 13,16 19,11'
icon rename -fill none -stroke $grey -draw 'rectangle 2,7 21,15' -stroke $blue -draw 'line 6,5 6,17' -draw 'line 4,5 8,5' -draw 'line 4,17 8,17'
icon delete -fill none -stroke $red -strokewidth 3 -draw 'line 5,4 18,18' -draw 'line 18,4 5,18'
icon search -fill none -stroke $grey -draw 'circle 10,9 10,3' -strokewidth 3 -draw 'line 14,13 20,20'
icon reload -fill none -stroke $green -draw 'arc 4,3 19,19 30,330' -fill $green -stroke none -draw 'polygon 15,2 21,6 15,10'
icon rotleft -fill none -stroke $blue -draw 'arc 5,4 19,19 180,450' -fill $blue -stroke none -draw 'polygon 1,11 9,11 5,16'
icon rotright -fill none -stroke $blue -draw 'arc 4,4 18,19 90,360' -fill $blue -stroke none -draw 'polygon 14,11 22,11 18,16'
icon zoomin -fill none -stroke $grey -draw 'circle 10,9 10,3' -strokewidth 3 -draw 'line 14,13 20,20' -strokewidth 2 -stroke $blue -draw 'line 7,9 13,9' -draw 'line 10,6 10,12'
icon zoomout -fill none -stroke $grey -draw 'circle 10,9 10,3' -strokewidth 3 -draw 'line 14,13 20,20' -strokewidth 2 -stroke $blue -draw 'line 7,9 13,9'
icon actual -fill none -stroke $grey -draw 'rectangle 2,3 21,19' -stroke $blue -draw 'line 7,7 7,16' -draw 'line 16,7 16,16' -fill $blue -stroke none -draw 'rectangle 11,8 12,9' -draw 'rectangle 11,13 12,14'
icon prev -fill $blue -stroke none -draw 'polygon 16,3 5,11 16,19'
icon next -fill $blue -stroke none -draw 'polygon 7,3 18,11 7,19'
icon slides -fill none -stroke $grey -draw 'rectangle 2,3 21,19' -fill $green -stroke none -draw 'polygon 9,7 16,11 9,15'
icon properties -fill none -stroke $grey -draw 'rectangle 4,2 19,20' -stroke $blue -draw 'line 7,7 16,7' -draw 'line 7,11 16,11' -draw 'line 7,15 13,15'
icon about -fill $blue -stroke none -draw 'circle 11,11 11,2' -fill white -draw 'rectangle 10,9 12,16' -draw 'rectangle 10,5 12,7'
# The program's icon, drawn on a 32 x 32 grid and scaled to each size: the
# window icon, and the copies in res/hicolor that the install step puts into
# the desktop's icon theme.
app_icon() { # size, file
  local s o
  s=$(awk "BEGIN{print $1/32}"); o=$(awk "BEGIN{print ($1/32-1)/2}")
  convert -size "$1x$1" xc:none -draw "affine $s,0,0,$s,$o,$o \
    fill '#1f5fa8' roundrectangle 1,3 30,28 4,4 fill '#f2c14e' circle 10,11 10,8 \
    fill '#2e8b3a' polygon 3,26 12,15 18,22 22,18 29,26" "PNG32:$2"
}
app_icon 32 kelvra.png
for n in 16 22 24 32 48 64 128 256; do
  mkdir -p "../hicolor/${n}x$n/apps"
  app_icon "$n" "../hicolor/${n}x$n/apps/kelvra.png"
done
