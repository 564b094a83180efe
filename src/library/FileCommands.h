#pragma once
#include "library/FileNaming.h"

#include <string>
#include <vector>

// The file commands of the thumbnail list and of the left pane: delete, copy
// to a folder, move, rename and batch rename. Questions and failures go
// through the desktop services (PlatformUi), so tests can answer them. No
// command ever replaces a file by accident or changes a file's permissions.

inline constexpr const char* kDeleteQuestion = "你确定要删除该文件吗？";
inline constexpr const char* kDeleteCaption = "Tavisk美图";
inline constexpr const char* kDeleteFailed = "删除文件失败";
inline constexpr const char* kChooseFolderTitle = "请选择目录";
inline constexpr const char* kCopyFailed = "复制文件失败";
inline constexpr const char* kMoveFailed = "移动文件失败";
inline constexpr const char* kRenameFailed = "重命名文件失败";
inline constexpr const char* kNameExists = "输入的文件名，已经存在!";
inline constexpr const char* kSelectPicture = "请选择一个图形文件！";

// What a command acts on: the paths of the selection in order when it holds
// any, else the clicked file alone, else nothing.
std::vector<std::string> CommandTargets(const std::vector<std::string>& selected,
                                        const std::string& curFile);

// Asks "你确定要删除该文件吗？" (OK / Cancel); true for OK.
bool ConfirmDelete();

enum class EDeleteResult { kCancelled, kDeleted, kFailed };

// Deletes one file, asking first when bAsk. A file that stays on disk is
// reported with "删除文件失败"; a file that was already gone counts as deleted.
EDeleteResult DeletePictureFile(const std::string& path, bool bAsk);

// Where a file goes in a folder: the folder (with "/" added when missing)
// followed by the file's own name.
std::string PathInFolder(const std::string& folder, const std::string& path);

// Copies each path into the folder under its own name, replacing a file of
// that name through a temporary file; copying a file onto itself does
// nothing. When any copy fails, "复制文件失败" is shown once. Returns how many
// copies succeeded.
int CopyFilesTo(const std::vector<std::string>& paths, const std::string& folder);

// Moves each path into the folder under its own name; a file whose target
// exists, or that cannot be moved, stays where it is, and "移动文件失败" is
// shown once. Returns the paths that were moved, in order.
std::vector<std::string> MoveFilesTo(const std::vector<std::string>& paths,
                                     const std::string& folder);

enum class EMoveResult { kNothing, kMoved, kFailed };

// The move dialog's move of one file: into the typed folder, named by the
// typed name (MoveTargetPath). Nothing happens without a folder or a name; a
// folder that is not a full path, a name holding "/" and a move that fails
// (the target exists, the folder is missing ...) show "移动文件失败".
EMoveResult MovePictureFile(const std::string& path, const std::string& folder,
                            const std::string& typed, std::string& newPath);

// Renames a file to the typed name with its own extension. An unusable name
// or a failed rename shows "重命名文件失败", a taken name "输入的文件名，已经存在!"
// (both with the caption given). True with newPath set on success.
bool RenamePictureFile(const std::string& path, const std::string& typed,
                       const std::string& caption, std::string& newPath);

// Carries out the renames of a batch in order; a step whose new name is
// taken (also by the file itself) is skipped. Returns the steps done.
std::vector<BatchStep> ApplyBatchRename(const std::vector<BatchStep>& steps);
