#pragma once
#include <string>

// Where the automatic JPEG save after a flip or a turn writes the picture:
// the picture's path without the file's extension, followed by "back.jpg"
// (sun.png gives sunback.jpg in the same folder). "" for a shown picture
// without a file (deleted or moved away), which cannot be saved beside it.
std::string AutoSaveTarget(const std::string& picturePath);
