#pragma once
#include "image/ImageBuffer.h"
#include "platform/WallpaperSetter.h"

#include <string>

// The wallpaper commands: the shown picture becomes the desktop's wallpaper,
// tiled, centred or stretched. The picture is written as a 24-bit BMP file
// into the folder "Wallpapers/" of the program folder and stays there while
// it is the wallpaper (desktops read it again at the next login); the folder
// holds only the latest one. The two values the desktop settings keep for
// the style go into the program's profile, section "desktop" of System.ini.

constexpr const char* kWallpaperFolderName = "Wallpapers/";
constexpr const char* kDesktopSection = "desktop";

// The text after the last "/" (empty when there is none), without the part
// from its last dot on: "/a/b.c.jpg" gives "b.c".
std::string GetBaseName(const std::string& path);

// The profile values of a style: "WallpaperStyle" is "0" for every style,
// "TileWallpaper" "1" for tiling and "0" otherwise.
struct WallpaperProfile {
    std::string wallpaperStyle, tileWallpaper;
};
WallpaperProfile WallpaperProfileFor(EWallpaperStyle style);

// Program folder + "Wallpapers/".
std::string GetWallpaperFolder();
// The wallpaper file for the current file: folder + GetBaseName + ".bmp".
std::string WallpaperFileFor(const std::string& folder, const std::string& currentFile);

// The whole command: writes the picture (stretched: resampled to
// screenW x screenH first) to the wallpaper file of currentFile, writes the
// style's profile values, and hands the file to the wallpaper setter. Once
// the desktop took it, every other BMP file of the folder (the wallpaper it
// replaces) is deleted; when it did not, a file that was not there before is
// deleted again. False when the folder or the file cannot be made, the
// picture is empty, or the setter failed.
bool SetWallpaperFromPicture(const CImageBuffer& picture, const std::string& currentFile,
                             EWallpaperStyle style, int screenW, int screenH);
