#pragma once
#include <string>

// The folder that holds the program's own files (System.ini, tree.sxs,
// imggps.gpd, the thumbnail cache ...). The result always ends with "/".
//  - KELVRA_HOME, when set, names it.
//  - An installed program keeps them per user, in $XDG_DATA_HOME/kelvra
//    (by default ~/.local/share/kelvra), created when missing; see
//    GetUserDataFolder.
//  - The program run from its build tree keeps them beside its executable.
std::string GetProgramFolder();
// The same rule for the executable at exePath (tests).
std::string ProgramFolderFor(const std::string& exePath);

// The folder of the files shipped with the program (the help page and the
// README): <prefix>/share/kelvra/ for an installed program, the folder of the
// executable in the build tree. Ends with "/".
std::string GetDataFolder();
std::string DataFolderFor(const std::string& exePath);

// Whether the executable at exePath is an installed one: it lies in a folder
// "bin" whose sibling "share/kelvra" is a folder (<prefix>/bin/kelvra beside
// <prefix>/share/kelvra/, as the install step lays them out).
bool IsInstalledExecutable(const std::string& exePath);

// The per-user folder of an installed program: "kelvra" under the first of
// $XDG_DATA_HOME, $HOME/.local/share and the home folder of the user's
// account that belongs to the user running the program (a folder that does
// not exist yet counts by its nearest existing parent). So root running the
// program with another user's HOME never writes into that user's files. The
// folder is created (mode 0700) when missing. Ends with "/".
std::string GetUserDataFolder();

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
