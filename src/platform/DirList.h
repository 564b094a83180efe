#pragma once
#include <string>
#include <vector>

struct DirEntry {
    std::string name; // file name without folder
    bool isDir = false;
};

// Every entry of a folder except "." and "..", sorted by name without regard
// to ASCII case (ties by the exact bytes), as the file systems the program
// was made for list them: names compare upper-cased, so "a.jpg" comes before
// "_x.jpg". Returns false, with an empty list, when the folder cannot be read.
bool ListDirectory(const std::string& folder, std::vector<DirEntry>& out);

// Case-insensitive (ASCII) comparison of two texts by their upper-cased
// bytes: <0, 0 or >0.
int CompareNoCase(const std::string& a, const std::string& b);
