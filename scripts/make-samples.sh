#!/usr/bin/env bash
# Draws the sample pictures shipped in samples/ (run by hand; the files are
# kept in the repository). Needs ImageMagick and exiftool.
set -euo pipefail
cd "$(dirname "$0")/../samples"
rm -f ./*.jpg ./*.png ./*.gif ./*.bmp ./*.tif
# A sunset over hills, 1600 x 1200 JPEG.
convert -size 1600x1200 gradient:'#ff9a3c-#3b1f5c' \
  -fill '#ffd36e' -draw 'circle 800,700 800,560' \
  -fill '#1d3b2a' -draw 'polygon 0,1200 0,900 300,760 620,920 900,800 1250,950 1600,820 1600,1200' \
  -quality 90 sunset.jpg
# A PNG with a real alpha channel: a soft disc on transparency.
convert -size 640x480 xc:none -fill 'rgba(40,120,220,0.85)' -draw 'circle 320,240 320,40' \
  -fill 'rgba(255,255,255,0.6)' -draw 'circle 260,180 260,130' PNG32:bubble.png
# An 8-bit GIF with a 16-colour palette: a checker board.
convert -size 400x300 pattern:checkerboard -scale 400x300 -fill '#c0392b' \
  -draw 'rectangle 100,75 300,225' -colors 16 checker.gif
# A 24-bit BMP: colour bars, 333 pixels wide so rows need padding.
convert -size 333x200 xc:white \
  -fill red -draw 'rectangle 0,0 47,199' -fill orange -draw 'rectangle 48,0 95,199' \
  -fill yellow -draw 'rectangle 96,0 142,199' -fill green -draw 'rectangle 143,0 190,199' \
  -fill blue -draw 'rectangle 191,0 237,199' -fill indigo -draw 'rectangle 238,0 285,199' \
  -fill violet -draw 'rectangle 286,0 332,199' -type TrueColor BMP3:bars.bmp
# A TIFF: a radial gradient.
convert -size 500x500 radial-gradient:'#f7f3e3-#2a6f97' -depth 8 -compress lzw rings.tif
# A camera-like JPEG with EXIF and a GPS position.
convert -size 1200x900 gradient:'#87ceeb-#f5f5dc' -fill '#556b2f' \
  -draw 'polygon 0,900 0,600 400,500 800,650 1200,550 1200,900' -quality 88 harbour.jpg
exiftool -q -overwrite_original \
  -Make='Kelvra Optics' -Model='KV-100' -DateTimeOriginal='2024:05:18 14:32:07' \
  -ExposureTime=1/250 -FNumber=8 -ISO=100 -FocalLength=35 -Orientation#=1 \
  -XResolution=72 -YResolution=72 -ResolutionUnit=inches \
  -GPSLatitude=31.2304 -GPSLatitudeRef=N -GPSLongitude=121.4737 -GPSLongitudeRef=E \
  -GPSAltitude=12 -GPSAltitudeRef=0 harbour.jpg
ls -l
