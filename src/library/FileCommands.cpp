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
    if (copied < static_cast<int>(paths.size()))
        PlatformUi().MessageBox(kCopyFailed);
    return copied;
}

std::vector<std::string> MoveFilesTo(const std::vector<std::string>& paths,
                                     const std::string& folder) {
    std::vector<std::string> moved;
    for (const std::string& p : paths)
        if (MoveFileNoReplace(p, PathInFolder(folder, p)))
            moved.push_back(p);
    if (moved.size() < paths.size())
        PlatformUi().MessageBox(kMoveFailed);
    return moved;
}

EMoveResult MovePictureFile(const std::string& path, const std::string& folder,
                            const std::string& typed, std::string& newPath) {
    const std::string name = MoveBaseName(typed);
    if (folder.empty() || name.empty())
        return EMoveResult::kNothing;
    newPath = MoveTargetPath(path, folder, typed);
    if (folder.front() != '/' || !IsUsableFileName(name) || !MoveFileNoReplace(path, newPath)) {
        PlatformUi().MessageBox(kMoveFailed);
        return EMoveResult::kFailed;
    }
    return EMoveResult::kMoved;
}

bool RenamePictureFile(const std::string& path, const std::string& typed,
                       const std::string& caption, std::string& newPath) {
    newPath = RenameTargetPath(path, typed);
    const char* failure = kRenameFailed;
    if (!newPath.empty()) {
        // The move fails rather than replace a file that appeared meanwhile.
        if (!FileExists(newPath) && MoveFileNoReplace(path, newPath))
            return true;
        if (FileExists(newPath))
            failure = kNameExists;
    }
    PlatformUi().MessageBox(failure, caption);
    return false;
}

std::vector<BatchStep> ApplyBatchRename(const std::vector<BatchStep>& steps) {
    std::vector<BatchStep> done;
    for (const BatchStep& step : steps)
        if (MoveFileNoReplace(step.oldPath, step.newPath))
            done.push_back(step);
    return done;
}
