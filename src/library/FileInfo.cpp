#include "library/FileInfo.h"

#include "app/PictureFiles.h"
#include "platform/FileOps.h"
#include "platform/ProgramFolder.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace {

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string ImageInfoText(const std::string& path, int width, int height, int bitsPerPixel) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.find_last_of('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    char text[64];
    std::snprintf(text, sizeof text, ":%dx%dx%dbit", width, height, bitsPerPixel);
    return ext + text;
}

bool SearchFolderExists(const std::string& folder) {
    // Only a full path names a folder: the working directory means nothing here.
    return !folder.empty() && folder.front() == '/' && DirectoryExists(folder);
}

std::string FindSearchMatch(const std::vector<std::string>& paths, const std::string& name) {
    for (const std::string& path : paths) {
        const std::size_t at = path.find(name);
        if (at != std::string::npos && at > 0)
            return path;
    }
    return {};
}

} // namespace

std::string StatusSizeText(std::uint64_t bytes) {
    const double kb = static_cast<double>(bytes) / 1024.0;
    return kb < 1024.0 ? Format("%4.1fkb", kb) : Format("%4.1fM", kb / 1024.0);
}

std::string PropertiesSizeText(std::uint64_t bytes) {
    return Format("%4.1fkb", static_cast<double>(bytes) / 1024.0);
}

std::string FileDateText(std::int64_t secondsSince1970) {
    const UtcTime t = ToUtc(secondsSince1970);
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d  %02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute);
    return text;
}

std::optional<StatusFileTexts> ReadStatusFileTexts(const std::string& path, int width, int height,
                                                   int bitsPerPixel) {
    CFileHandle file = OpenRegularFile(path);
    std::optional<FileFacts> facts = file ? GetOpenFileFacts(file.Fd()) : std::nullopt;
    if (!facts)
        return std::nullopt;
    return StatusFileTexts{FileNameOf(path), StatusSizeText(facts->size),
                           ImageInfoText(path, width, height, bitsPerPixel),
                           "修改时间:" + FileDateText(facts->modified)};
}

std::optional<FilePropertyTexts> ReadFilePropertyTexts(const std::string& path) {
    CFileHandle file = OpenRegularFile(path);
    std::optional<FileFacts> facts = file ? GetOpenFileFacts(file.Fd()) : std::nullopt;
    if (!facts)
        return std::nullopt;
    return FilePropertyTexts{path,
                             FileNameOf(path),
                             PropertiesSizeText(facts->size),
                             FileDateText(facts->created),
                             FileDateText(facts->modified),
                             FileDateText(facts->accessed)};
}

ESearchResult SearchPicture(const std::string& folder, const std::string& name,
                            std::string& found) {
    found.clear();
    if (folder.size() < 2 || name.empty())
        return ESearchResult::kNothing;
    if (!SearchFolderExists(folder))
        return ESearchResult::kNoFolder;
    // "/photos//" lists as "/photos": the paths found carry one "/" each.
    std::string listed = folder;
    while (listed.size() > 1 && listed.back() == '/')
        listed.pop_back();
    found = FindSearchMatch(ListFolderPictures(listed), name);
    return found.size() < 2 ? ESearchResult::kNotFound : ESearchResult::kFound;
}
