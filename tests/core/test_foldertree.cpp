#include "library/FolderTree.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

namespace {

void MakeDirs(const TempDir& t, const Strings& dirs) {
    for (const std::string& d : dirs)
        fs::create_directories(t.File(d));
}

Strings Names(const std::vector<TreeChild>& children) {
    Strings out;
    for (const TreeChild& c : children)
        out.push_back(c.name);
    return out;
}

} // namespace

TEST(FolderTree, DirectoriesAreFoldersWhateverTheirName) {
    TempDir t;
    MakeDirs(t, {"v1.2", "2024.05 Trip", "ver.2", "old.png", "plain"});
    for (const char* f : {"a.jpg", "x.JpG", "photo.jpe", "a.ps", "backup.old", "README", "b.2"})
        t.Write(f, "x");
    for (const char* d : {"v1.2", "2024.05 Trip", "ver.2", "old.png", "plain"})
        EXPECT_EQ(ClassifyTreePath(t.File(d)), kTreeFolder) << d;
    EXPECT_EQ(ClassifyTreePath(t.File("old.png") + "/"), kTreeFolder);
    for (const char* f : {"a.jpg", "x.JpG", "photo.jpe"})
        EXPECT_EQ(ClassifyTreePath(t.File(f)), kTreeImageFile) << f;
    // Too short an extension, an unknown one, none at all: other files, never
    // shown as folders.
    for (const char* f : {"a.ps", "backup.old", "README", "b.2"})
        EXPECT_EQ(ClassifyTreePath(t.File(f)), kTreeOtherFile) << f;
    EXPECT_EQ(ClassifyTreePath(""), kTreeFolder);
}

TEST(FolderTree, ChildrenShownWithAndWithoutFiles) {
    TempDir t;
    MakeDirs(t, {"Empty", "deep/inner", "v1.2", ".hidden/sub", "onlyhidden/.cache"});
    t.Write("b.png", "x");
    t.Write("A.jpg", "x");
    t.Write("notes.txt", "x");
    t.Write(".secret.jpg", "x");
    t.Write("Empty/in.jpg", "x");

    std::vector<TreeChild> c;
    ASSERT_TRUE(ListTreeChildren(t.Path(), false, c));
    EXPECT_EQ(Names(c), (Strings{"deep", "Empty", "onlyhidden", "v1.2"}));
    // Without files, only a folder holding a folder gets an expand button.
    EXPECT_TRUE(c[0].hasChildren);
    EXPECT_FALSE(c[1].hasChildren);
    EXPECT_FALSE(c[3].hasChildren);

    ASSERT_TRUE(ListTreeChildren(t.Path(), true, c));
    EXPECT_EQ(Names(c), (Strings{"A.jpg", "b.png", "deep", "Empty", "onlyhidden", "v1.2"}));
    EXPECT_EQ(c[0].cls, kTreeImageFile);
    EXPECT_FALSE(c[0].hasChildren);
    for (std::size_t i = 2; i < c.size(); ++i)
        EXPECT_TRUE(c[i].hasChildren) << c[i].name; // any folder may hold pictures

    EXPECT_FALSE(ListTreeChildren(t.File("missing"), false, c));
    EXPECT_TRUE(c.empty());
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

    EXPECT_EQ(FolderPartOf("/a.jpg"), "/");
    EXPECT_EQ(FolderPartOf("/x/y/a.jpg"), "/x/y");
    EXPECT_EQ(HistoryText("/"), "/");
    EXPECT_EQ(HistoryText("/x/y/"), "/x/y");
    EXPECT_TRUE(SameFolder("/x/y/", "/x/y"));
    EXPECT_FALSE(SameFolder("/x/y", "/x/yz"));
}

TEST(FolderTree, SegmentMatchPrefersEqualNames) {
    // Containment only when nothing equals the segment.
    EXPECT_EQ(MatchTreeSegment({"12024", "2024"}, "2024"), 1);
    EXPECT_EQ(MatchTreeSegment({"Photos", "photos"}, "photos"), 1);
    EXPECT_EQ(MatchTreeSegment({"12024", "PHOTOS"}, "photos"), 1);
    EXPECT_EQ(MatchTreeSegment({"2024.05 Trip", "Trips"}, "trip"), 0);
    EXPECT_EQ(MatchTreeSegment({"a", "b"}, "c"), -1);
    EXPECT_EQ(MatchTreeSegment({"a"}, ""), -1);
}

TEST(FolderTree, ResolvePathOnRealFolders) {
    TempDir t;
    MakeDirs(t, {"data/12024/x", "data/2024/y", "data/Photos", "data/photos/inner",
                 "data/2024.05 Trip/day1", "data/v1.2/z"});
    const std::string top = t.Path();
    auto resolve = [&](const std::string& rel) { return ResolveTreePath(top, top + rel); };
    EXPECT_EQ(resolve("data/2024/y"), top + "data/2024/y");
    EXPECT_EQ(resolve("data/photos/inner"), top + "data/photos/inner");
    EXPECT_EQ(resolve("data/PHOTOS"), top + "data/Photos"); // the first equal without case
    EXPECT_EQ(resolve("data/2024.05 Trip/day1/"), top + "data/2024.05 Trip/day1");
    EXPECT_EQ(resolve("data/v1.2/z"), top + "data/v1.2/z");
    EXPECT_EQ(resolve("data/Trip"), top + "data/2024.05 Trip"); // containment fallback
    // A segment found nowhere stops the walk at the deepest folder reached.
    EXPECT_EQ(resolve("data/nothing/y"), top + "data");
    EXPECT_EQ(ResolveTreePath(top + "data", "/elsewhere"), std::nullopt);

    t.Write("data/2024/y/pic.jpg", "x");
    EXPECT_EQ(ResolveTreePath(top, top + "data/2024/y/pic.jpg", true), top + "data/2024/y/pic.jpg");
    EXPECT_EQ(ResolveTreePath(top, top + "data/2024/y/pic.jpg", false), top + "data/2024/y");
}

TEST(FolderTree, MountKinds) {
    const std::string info = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                             "30 22 0:40 / /srv/share rw - nfs4 server:/export rw\n"
                             "31 22 8:17 / /run/media/u/USB\\040STICK rw - vfat /dev/sdb1 rw\n"
                             "32 22 11:0 / /mnt/cd rw - iso9660 /dev/sr0 ro\n"
                             "33 30 8:2 / /srv/share/local rw - ext4 /dev/sda2 rw\n";
    EXPECT_TRUE(IsFixedDiskPath(info, "/home/u/Pictures"));
    EXPECT_FALSE(IsFixedDiskPath(info, "/srv/share/a"));
    EXPECT_FALSE(IsFixedDiskPath(info, "/srv/share"));
    EXPECT_TRUE(IsFixedDiskPath(info, "/srv/sharex"));        // not inside the share
    EXPECT_TRUE(IsFixedDiskPath(info, "/srv/share/local/b")); // the deepest mount decides
    EXPECT_FALSE(IsFixedDiskPath(info, "/run/media/u/USB STICK/DCIM"));
    EXPECT_FALSE(IsFixedDiskPath(info, "/mnt/cd"));
}
