#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The texts that describe a picture file in the status bar and in the
// file-information sheet, and the rules of the search for a picture by name.

// The size for the status bar: "%4.1fkb" below 1024 kilobytes, else "%4.1fM".
std::string StatusSizeText(std::uint64_t bytes);
// The size for the properties page, always in kilobytes: "%4.1fkb".
std::string PropertiesSizeText(std::uint64_t bytes);
// A file time (seconds since 1970) as the calendar fields of UTC:
// "2004-03-05  09:07", two blanks between date and time.
std::string FileDateText(std::int64_t secondsSince1970);
// Panes 4 to 7 of the status bar for one picture file: its name, size,
// "JPG:3264x2448x24bit" (the upper-cased extension of the name, the picture's
// size and bits per pixel) and "修改时间:" with its modification date.
struct StatusFileTexts {
    std::string name, size, info, modified;
};
// Opens the file through the guarded opener; nullopt when it cannot be opened.
std::optional<StatusFileTexts> ReadStatusFileTexts(const std::string& path, int width, int height,
                                                   int bitsPerPixel);

// The file facts of the properties page; image size and depth come from the
// caller, who knows the shown picture.
struct FilePropertyTexts {
    std::string path, fileName, fileSize, created, modified, accessed;
};
std::optional<FilePropertyTexts> ReadFilePropertyTexts(const std::string& path);

enum class ESearchResult {
    kNothing,  // folder or name left empty: nothing happens
    kNoFolder, // "输入的路径不存在"
    kNotFound, // "没有找到:" + name
    kFound,
};
// Searches the pictures of a folder for a name. The folder must be an
// existing directory named by its full path, trailing "/" allowed; the file
// system is case-sensitive, so it is used as typed. `found` receives the
// first picture path in which the name first occurs after the path's first
// character (a folder part can match).
ESearchResult SearchPicture(const std::string& folder, const std::string& name, std::string& found);
