#include "app/PictureFiles.h"

#include "platform/DirList.h"
#include "platform/ProgramFolder.h"

#include <algorithm>

const std::string g_strPictureExts = "AWD;BMP;DIB;GIF;GIF;IMG;JPG;JP2;JPEG;JPEG24;MAC;MNG;PCD;PCX;"
                                     "PNG;PNM;ICON;ICO;PPM;PSD;SGI;TGA;TIFF;TIFF24;VDA;VITF;PTIF;";

bool IsPictureFile(const std::string& name) {
    std::string file = FileNameOf(name);
    std::size_t dot = file.find_last_of('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = file.substr(dot + 1);
    if (ext.size() < 3)
        return false;
    for (char& c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return g_strPictureExts.find(ext) != std::string::npos;
}

std::vector<std::string> ListFolderPictures(const std::string& folder) {
    std::vector<std::string> out;
    std::vector<DirEntry> entries;
    if (!ListDirectory(folder, entries))
        return out;
    std::string prefix = WithTrailingSlash(folder);
    for (const DirEntry& e : entries)
        if (IsPictureFile(e.name))
            out.push_back(prefix + e.name);
    return out;
}

void SortNoCase(std::vector<std::string>& texts) {
    // The outcome of the neighbour-swap passes is exactly a stable sort.
    std::stable_sort(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) {
        return CompareNoCase(a, b) < 0;
    });
}
