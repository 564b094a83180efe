#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Favourite folders. Each entry of the list is one text
//     "[N]name###folder/"
// where N is the entry's 1-based position when it was made or last
// renumbered, name the last component of the folder (empty for the root "/")
// and folder the full path ending with "/". The tree shows the part before
// the separator ("[N]name"); N is the only link from a tree item back to its
// entry. The list is stored in "tree.sxs" in the program folder as a string
// array (library/StringArchive.h).

// Last component of a folder path: "Error " for an empty path; otherwise the
// text after the last "/" once one trailing "/" is dropped ("" for "/").
std::string LastPathComponent(const std::string& path);

// "[" + number + "]" + LastPathComponent(folder) + "###" + folder, the folder
// given a trailing "/" when it has none.
std::string MakeFavoriteEntry(std::size_t number, const std::string& folder);

// Appends the entry of a folder numbered count + 1.
void AddFavorite(std::vector<std::string>& favorites, const std::string& folder);

// Gives entry i the number i + 1: everything before its first "]" becomes
// "[" + (i + 1). Returns whether any entry changed.
bool RenumberFavorites(std::vector<std::string>& favorites);

// The parts of an entry on either side of its separator. The separator is
// the "###" that follows the folder's own last component, so a folder whose
// name holds "###" is still found; an entry without "###" has no folder.
struct FavoriteParts {
    std::string display; // "[N]name"
    std::optional<std::string> folder;
};
FavoriteParts SplitFavorite(const std::string& entry);

// The 0-based entry index named by a tree label: the decimal number between
// its first "[" and first "]", minus 1. nullopt when there is no such number
// or it is not in 1 ... count.
std::optional<std::size_t> FavoriteIndexFromLabel(const std::string& label, std::size_t count);

// Full path of "tree.sxs" in the program folder.
std::string GetFavoritesPath();

// How the favourites file was found at start.
enum class FavoritesLoad {
    Missing, // no file: an empty list, written at exit
    Loaded,  // read in full
    Damaged, // unreadable, truncated or damaged: an empty list, and the file
             // is left alone at exit unless the list is changed
};

// Reads the favourites file (replacing the content of the list).
FavoritesLoad LoadFavorites(std::vector<std::string>& favorites);
// Writes the favourites file through a temporary file renamed over the old
// one. Returns false when it could not be written (the old file stays).
bool SaveFavorites(const std::vector<std::string>& favorites);

// The favourites of the left pane with the state that decides whether they
// may be written at exit.
class CFavorites {
public:
    // Reads tree.sxs from the program folder.
    void Load();
    // Writes tree.sxs at exit, unless it was damaged at start and nothing
    // changed since (so a file that could not be read is never replaced by
    // an empty list). Returns whether a file was written.
    bool SaveAtExit() const;

    bool LoadedCleanly() const { return m_load != FavoritesLoad::Damaged; }
    bool Changed() const { return m_bChanged; }
    FavoritesLoad LoadResult() const { return m_load; }

    const std::vector<std::string>& Entries() const { return m_arrFavorites; }
    std::size_t Count() const { return m_arrFavorites.size(); }

    // The commands of the favourites pane.
    void Add(const std::string& folder);
    void Renumber();
    // Removes the entry a tree label names; false (nothing removed) when the
    // label names no entry.
    bool RemoveByLabel(const std::string& label);
    void Clear();

    // The folder of the entry a tree label names.
    std::optional<std::string> FolderForLabel(const std::string& label) const;

private:
    std::vector<std::string> m_arrFavorites;
    FavoritesLoad m_load = FavoritesLoad::Missing;
    bool m_bChanged = false;
};
