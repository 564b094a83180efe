#include "library/Favorites.h"

#include "library/StringArchive.h"
#include "platform/FileOps.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b)
        s.push_back(static_cast<char>(v));
    return s;
}

} // namespace

TEST(Favorites, LastPathComponent) {
    EXPECT_EQ(LastPathComponent(""), "Error ");
    EXPECT_EQ(LastPathComponent("/"), "");
    EXPECT_EQ(LastPathComponent("/A/"), "A");
    EXPECT_EQ(LastPathComponent("/A"), "A");
    EXPECT_EQ(LastPathComponent("/home/user/假期 照片/"), "假期 照片");
    EXPECT_EQ(LastPathComponent("relative"), "relative");
    // Only one trailing slash is dropped.
    EXPECT_EQ(LastPathComponent("/a//"), "");
}

TEST(Favorites, EntriesAreBuiltFromCountAndFolder) {
    std::vector<std::string> favs;
    AddFavorite(favs, "/A/");
    AddFavorite(favs, "/home/pics/Holiday"); // a missing "/" is added
    AddFavorite(favs, "/pics/Holiday/");
    AddFavorite(favs, "/");
    EXPECT_EQ(favs, (std::vector<std::string>{"[1]A###/A/", "[2]Holiday###/home/pics/Holiday/",
                                              "[3]Holiday###/pics/Holiday/", "[4]###/"}));
    EXPECT_EQ(SplitFavorite(favs[3]).display, "[4]");
    EXPECT_EQ(SplitFavorite(favs[3]).folder, "/");
    EXPECT_EQ(SplitFavorite(favs[1]).display, "[2]Holiday");
    EXPECT_EQ(SplitFavorite(favs[1]).folder, "/home/pics/Holiday/");
    // The stored form of the single entry for /A/.
    EXPECT_EQ(WriteStringArray({favs[0]}), Bytes({0x01, 0x00, 0x0A}) + "[1]A###/A/");
}

TEST(Favorites, FolderNamesHoldingTheSeparator) {
    std::string entry = MakeFavoriteEntry(1, "/x/a###b/");
    EXPECT_EQ(entry, "[1]a###b###/x/a###b/");
    FavoriteParts p = SplitFavorite(entry);
    EXPECT_EQ(p.display, "[1]a###b");
    EXPECT_EQ(p.folder, "/x/a###b/");
    // A foreign entry: the first separator; none at all: no folder.
    EXPECT_EQ(SplitFavorite("[1]odd###/x/y/").folder, "/x/y/");
    EXPECT_EQ(SplitFavorite("[1]noseparator").folder, std::nullopt);
}

TEST(Favorites, RenumberingRewritesTheNumberOnly) {
    std::vector<std::string> favs = {"[1]A###/A/", "[2]B###/B/", "[3]C###/C/", "[4]D###/D/"};
    favs.erase(favs.begin() + 1);
    EXPECT_TRUE(RenumberFavorites(favs));
    EXPECT_EQ(favs, (std::vector<std::string>{"[1]A###/A/", "[2]C###/C/", "[3]D###/D/"}));
    EXPECT_FALSE(RenumberFavorites(favs));

    // Adding without renumbering keeps the number given at that moment.
    std::vector<std::string> odd = {"[7]X###/X/"};
    AddFavorite(odd, "/Y/");
    EXPECT_EQ(odd[1], "[2]Y###/Y/");
    // Numbers of any width, and an entry without "]".
    std::vector<std::string> wide = {"[123456]A###/A/", "garbage"};
    RenumberFavorites(wide);
    EXPECT_EQ(wide, (std::vector<std::string>{"[1]A###/A/", "[2]garbage"}));
}

TEST(Favorites, LabelsNameEntriesOnlyWithinRange) {
    EXPECT_EQ(FavoriteIndexFromLabel("[1]A", 3), 0u);
    EXPECT_EQ(FavoriteIndexFromLabel("[3]", 3), 2u);
    EXPECT_EQ(FavoriteIndexFromLabel("[12]x", 12), 11u);
    for (const char* bad : {"[0]A", "[4]A", "[-1]A", "[]A", "A", "]1[", "[x]", "[1", "1]",
                            "[99999999999999999999999999]A", "[18446744073709551617]A"})
        EXPECT_EQ(FavoriteIndexFromLabel(bad, 3), std::nullopt) << bad;
    EXPECT_EQ(FavoriteIndexFromLabel("[1]A", 0), std::nullopt);
    // The number is read from the first brackets, as atoi reads: digits up to
    // the first other character.
    EXPECT_EQ(FavoriteIndexFromLabel("[2x]A", 3), 1u);
    EXPECT_EQ(FavoriteIndexFromLabel("[2]A]9", 3), 1u);
}

TEST(Favorites, PaneCommandsTrackChanges) {
    CFavorites f;
    f.Add("/A/");
    f.Add("/B/");
    f.Add("/C/");
    EXPECT_TRUE(f.Changed());
    EXPECT_EQ(f.FolderForLabel("[2]B"), "/B/");
    EXPECT_EQ(f.FolderForLabel("[4]"), std::nullopt);
    EXPECT_FALSE(f.RemoveByLabel("[9]Z"));
    EXPECT_TRUE(f.RemoveByLabel("[2]B"));
    f.Renumber();
    EXPECT_EQ(f.Entries(), (std::vector<std::string>{"[1]A###/A/", "[2]C###/C/"}));
    f.Clear();
    EXPECT_EQ(f.Count(), 0u);
}

TEST(FavoritesFile, RoundTripInTheProgramFolder) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    EXPECT_EQ(GetFavoritesPath(), dir.Path() + "tree.sxs");

    CFavorites f;
    f.Load();
    EXPECT_EQ(f.LoadResult(), FavoritesLoad::Missing);
    EXPECT_TRUE(f.LoadedCleanly());
    // A missing file is created at exit even when nothing changed.
    EXPECT_TRUE(f.SaveAtExit());
    EXPECT_EQ(*ReadWholeFile(dir.File("tree.sxs")), Bytes({0x00, 0x00}));

    f.Add("/A/");
    f.Add("/");
    f.Add("/照片/");
    ASSERT_TRUE(f.SaveAtExit());
    EXPECT_EQ(*ReadWholeFile(dir.File("tree.sxs")),
              WriteStringArray({"[1]A###/A/", "[2]###/", "[3]照片###/照片/"}));
    // No temporary file is left beside it.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);

    CFavorites g;
    g.Load();
    EXPECT_EQ(g.LoadResult(), FavoritesLoad::Loaded);
    EXPECT_FALSE(g.Changed());
    EXPECT_EQ(g.Entries(), f.Entries());

    dir.Write("tree.sxs", Bytes({0x00, 0x00}));
    g.Load();
    EXPECT_EQ(g.LoadResult(), FavoritesLoad::Loaded);
    EXPECT_EQ(g.Count(), 0u);
}

TEST(FavoritesFile, DamagedFilesAreKeptUnlessChanged) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    const std::string good = WriteStringArray({"[1]A###/A/", "[2]B###/B/"});
    const std::string damaged[] = {
        good.substr(0, good.size() - 1),             // truncated inside an entry
        good.substr(0, 1),                           // truncated count
        Bytes({0x05, 0x00, 0x01}) + "x",             // count beyond the entries
        Bytes({0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x02}), // two-byte text marker
        good + "junk",                               // bytes after the list
    };
    for (const std::string& bytes : damaged) {
        dir.Write("tree.sxs", bytes);
        CFavorites f;
        f.Load();
        EXPECT_EQ(f.LoadResult(), FavoritesLoad::Damaged);
        EXPECT_FALSE(f.LoadedCleanly());
        EXPECT_EQ(f.Count(), 0u);
        EXPECT_FALSE(f.SaveAtExit());
        EXPECT_EQ(*ReadWholeFile(dir.File("tree.sxs")), bytes);

        // Once the user changes the list, it is what gets written.
        f.Add("/C/");
        EXPECT_TRUE(f.SaveAtExit());
        EXPECT_EQ(*ReadWholeFile(dir.File("tree.sxs")), WriteStringArray({"[1]C###/C/"}));
    }

    // A file that exists but cannot be read counts as damaged too.
    std::filesystem::remove(dir.File("tree.sxs"));
    std::filesystem::create_directory(dir.File("tree.sxs"));
    CFavorites f;
    f.Load();
    EXPECT_FALSE(f.LoadedCleanly());
    EXPECT_FALSE(f.SaveAtExit());
    EXPECT_TRUE(DirectoryExists(dir.File("tree.sxs")));
}
