#pragma once
#include <string>

// The folder that holds the program's own files (System.ini, tree.sxs, the
// thumbnail cache ...). It is the folder of the running executable; the
// environment variable KELVRA_HOME overrides it. The result always ends with "/".
std::string GetProgramFolder();

// The platform's longest path, used wherever a path buffer is sized.
constexpr std::size_t kMaxPath = 4096;

// Makes a path absolute against the current directory; "" stays "".
std::string MakeAbsolutePath(const std::string& path);

// Text after the last "/" (the whole text when there is none).
std::string FileNameOf(const std::string& path);
// Text up to and including the last "/" ("" when there is none).
std::string FolderOf(const std::string& path);
// Appends "/" unless the text already ends with one (an empty text stays empty).
std::string WithTrailingSlash(const std::string& folder);
