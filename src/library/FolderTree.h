#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The file-system side of the folder tree of the left pane: which entries a
// folder shows, how they are classified, and how a path is found again level
// by level.

// Kinds of tree items.
enum ETreeItemClass : int {
    kTreeImageFile = 1, // a picture file
    kTreeOtherFile = 2, // any other file: never shown
    kTreeFolder = 3,    // a directory, or an item without a file-system path
};

// The class of a name: a directory is a folder whatever its name ("v1.2",
// "2024.05 Trip"); a file is a picture when IsPictureFile says so, else an
// other file (also when it has no extension).
int ClassifyTreeName(const std::string& name, bool isDir);
// The class of a path on disk: "" (no file-system path) is a folder; one
// trailing "/" is ignored; a path that is no directory (or is gone) is
// classified by its name.
int ClassifyTreePath(const std::string& path);

struct TreeChild {
    std::string name;
    int cls = kTreeFolder;
    // Whether the item gets an expand button: for folders, true when files
    // are listed too (any folder may hold some) or when it has a sub-folder;
    // false for files.
    bool hasChildren = false;
};

// The entries of a folder the tree shows, in the folder's listing order
// (case-insensitive names): its folders, and its pictures when withFiles is
// set. Hidden entries (names starting with ".") are left out, as a desktop's
// file manager does. Without probe, every folder is given an expand button
// and no sub-folder is examined (the caller finds out later, for the folders
// it shows). False, with an empty list, when the folder cannot be read.
bool ListTreeChildren(const std::string& folder, bool withFiles, std::vector<TreeChild>& out,
                      bool probe = true);

// Whether a folder holds at least one sub-folder. The link count answers
// where the file system keeps it as 2 + sub-folders (hidden sub-folders count
// then); otherwise the folder is read until a shown sub-folder turns up.
bool HasSubfolders(const std::string& folder);

// Whether a path lies on a fixed local disk. False for network file systems,
// optical discs and the mounts of removable media (under /media or
// /run/media). mountinfo is the text of /proc/self/mountinfo.
bool IsFixedDiskPath(std::string_view mountinfo, const std::string& path);
bool IsFixedDiskPath(const std::string& path);

// The names of the components of a path below a top folder: "/a/b/" below
// "/" is {"a", "b"}; below "/a" it is {"b"}. nullopt when the path is not the
// top folder or inside it. Empty components ("//") are skipped.
std::optional<std::vector<std::string>> SegmentsBelow(const std::string& top,
                                                      const std::string& path);

// The child a path segment leads to: the first whose name equals it exactly,
// else the first equal to it without regard to case, else the first whose
// name contains it without regard to case. -1 when none does.
int MatchTreeSegment(const std::vector<std::string>& names, const std::string& segment);

// Walks the real folders from top down along the segments of path with
// MatchTreeSegment over what ListTreeChildren shows at each level, and
// returns the deepest folder reached (top itself when the first segment
// matches nothing). nullopt when path is not inside top.
std::optional<std::string> ResolveTreePath(const std::string& top, const std::string& path,
                                           bool withFiles = false);

// The folder part of a file path: the text before its last "/", the root
// keeping its "/" ("/a.jpg" -> "/", "/x/a.jpg" -> "/x").
std::string FolderPartOf(const std::string& path);
// A folder as the history box keeps it: one trailing "/" dropped, except for
// the root "/" itself.
std::string HistoryText(const std::string& folder);
// Two folder texts name the same folder when they differ only by one
// trailing "/".
bool SameFolder(const std::string& a, const std::string& b);

// The key under which the icon of a tree entry is kept: one icon per kind,
// and per lower-case extension for files.
std::string TreeIconKey(const std::string& name, int cls);
