#include "library/FileNaming.h"

#include "library/FolderTree.h"
#include "platform/ProgramFolder.h"

namespace {

// The extension of a file name from its last "." on, dot included.
std::string ExtensionOf(const std::string& name) {
    std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

// The new base name of one file: description and number joined as the
// position says.
std::string BatchBaseName(const std::string& desc, int position, const std::string& number) {
    switch (position) {
    case kNumberAfter:
        return desc + number;
    case kNumberMiddle: {
        std::size_t star = desc.find('*');
        if (star == std::string::npos)
            return number + desc;
        return desc.substr(0, star) + number + desc.substr(star + 1);
    }
    default:
        return number + desc;
    }
}

} // namespace

RenameParts SplitRenamePath(const std::string& path) {
    RenameParts parts;
    std::size_t slash = path.find_last_of('/');
    parts.folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    std::string name = FileNameOf(path);
    parts.ext = ExtensionOf(name);
    parts.base = name.substr(0, name.size() - parts.ext.size());
    return parts;
}

bool IsUsableFileName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string RenameTargetPath(const std::string& path, const std::string& typed) {
    if (!IsUsableFileName(typed))
        return {};
    RenameParts parts = SplitRenamePath(path);
    return parts.folder + "/" + typed + parts.ext;
}

std::string MoveBaseName(const std::string& typed) {
    std::size_t dot = typed.find('.');
    return dot == std::string::npos || dot == 0 ? typed : typed.substr(0, dot);
}

std::string MoveTargetPath(const std::string& source, const std::string& folder,
                           const std::string& typed) {
    std::string ext = ExtensionOf(FileNameOf(source));
    return WithTrailingSlash(folder) + MoveBaseName(typed) + ext;
}

std::string FormatSerialNumber(int n, int width) {
    if (width < 1 || width > 10)
        return {};
    std::string digits = std::to_string(n);
    if (digits.size() < static_cast<std::size_t>(width))
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
}

int DecimalDigits(int count) {
    int digits = 1;
    for (long long limit = 10; count >= limit; limit *= 10)
        ++digits;
    return digits;
}

std::vector<BatchStep> PlanBatchRename(const std::vector<BatchItem>& items, int count,
                                       const std::string& desc, int position) {
    std::vector<BatchStep> steps;
    if (count < 1)
        return steps;
    const int width = DecimalDigits(count);
    int number = 1;
    for (std::size_t i = 0; i < items.size() && number <= count; ++i) {
        if (items[i].cls != kTreeImageFile)
            continue; // only pictures use numbers
        BatchStep step;
        step.item = i;
        step.oldPath = items[i].path;
        step.base = BatchBaseName(desc, position, FormatSerialNumber(number++, width));
        if (!IsUsableFileName(step.base))
            continue; // a "/" in the description would move the file
        RenameParts parts = SplitRenamePath(step.oldPath);
        step.newPath = parts.folder + "/" + step.base + parts.ext;
        steps.push_back(std::move(step));
    }
    return steps;
}
