#pragma once
#include <string>
#include <vector>

// The file commands of the thumbnail list and of the frame: delete, copy to a
// folder and move to a folder. Questions and failures go through the
// desktop services (PlatformUi), so tests can answer them.

inline constexpr const char* kDeleteQuestion = "你确定要删除该文件吗？";
inline constexpr const char* kDeleteCaption = "Tavisk美图";
inline constexpr const char* kDeleteFailed = "删除文件失败";
inline constexpr const char* kChooseFolderTitle = "请选择目录";

// What a command acts on: the paths of the selection in order when it holds
// any, else the clicked file alone, else nothing.
std::vector<std::string> CommandTargets(const std::vector<std::string>& selected,
                                        const std::string& curFile);

// Asks "你确定要删除该文件吗？" (OK / Cancel); true for OK.
bool ConfirmDelete();

enum class EDeleteResult { kCancelled, kDeleted, kFailed };

// Deletes one file: asks first when bAsk, clears its read-only attribute and
// deletes it. A file that stays on disk is reported with "删除文件失败".
// A file that was already gone counts as deleted.
EDeleteResult DeletePictureFile(const std::string& path, bool bAsk);

// Where a file goes in a folder: the folder (with "/" added when missing)
// followed by the file's own name.
std::string PathInFolder(const std::string& folder, const std::string& path);

// Copies each path into the folder under its own name, replacing a file of
// that name through a temporary file; copying a file onto itself does
// nothing. Failures are quiet. Returns how many copies succeeded.
int CopyFilesTo(const std::vector<std::string>& paths, const std::string& folder);

// Moves each path into the folder under its own name; a file whose target
// exists, or that cannot be moved, stays where it is. Returns the paths that
// were moved, in order.
std::vector<std::string> MoveFilesTo(const std::vector<std::string>& paths,
                                     const std::string& folder);
