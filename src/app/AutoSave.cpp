#include "app/AutoSave.h"

std::string AutoSaveTarget(const std::string& picturePath) {
    if (picturePath.empty())
        return {};
    const std::size_t slash = picturePath.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = picturePath.find_last_of('.');
    const bool hasExt = dot != std::string::npos && dot >= nameStart;
    return picturePath.substr(0, hasExt ? dot : std::string::npos) + "back.jpg";
}
