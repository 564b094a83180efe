#include "library/Favorites.h"

#include "app/Settings.h"
#include "library/StringArchive.h"
#include "platform/FileOps.h"
#include "platform/ProgramFolder.h"

#include <cstdint>

namespace {

constexpr const char* kSeparator = "###";
// A favourites file larger than this is not one of ours.
constexpr std::uint64_t kMaxFavoritesFile = 64u << 20;

} // namespace

std::string LastPathComponent(const std::string& path) {
    if (path.empty())
        return "Error ";
    std::string p = WithTrailingSlash(path);
    p.pop_back();
    std::size_t slash = p.find_last_of('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string MakeFavoriteEntry(std::size_t number, const std::string& folder) {
    std::string f = WithTrailingSlash(folder);
    std::string entry(1, '[');
    entry += std::to_string(number);
    entry += ']';
    entry += LastPathComponent(f);
    entry += kSeparator;
    entry += f;
    return entry;
}

void AddFavorite(std::vector<std::string>& favorites, const std::string& folder) {
    favorites.push_back(MakeFavoriteEntry(favorites.size() + 1, folder));
}

bool RenumberFavorites(std::vector<std::string>& favorites) {
    bool changed = false;
    for (std::size_t i = 0; i < favorites.size(); ++i) {
        std::string& e = favorites[i];
        std::size_t close = e.find(']');
        std::string head(1, '[');
        head += std::to_string(i + 1);
        std::string renumbered =
            close == std::string::npos ? head + "]" + e : head + e.substr(close);
        if (renumbered != e) {
            e = std::move(renumbered);
            changed = true;
        }
    }
    return changed;
}

FavoriteParts SplitFavorite(const std::string& entry) {
    const std::size_t first = entry.find(kSeparator);
    if (first == std::string::npos)
        return {entry, std::nullopt};
    // The name between "]" and the separator is the folder's last component;
    // take the first separator for which that holds.
    const std::size_t close = entry.find(']');
    if (close != std::string::npos) {
        for (std::size_t p = entry.find(kSeparator, close + 1); p != std::string::npos;
             p = entry.find(kSeparator, p + 1)) {
            std::string folder = entry.substr(p + 3);
            if (!folder.empty() &&
                LastPathComponent(folder) == entry.substr(close + 1, p - close - 1))
                return {entry.substr(0, p), std::move(folder)};
        }
    }
    return {entry.substr(0, first), entry.substr(first + 3)};
}

std::optional<std::size_t> FavoriteIndexFromLabel(const std::string& label, std::size_t count) {
    const std::size_t open = label.find('['), close = label.find(']');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return std::nullopt;
    std::size_t i = open + 1;
    if (i >= close || label[i] < '0' || label[i] > '9')
        return std::nullopt;
    std::size_t n = 0;
    for (; i < close && label[i] >= '0' && label[i] <= '9'; ++i)
        if (n <= count) // beyond count it is out of range anyway; never let it wrap
            n = n * 10 + static_cast<std::size_t>(label[i] - '0');
    if (n < 1 || n > count)
        return std::nullopt;
    return n - 1;
}

std::string GetFavoritesPath() {
    return GetProgramFolder() + kFavoritesFileName;
}

FavoritesLoad LoadFavorites(std::vector<std::string>& favorites) {
    favorites.clear();
    const std::string path = GetFavoritesPath();
    if (!FileExists(path))
        return FavoritesLoad::Missing;
    std::optional<std::string> bytes = ReadWholeFile(path, kMaxFavoritesFile);
    if (!bytes)
        return FavoritesLoad::Damaged;
    // The list is read as an archive reads it; whatever follows it is ignored.
    std::optional<std::vector<std::string>> list = ReadStringArray(*bytes);
    if (!list)
        return FavoritesLoad::Damaged;
    favorites = std::move(*list);
    return FavoritesLoad::Loaded;
}

bool SaveFavorites(const std::vector<std::string>& favorites) {
    return WriteFileAtomically(GetFavoritesPath(), WriteStringArray(favorites));
}

void CFavorites::Load() {
    m_load = LoadFavorites(m_arrFavorites);
    m_bChanged = false;
}

bool CFavorites::SaveAtExit() const {
    if (m_load == FavoritesLoad::Damaged && !m_bChanged)
        return false;
    return SaveFavorites(m_arrFavorites);
}

void CFavorites::Add(const std::string& folder) {
    AddFavorite(m_arrFavorites, folder);
    m_bChanged = true;
}

void CFavorites::Renumber() {
    if (RenumberFavorites(m_arrFavorites))
        m_bChanged = true;
}

bool CFavorites::RemoveByLabel(const std::string& label) {
    std::optional<std::size_t> i = FavoriteIndexFromLabel(label, m_arrFavorites.size());
    if (!i)
        return false;
    m_arrFavorites.erase(m_arrFavorites.begin() + static_cast<std::ptrdiff_t>(*i));
    m_bChanged = true;
    return true;
}

void CFavorites::Clear() {
    m_arrFavorites.clear();
    m_bChanged = true;
}

std::optional<std::string> CFavorites::FolderForLabel(const std::string& label) const {
    std::optional<std::size_t> i = FavoriteIndexFromLabel(label, m_arrFavorites.size());
    if (!i)
        return std::nullopt;
    return SplitFavorite(m_arrFavorites[*i]).folder;
}
