#include "app/Wallpaper.h"

#include "app/Settings.h"
#include "image/Codec.h"
#include "image/ResizeSave.h"
#include "platform/DirList.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"

#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace {

bool EndsWithBmp(const std::string& name) {
    return name.size() >= 4 && name.compare(name.size() - 4, 4, ".bmp") == 0;
}

// Removes every BMP file of the folder but the one to keep.
void DeleteOtherWallpapers(const std::string& folder, const std::string& keep) {
    std::vector<DirEntry> entries;
    ListDirectory(folder, entries);
    for (const DirEntry& e : entries)
        if (!e.isDir && EndsWithBmp(e.name) && folder + e.name != keep)
            DeleteFileAt(folder + e.name);
}

} // namespace

std::string GetBaseName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? std::string() : path.substr(slash + 1);
    std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

WallpaperProfile WallpaperProfileFor(EWallpaperStyle style) {
    return {"0", style == EWallpaperStyle::kTile ? "1" : "0"};
}

std::string GetWallpaperFolder() {
    return GetProgramFolder() + kWallpaperFolderName;
}

std::string WallpaperFileFor(const std::string& folder, const std::string& currentFile) {
    return folder + GetBaseName(currentFile) + ".bmp";
}

bool SetWallpaperFromPicture(const CImageBuffer& picture, const std::string& currentFile,
                             EWallpaperStyle style, int screenW, int screenH) {
    if (picture.IsEmpty())
        return false;
    const std::string folder = GetWallpaperFolder();
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        return false;
    CImageBuffer stretched;
    if (style == EWallpaperStyle::kStretch && !ResampleImage(picture, screenW, screenH, stretched))
        return false;
    const CImageBuffer& image = stretched.IsEmpty() ? picture : stretched;

    // A wallpaper in use under the same name comes back when the desktop
    // does not take the new picture. The save replaces the file only once it
    // is complete.
    const std::string file = WallpaperFileFor(folder, currentFile);
    std::optional<std::string> previous;
    if (FileExists(file)) {
        previous = ReadWholeFile(file);
        if (!previous)
            return false;
    }
    if (!SaveImageFile(image, 0, 0, image.Width(), image.Height(), file, kFormatBmp))
        return false;
    stretched.FreeBits();

    // The values the desktop settings keep for the style, in this order.
    const WallpaperProfile values = WallpaperProfileFor(style);
    const std::string ini = GetSettingsPath();
    WritePrivateProfileString(kDesktopSection, "WallpaperStyle", values.wallpaperStyle, ini);
    WritePrivateProfileString(kDesktopSection, "TileWallpaper", values.tileWallpaper, ini);

    if (!WallpaperSetter().SetWallpaper(file, style)) {
        if (previous)
            WriteFileAtomically(file, *previous);
        else
            DeleteFileAt(file);
        return false;
    }
    DeleteOtherWallpapers(folder, file);
    return true;
}
