#pragma once
#include <string>
#include <vector>

// The naming rules of the file commands: how rename splits a path, which name
// a moved file gets, and the running numbers of batch rename.

// A file path as rename sees it: "/p/a.b.jpg" is folder "/p", base "a.b",
// extension ".jpg" (with its dot; "" when the name has no dot).
struct RenameParts {
    std::string folder, base, ext;
};
RenameParts SplitRenamePath(const std::string& path);

// Whether a typed name can stand for a file in the same folder: not empty,
// and without "/" (which would move the file) or a NUL byte.
bool IsUsableFileName(const std::string& name);

// The new path of a rename: the old folder, the typed name and the old
// extension (the extension cannot be changed); "" when the name is not usable.
std::string RenameTargetPath(const std::string& path, const std::string& typed);

// The name a moved file gets from the typed text: the text before its first
// "." unless that "." starts it ("new.txt" -> "new", ".x" -> ".x").
std::string MoveBaseName(const std::string& typed);

// The target of a move: the folder (with "/" added), the typed name as
// MoveBaseName reads it, "." and the source's own extension (nothing when the
// source has none).
std::string MoveTargetPath(const std::string& source, const std::string& folder,
                           const std::string& typed);

// n written with at least width digits, zeros in front; a width outside
// 1 ... 10 gives "". A number with more digits is written in full.
std::string FormatSerialNumber(int n, int width);
// How many decimal digits a count has (0 has one).
int DecimalDigits(int count);

// Where batch rename puts the number: after the description, in place of its
// first "*" (in front when it has none), or before it.
enum ENumberPosition : int { kNumberAfter = 0, kNumberMiddle = 1, kNumberBefore = 2 };

// One entry of the folder tree that batch rename walks: its path on disk and
// its class (kTreeImageFile, kTreeOtherFile, kTreeFolder).
struct BatchItem {
    std::string path;
    int cls = 0;
};

// One rename of a batch: the item it belongs to, the old and new path, and
// the new base name.
struct BatchStep {
    std::size_t item = 0;
    std::string oldPath, newPath, base;
};

// The renames of a batch over the items in tree order: picture items get the
// numbers 1 ... count (with as many digits as count has), other items use no
// number, pictures beyond count are left alone. Each new name lies in the
// folder of its own old path and keeps the old extension; a description
// holding "/" renames nothing.
std::vector<BatchStep> PlanBatchRename(const std::vector<BatchItem>& items, int count,
                                       const std::string& desc, int position);
