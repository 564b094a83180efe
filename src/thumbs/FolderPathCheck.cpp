#include "thumbs/FolderPathCheck.h"

#include "platform/FileOps.h"
#include "platform/PlatformUi.h"
#include "platform/ProgramFolder.h"

#include <climits>
#include <sys/stat.h>
#include <vector>

namespace {

// The components of an absolute path, empty ones included ("/a//b/" gives
// "a", "", "b", "").
std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 1;
    for (;;) {
        std::size_t slash = path.find('/', start);
        parts.push_back(path.substr(start, slash - start));
        if (slash == std::string::npos)
            return parts;
        start = slash + 1;
    }
}

bool IsEdgeChar(char c) {
    return c == '\t' || c == ' ' || c == '.';
}

} // namespace

bool IsValidFolderName(const std::string& name) {
    if (name.empty() || name.size() > NAME_MAX || IsEdgeChar(name.front()) ||
        IsEdgeChar(name.back()))
        return false;
    return name.find_first_of(std::string("\"*/:<>?\\|\0", 10)) == std::string::npos;
}

EFolderPathCode TestFolderPath(const std::string& path) {
    if (path.empty() || path.front() != '/' || path.size() >= kMaxPath ||
        path.find('\0') != std::string::npos)
        return kFolderPathInvalid;
    if (DirectoryExists(path))
        return kFolderPathOk;
    // Components that exist as folders are taken as they are; the names to
    // be made must be valid.
    std::string prefix = "/";
    bool existing = true;
    for (const std::string& part : Components(path)) {
        existing = existing && !part.empty() && DirectoryExists(prefix + part);
        if (!existing && !IsValidFolderName(part))
            return kFolderPathInvalid;
        prefix += part + "/";
    }
    return kFolderPathOk;
}

EFolderPathCode CreateFolderPath(const std::string& path) {
    if (TestFolderPath(path) != kFolderPathOk)
        return kFolderPathInvalid;
    std::string prefix;
    for (const std::string& part : Components(path)) {
        prefix += "/" + part;
        if (part.empty()) // only "/" itself
            continue;
        if (!DirectoryExists(prefix))
            ::mkdir(prefix.c_str(), 0777);
        if (!DirectoryExists(prefix))
            return kFolderPathNotCreated;
    }
    return kFolderPathOk;
}

std::string FolderPathMessage(const char* text, const std::string& path) {
    std::string message = text;
    std::size_t at = message.find("%s");
    if (at != std::string::npos)
        message.replace(at, 2, path);
    return message;
}

bool CheckChosenFolder(const std::string& path) {
    auto report = [&](EFolderPathCode code) {
        PlatformUi().MessageBox(
            FolderPathMessage(
                code == kFolderPathInvalid ? kFolderInvalidText : kFolderNotCreatedText, path),
            {}, IPlatformUi::Ok, IPlatformUi::Warning);
        return false;
    };
    if (EFolderPathCode code = TestFolderPath(path); code != kFolderPathOk)
        return report(code);
    if (DirectoryExists(path))
        return true;
    if (PlatformUi().MessageBox(FolderPathMessage(kFolderAskCreateText, path), {},
                                IPlatformUi::YesNo,
                                IPlatformUi::Question) != IPlatformUi::AnswerYes)
        return false;
    if (EFolderPathCode code = CreateFolderPath(path); code != kFolderPathOk)
        return report(code);
    return true;
}
