#include "library/Favorites.h"
#include "library/FolderTree.h"
#include "library/StringArchive.h"

#include "ExifTestWriter.h"
#include "TempDir.h"
#include "platform/FileOps.h"

#include <gtest/gtest.h>

using Strings = std::vector<std::string>;
using exiftest::Bytes;

namespace {

// ---------------------------------------------------------------------------
// The folder tree

// Folders (ending with "/") and files below the temporary folder.
void Tree(TempDir& t, const Strings& entries) {
    for (const std::string& e : entries)
        e.back() == '/' ? void(std::filesystem::create_directories(t.File(e))) : t.Write(e, "x");
}

TEST(FolderTree, DirectoriesAreFoldersWhateverTheirName) {
    TempDir t;
    // Too short an extension, an unknown one, none at all: other files, never
    // shown as folders.
    Tree(t, {"v1.2/", "old.png/", "x.JpG", "photo.jpe", "a.ps", "backup.old", "README"});
    std::vector<int> classes;
    for (const char* name :
         {"v1.2", "old.png", "old.png/", "x.JpG", "photo.jpe", "a.ps", "backup.old", "README"})
        classes.push_back(ClassifyTreePath(t.File(name)));
    EXPECT_EQ(classes, (std::vector{3, 3, 3, 1, 1, 2, 2, 2}));
    EXPECT_EQ(ClassifyTreePath(""), kTreeFolder);
}

TEST(FolderTree, ChildrenShownWithAndWithoutFiles) {
    TempDir t;
    Tree(t, {"deep/inner/", "v1.2/", ".hidden/sub/", "onlyhidden/.cache/", "b.png", "A.jpg",
             "notes.txt", ".secret.jpg", "Empty/in.jpg"});
    std::vector<TreeChild> c;
    ASSERT_TRUE(ListTreeChildren(t.Path(), false, c));
    // Without files, only a folder holding a folder gets an expand button.
    auto names = [&] {
        Strings out;
        for (const TreeChild& e : c)
            out.push_back(e.name);
        return out;
    };
    EXPECT_EQ(names(), (Strings{"deep", "Empty", "onlyhidden", "v1.2"}));
    EXPECT_TRUE(c[0].hasChildren && !c[1].hasChildren && !c[3].hasChildren);
    // With files, any folder may hold pictures.
    ASSERT_TRUE(ListTreeChildren(t.Path(), true, c));
    EXPECT_EQ(names(), (Strings{"A.jpg", "b.png", "deep", "Empty", "onlyhidden", "v1.2"}));
    for (const TreeChild& e : c)
        EXPECT_EQ(e.hasChildren, e.cls == kTreeFolder) << e.name;
    EXPECT_EQ(c[0].cls, kTreeImageFile);
    EXPECT_FALSE(ListTreeChildren(t.File("missing"), false, c) || !c.empty());
    EXPECT_FALSE(ListTreeChildren("relative/path", false, c)); // never the working directory
    EXPECT_TRUE(HasSubfolders(t.File("deep")));
    EXPECT_FALSE(HasSubfolders(t.File("Empty")));
}

TEST(FolderTree, PathSegmentsAndFolderTexts) {
    EXPECT_EQ(SegmentsBelow("/", "/a//b/"), (Strings{"a", "b"}));
    EXPECT_EQ(SegmentsBelow("/home/u", "/home/u/Pics"), (Strings{"Pics"}));
    EXPECT_EQ(SegmentsBelow("/home/u/", "/home/u"), Strings{});
    EXPECT_EQ(SegmentsBelow("/home/u", "/home/user/Pics"), std::nullopt);
    EXPECT_EQ(SegmentsBelow("/", "relative"), std::nullopt);
    EXPECT_EQ(FolderPartOf("/a.jpg") + FolderPartOf("/x/y/a.jpg"), "//x/y");
    EXPECT_EQ(HistoryText("/") + HistoryText("/x/y/"), "//x/y");
    EXPECT_TRUE(SameFolder("/x/y/", "/x/y"));
    EXPECT_FALSE(SameFolder("/x/y", "/x/yz"));
}

TEST(FolderTree, ResolvePathOnRealFolders) {
    TempDir t;
    Tree(t, {"data/12024/x/", "data/2024/y/pic.jpg", "data/Photos/", "data/photos/inner/",
             "data/2024.05 Trip/day1/", "data/v1.2/z/"});
    const std::string top = t.Path();
    // The first equal name, then the first equal without case, then the
    // first that contains the segment; the walk stops at the deepest folder
    // reached.
    const std::pair<const char*, const char*> cases[] = {
        {"data/2024/y", "data/2024/y"}, {"data/photos/inner", "data/photos/inner"},
        {"data/PHOTOS", "data/Photos"}, {"data/2024.05 Trip/day1/", "data/2024.05 Trip/day1"},
        {"data/v1.2/z", "data/v1.2/z"}, {"data/Trip", "data/2024.05 Trip"},
        {"data/nothing/y", "data"},     {"data/2024/y/pic.jpg", "data/2024/y"}};
    for (auto [path, resolved] : cases)
        EXPECT_EQ(ResolveTreePath(top, top + path), top + resolved) << path;
    EXPECT_EQ(ResolveTreePath(top + "data", "/elsewhere"), std::nullopt);
    EXPECT_EQ(ResolveTreePath(top, top + "data/2024/y/pic.jpg", true), top + "data/2024/y/pic.jpg");
}

TEST(FolderTree, MountKinds) {
    const std::string info = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                             "30 22 0:40 / /srv/share rw - nfs4 server:/export rw\n"
                             "31 22 8:17 / /run/media/u/USB\\040STICK rw - vfat /dev/sdb1 rw\n"
                             "32 22 11:0 / /mnt/cd rw - iso9660 /dev/sr0 ro\n"
                             "33 30 8:2 / /srv/share/local rw - ext4 /dev/sda2 rw\n";
    // Not inside the share; the deepest mount decides.
    for (const char* fixed : {"/home/u/Pictures", "/srv/sharex", "/srv/share/local/b"})
        EXPECT_TRUE(IsFixedDiskPath(info, fixed)) << fixed;
    for (const char* other :
         {"/srv/share/a", "/srv/share", "/run/media/u/USB STICK/DCIM", "/mnt/cd"})
        EXPECT_FALSE(IsFixedDiskPath(info, other)) << other;
}

// ---------------------------------------------------------------------------
// The string-array archive of tree.sxs and imggps.gpd

TEST(StringArchive, LengthPrefixesAndCountsGrowAtTheirThresholds) {
    EXPECT_EQ(WriteStringArray({"[1]A###/A/"}), Bytes({0x01, 0x00, 0x0A}) + "[1]A###/A/");
    for (std::size_t len : {0u, 254u, 255u, 65533u, 65534u, 70000u}) {
        const std::string text(len, 'x'), file = WriteStringArray({text});
        const std::size_t prefix = len < 255 ? 1 : (len < 65534 ? 3 : 7);
        ASSERT_EQ(file.size(), 2 + prefix + len) << len;
        if (prefix > 1) {
            EXPECT_EQ(file.substr(2, 3),
                      prefix == 3 ? Bytes({0xFF, int(len & 0xFF), int(len >> 8)}) : "\xFF\xFF\xFF");
        }
        EXPECT_EQ(ReadStringArray(file), Strings{text}) << len;
    }
    const std::string many = WriteStringArray(Strings(70000, "a"));
    EXPECT_EQ(many.substr(0, 6), Bytes({0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
    EXPECT_EQ(ReadStringArray(many)->size(), 70000u);
    EXPECT_EQ(WriteStringArray(Strings(65534, "")).substr(0, 2), Bytes({0xFE, 0xFF}));
}

TEST(StringArchive, DamagedFilesAreRefusedWhole) {
    // Every truncation of a valid file is refused, never read as a shorter list.
    const std::string good = WriteStringArray({"alpha", "beta"});
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(ReadStringArray(good.substr(0, n))) << n;
    // A count far beyond what the bytes can hold, lengths that run past the
    // end, and the marker of two-byte texts.
    for (const std::string& bad :
         {Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 'a'}), Bytes({1, 0, 0xFF, 0x00, 0x10, 'a'}),
          Bytes({1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
          Bytes({1, 0, 0xFF, 0xFE, 0xFF, 2, 'a', 0})})
        EXPECT_FALSE(ReadStringArray(bad));
    EXPECT_EQ(ReadStringArray(Bytes({0, 0})), Strings{}); // an empty list is valid
}

// ---------------------------------------------------------------------------
// Favourites

TEST(Favorites, EntriesLabelsAndRenumbering) {
    // Only one trailing "/" is dropped.
    EXPECT_EQ(LastPathComponent("") + "|" + LastPathComponent("/home/假期 照片") + "|" +
                  LastPathComponent("/a//"),
              "Error |假期 照片|");
    Strings favs;
    AddFavorite(favs, "/A/");
    AddFavorite(favs, "/home/Holiday"); // a missing "/" is added
    AddFavorite(favs, "/");
    EXPECT_EQ(favs, (Strings{"[1]A###/A/", "[2]Holiday###/home/Holiday/", "[3]###/"}));
    // A folder whose name holds the separator is still found whole.
    const FavoriteParts p = SplitFavorite(MakeFavoriteEntry(1, "/x/a###b/"));
    EXPECT_EQ(p.display + "|" + p.folder.value_or("?"), "[1]a###b|/x/a###b/");
    EXPECT_EQ(SplitFavorite(favs[2]).display + SplitFavorite(favs[2]).folder.value_or("?"), "[3]/");
    EXPECT_EQ(SplitFavorite("[1]noseparator").folder, std::nullopt);

    favs = {"[1]A###/A/", "[3]C###/C/", "[4]D###/D/", "[123456]E###/E/", "garbage"};
    EXPECT_TRUE(RenumberFavorites(favs));
    EXPECT_EQ(favs,
              (Strings{"[1]A###/A/", "[2]C###/C/", "[3]D###/D/", "[4]E###/E/", "[5]garbage"}));
    EXPECT_FALSE(RenumberFavorites(favs));
    favs = {"[7]X###/X/"}; // adding does not renumber
    AddFavorite(favs, "/Y/");
    EXPECT_EQ(favs[1], "[2]Y###/Y/");

    // Digits up to the first other character.
    EXPECT_EQ((std::vector{FavoriteIndexFromLabel("[1]A", 3), FavoriteIndexFromLabel("[3]", 3),
                           FavoriteIndexFromLabel("[2x]A", 3), FavoriteIndexFromLabel("[02]A", 3)}),
              (std::vector<std::optional<std::size_t>>{0, 2, 1, 1}));
    for (const char* bad :
         {"[0]A", "[4]A", "[-1]A", "[]A", "A", "]1[", "[1", "[18446744073709551617]A"})
        EXPECT_EQ(FavoriteIndexFromLabel(bad, 3), std::nullopt) << bad;
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
    EXPECT_TRUE(g.LoadResult() == FavoritesLoad::Loaded && !g.Changed() &&
                g.Entries() == f.Entries());
}

TEST(FavoritesFile, DamagedFilesAreKeptUnlessChanged) {
    TempDir dir;
    ProgramFolderGuard home(dir.Path());
    const std::string good = WriteStringArray({"[1]A###/A/", "[2]B###/B/"});
    for (const std::string& bytes :
         {good.substr(0, good.size() - 1), good.substr(0, 1), Bytes({5, 0, 1, 'x'}),
          Bytes({1, 0, 0xFF, 0xFE, 0xFF, 2}), std::string("folder")}) {
        if (bytes == "folder") // a tree.sxs that exists but cannot be read
            std::filesystem::create_directory(dir.File("tree.sxs"));
        else
            dir.Write("tree.sxs", bytes);
        CFavorites f;
        f.Load();
        EXPECT_FALSE(f.LoadedCleanly());
        EXPECT_EQ(f.Count(), 0u);
        EXPECT_FALSE(f.SaveAtExit());
        EXPECT_EQ(ReadWholeFile(dir.File("tree.sxs")).value_or("folder"), bytes);
        f.Add("/C/"); // once the user changes the list, it is what gets written
        EXPECT_EQ(f.SaveAtExit(), bytes != "folder");
        EXPECT_EQ(ReadWholeFile(dir.File("tree.sxs")).value_or("folder"),
                  bytes == "folder" ? bytes : WriteStringArray({"[1]C###/C/"}));
        std::filesystem::remove(dir.File("tree.sxs"));
    }
    // Bytes after the list are ignored.
    dir.Write("tree.sxs", good + "junk");
    CFavorites f;
    f.Load();
    EXPECT_EQ(f.Entries(), (Strings{"[1]A###/A/", "[2]B###/B/"}));
}

} // namespace
