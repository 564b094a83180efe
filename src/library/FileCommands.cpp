#include "library/FileCommands.h"

#include "platform/FileOps.h"
#include "platform/PlatformUi.h"
#include "platform/ProgramFolder.h"

std::vector<std::string> CommandTargets(const std::vector<std::string>& selected,
                                        const std::string& curFile) {
    if (!selected.empty())
        return selected;
    if (!curFile.empty())
        return {curFile};
    return {};
}

bool ConfirmDelete() {
    return PlatformUi().MessageBox(kDeleteQuestion, kDeleteCaption, IPlatformUi::OkCancel,
                                   IPlatformUi::Question) == IPlatformUi::AnswerOk;
}

EDeleteResult DeletePictureFile(const std::string& path, bool bAsk) {
    if (bAsk && !ConfirmDelete())
        return EDeleteResult::kCancelled;
    if (!FileExists(path))
        return EDeleteResult::kDeleted;
    ClearReadOnly(path);
    if (DeleteFileAt(path) || !FileExists(path))
        return EDeleteResult::kDeleted;
    PlatformUi().MessageBox(kDeleteFailed);
    return EDeleteResult::kFailed;
}

std::string PathInFolder(const std::string& folder, const std::string& path) {
    return WithTrailingSlash(folder) + FileNameOf(path);
}

int CopyFilesTo(const std::vector<std::string>& paths, const std::string& folder) {
    int copied = 0;
    for (const std::string& p : paths)
        if (CopyFileReplace(p, PathInFolder(folder, p)))
            ++copied;
    return copied;
}

std::vector<std::string> MoveFilesTo(const std::vector<std::string>& paths,
                                     const std::string& folder) {
    std::vector<std::string> moved;
    for (const std::string& p : paths)
        if (MoveFileNoReplace(p, PathInFolder(folder, p)))
            moved.push_back(p);
    return moved;
}
