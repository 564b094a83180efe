#pragma once
#include <string>

// Where the automatic JPEG save after a flip or a turn writes the picture:
// the picture's path without the file's extension, followed by "back.jpg"
// (sun.png gives sunback.jpg in the same folder).
std::string AutoSaveTarget(const std::string& picturePath);
