#pragma once
#include "image/ImageBuffer.h"
#include "platform/WallpaperSetter.h"

#include <string>

// The wallpaper of a plain X window manager: the root window's background.

// The picture the screen shows, screenW x screenH: the picture tiled from
// the top left corner, centred on black (a larger picture shows its middle),
// or stretched over the whole screen (the resampler of the resize command).
// False when a size is not positive, the picture is empty, or memory cannot
// be had.
bool ComposeWallpaper(const CImageBuffer& picture, int screenW, int screenH, EWallpaperStyle style,
                      CImageBuffer& out);

// Paints the picture file over the root window of the X display ($DISPLAY)
// as ComposeWallpaper lays it out for the display's size, and keeps it there
// after the program ends, announced through _XROOTPMAP_ID and
// ESETROOT_PMAP_ID as other root setters do; the picture a previous setter of
// that kind left is freed. False when the display cannot be opened, its
// visual has no red, green and blue masks, or the file cannot be read.
bool SetRootWallpaper(const std::string& path, EWallpaperStyle style);
