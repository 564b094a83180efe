#pragma once
#include <string>
#include <vector>

// The one list of picture extensions the program knows.
extern const std::string g_strPictureExts;

// A name is a picture when its extension (after the last dot of the file name),
// upper-cased, is at least 3 characters long and occurs anywhere in
// g_strPictureExts: .jpg, .TIF (inside "TIFF") and .jpe (inside "JPEG") are
// pictures; .jp, .txt and names without a dot are not. Directories are not
// excluded by this test.
bool IsPictureFile(const std::string& name);

// The pictures of a folder as full paths (folder + "/" + name), in the order
// the folder is enumerated (case-insensitive name order). A folder that cannot
// be read gives an empty list.
std::vector<std::string> ListFolderPictures(const std::string& folder);

// Sorts texts ascending without regard to case, by repeated passes of
// neighbour swaps (a stable sort: equal texts keep their order).
void SortNoCase(std::vector<std::string>& texts);
