#include "library/Favorites.h"

#include "library/StringArchive.h"
#include "platform/FileOps.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using Strings = std::vector<std::string>;

TEST(Favorites, EntriesFromFolders) {
    EXPECT_EQ(LastPathComponent(""), "Error ");
    EXPECT_EQ(LastPathComponent("/"), "");
    EXPECT_EQ(LastPathComponent("/home/user/假期 照片"), "假期 照片");
    EXPECT_EQ(LastPathComponent("/a//"), ""); // only one trailing "/" is dropped

    Strings favs;
    AddFavorite(favs, "/A/");
    AddFavorite(favs, "/home/Holiday"); // a missing "/" is added
    AddFavorite(favs, "/");
    EXPECT_EQ(favs, (Strings{"[1]A###/A/", "[2]Holiday###/home/Holiday/", "[3]###/"}));
    EXPECT_EQ(WriteStringArray({favs[0]}), std::string("\x01\x00\x0A", 3) + "[1]A###/A/");
    EXPECT_EQ(SplitFavorite(favs[2]).display, "[3]");
    EXPECT_EQ(SplitFavorite(favs[2]).folder, "/");

    // A folder whose name holds the separator is still found whole.
    FavoriteParts p = SplitFavorite(MakeFavoriteEntry(1, "/x/a###b/"));
    EXPECT_EQ(p.display, "[1]a###b");
    EXPECT_EQ(p.folder, "/x/a###b/");
    EXPECT_EQ(SplitFavorite("[1]odd###/x/y/").folder, "/x/y/");
    EXPECT_EQ(SplitFavorite("[1]noseparator").folder, std::nullopt);
}

TEST(Favorites, RenumberingAndLabels) {
    Strings favs = {"[1]A###/A/", "[3]C###/C/", "[4]D###/D/", "[123456]E###/E/", "garbage"};
    EXPECT_TRUE(RenumberFavorites(favs));
    EXPECT_EQ(favs,
              (Strings{"[1]A###/A/", "[2]C###/C/", "[3]D###/D/", "[4]E###/E/", "[5]garbage"}));
    EXPECT_FALSE(RenumberFavorites(favs));
    Strings odd = {"[7]X###/X/"}; // adding does not renumber
    AddFavorite(odd, "/Y/");
    EXPECT_EQ(odd[1], "[2]Y###/Y/");

    EXPECT_EQ(FavoriteIndexFromLabel("[1]A", 3), 0u);
    EXPECT_EQ(FavoriteIndexFromLabel("[3]", 3), 2u);
    EXPECT_EQ(FavoriteIndexFromLabel("[2x]A", 3), 1u); // digits up to the first other character
    for (const char* bad : {"[0]A", "[4]A", "[-1]A", "[]A", "A", "]1[", "[x]", "[1", "1]",
                            "[18446744073709551617]A", "[99999999999999999999999999]A"})
        EXPECT_EQ(FavoriteIndexFromLabel(bad, 3), std::nullopt) << bad;

    CFavorites f;
    for (const char* folder : {"/A/", "/B/", "/C/"})
        f.Add(folder);
    EXPECT_EQ(f.FolderForLabel("[2]B"), "/B/");
    EXPECT_EQ(f.FolderForLabel("[4]"), std::nullopt);
    EXPECT_FALSE(f.RemoveByLabel("[9]Z"));
    EXPECT_TRUE(f.RemoveByLabel("[2]B"));
    f.Renumber();
    EXPECT_EQ(f.Entries(), (Strings{"[1]A###/A/", "[2]C###/C/"}));
}

TEST(FavoritesFile, RoundTripInTheProgramFolder) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    CFavorites f;
    f.Load();
    EXPECT_EQ(f.LoadResult(), FavoritesLoad::Missing);
    EXPECT_TRUE(f.SaveAtExit()); // a missing file is created even when nothing changed
    EXPECT_EQ(*ReadWholeFile(dir.File("tree.sxs")), std::string(2, '\0'));

    f.Add("/A/");
    f.Add("/照片/");
    ASSERT_TRUE(f.SaveAtExit());
    EXPECT_EQ(*ReadWholeFile(dir.File("tree.sxs")),
              WriteStringArray({"[1]A###/A/", "[2]照片###/照片/"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    CFavorites g;
    g.Load();
    EXPECT_EQ(g.LoadResult(), FavoritesLoad::Loaded);
    EXPECT_FALSE(g.Changed());
    EXPECT_EQ(g.Entries(), f.Entries());
}

TEST(FavoritesFile, DamagedFilesAreKeptUnlessChanged) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    const std::string good = WriteStringArray({"[1]A###/A/", "[2]B###/B/"});
    for (const std::string& bytes : {good.substr(0, good.size() - 1), good.substr(0, 1),
                                     std::string("\x05\x00\x01x", 4), // count beyond the entries
                                     std::string("\x01\x00\xFF\xFE\xFF\x02", 6)}) {
        dir.Write("tree.sxs", bytes);
        CFavorites f;
        f.Load();
        EXPECT_FALSE(f.LoadedCleanly());
        EXPECT_EQ(f.Count(), 0u);
        EXPECT_FALSE(f.SaveAtExit());
        EXPECT_EQ(*ReadWholeFile(dir.File("tree.sxs")), bytes);
        f.Add("/C/"); // once the user changes the list, it is what gets written
        EXPECT_TRUE(f.SaveAtExit());
        EXPECT_EQ(*ReadWholeFile(dir.File("tree.sxs")), WriteStringArray({"[1]C###/C/"}));
    }
    // A tree.sxs that exists but cannot be read counts as damaged too.
    std::filesystem::remove(dir.File("tree.sxs"));
    std::filesystem::create_directory(dir.File("tree.sxs"));
    CFavorites f;
    f.Load();
    EXPECT_FALSE(f.LoadedCleanly());
    EXPECT_FALSE(f.SaveAtExit());
    EXPECT_TRUE(DirectoryExists(dir.File("tree.sxs")));
}

TEST(FavoritesFile, BytesAfterTheListAreIgnored) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    dir.Write("tree.sxs", WriteStringArray({"[1]A###/A/"}) + "junk");
    CFavorites f;
    f.Load();
    EXPECT_EQ(f.Entries(), std::vector<std::string>{"[1]A###/A/"});
}
