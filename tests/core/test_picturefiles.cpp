#include "app/PictureFiles.h"

#include "TempDir.h"
#include "platform/DirList.h"

#include <gtest/gtest.h>

namespace {

TEST(PictureFiles, ExtensionTest) {
    for (const char* yes : {"a.jpg", "B.JPG", "c.jpe", "d.tif", "e.PnG", "/x/y.z/f.jpeg",
                            "g.tiff24", "h.ico", "weird.g24", ".hidden.gif"})
        EXPECT_TRUE(IsPictureFile(yes)) << yes;
    for (const char* no :
         {"a.jp", "b.tar", "c.txt", "noext", "/x/y.jpg/noext", "d.", "e.j", "f.jpgx", "g.BM"})
        EXPECT_FALSE(IsPictureFile(no)) << no;
}

TEST(PictureFiles, FolderWalkListsPicturesInNameOrder) {
    TempDir dir;
    for (const char* n : {"b.JPG", "A.png", "c.txt", "a2.gif", "Z.bmp", "z.tif", "noext"})
        dir.Write(n, "x");
    std::filesystem::create_directory(dir.File("pics.jpg")); // a folder named like a picture
    auto list = ListFolderPictures(dir.Path());
    std::vector<std::string> names;
    for (auto& p : list) {
        EXPECT_EQ(p.rfind(dir.Path(), 0), 0u);
        names.push_back(p.substr(dir.Path().size()));
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"A.png", "a2.gif", "b.JPG", "pics.jpg", "Z.bmp", "z.tif"}));
    // Without a trailing slash the paths are the same.
    std::string noSlash = dir.Path().substr(0, dir.Path().size() - 1);
    EXPECT_EQ(ListFolderPictures(noSlash), list);
    EXPECT_TRUE(ListFolderPictures(dir.File("missing")).empty());
}

TEST(PictureFiles, DirectoryListingSkipsDotsAndMarksFolders) {
    TempDir dir;
    dir.Write("file", "");
    std::filesystem::create_directory(dir.File("Sub"));
    std::filesystem::create_symlink(dir.File("Sub"), dir.File("link"));
    std::vector<DirEntry> entries;
    ASSERT_TRUE(ListDirectory(dir.Path(), entries));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "file");
    EXPECT_FALSE(entries[0].isDir);
    EXPECT_EQ(entries[1].name, "link");
    EXPECT_TRUE(entries[1].isDir); // a link to a folder is a folder
    EXPECT_TRUE(entries[2].isDir);
    EXPECT_FALSE(ListDirectory(dir.File("none"), entries));
    EXPECT_TRUE(entries.empty());
}

TEST(PictureFiles, SortNoCaseIsAscendingAndStable) {
    std::vector<std::string> v{"b", "A", "a", "C", "B", "c", "ab"};
    SortNoCase(v);
    EXPECT_EQ(v, (std::vector<std::string>{"A", "a", "ab", "b", "B", "C", "c"}));
    std::vector<std::string> one{"x"};
    SortNoCase(one);
    EXPECT_EQ(one.size(), 1u);
}

TEST(PictureFiles, NamesCompareUpperCased) {
    TempDir dir; // upper-cased, letters come before "[", "^", "_" and "`"
    for (const char* n : {"_x.jpg", "a.jpg", "B.gif", "`q.bmp"})
        dir.Write(n, "x");
    EXPECT_EQ(ListFolderPictures(dir.Path()),
              (std::vector{dir.File("a.jpg"), dir.File("B.gif"), dir.File("_x.jpg"),
                           dir.File("`q.bmp")}));
}

} // namespace
