#include "platform/FileOps.h"

#include "ScriptedUi.h"
#include "TempDir.h"
#include "library/FileCommands.h"
#include "app/PictureFiles.h"
#include "platform/DirList.h"
#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(FileOps, WritesReplaceWholeAndNeverLoseAFile) {
    TempDir dir;
    const std::string p = dir.File("data");
    ASSERT_TRUE(WriteFileAtomically(p, "first version"));
    ASSERT_TRUE(WriteFileAtomically(p, "2nd"));
    EXPECT_EQ(*ReadWholeFile(p), "2nd");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/folder/x"), "y"));
    // Missing, a folder, larger than allowed: nothing is read.
    EXPECT_FALSE(ReadWholeFile(dir.File("none")) || ReadWholeFile(dir.Path()) ||
                 ReadWholeFile(p, 2));

    // A move never replaces a file; a copy replaces the target but onto
    // itself does nothing.
    dir.Write("a", "A");
    EXPECT_FALSE(MoveFileNoReplace(dir.File("a"), p));
    EXPECT_EQ(*ReadWholeFile(dir.File("a")) + *ReadWholeFile(p), "A2nd");
    EXPECT_TRUE(MoveFileNoReplace(dir.File("a"), dir.File("c")));
    EXPECT_FALSE(FileExists(dir.File("a")));
    EXPECT_EQ(*ReadWholeFile(dir.File("c")), "A");
    EXPECT_TRUE(CopyFileReplace(dir.File("c"), p));
    EXPECT_EQ(*ReadWholeFile(p), "A");
    EXPECT_TRUE(CopyFileReplace(p, dir.Path() + "./data"));
    EXPECT_FALSE(CopyFileReplace(dir.File("none"), p));
    EXPECT_EQ(*ReadWholeFile(p), "A");

    // Delete clears the read-only mark and never takes a folder.
    ::chmod(p.c_str(), 0444);
    EXPECT_TRUE(GetFileFacts(p)->readOnly);
    EXPECT_TRUE(ClearReadOnly(p));
    EXPECT_FALSE(GetFileFacts(p)->readOnly);
    EXPECT_TRUE(DeleteFileAt(p));
    EXPECT_FALSE(DeleteFileAt(p) || DeleteFileAt(dir.Path()));
}

TEST(FileOps, MoveAcrossFileSystemsCopiesThenDeletes) {
    // /dev/shm is a different file system from the temporary folder on most machines.
    TempDir dir;
    struct stat a {};
    struct stat b {};
    if (::stat(dir.Path().c_str(), &a) || ::stat("/dev/shm", &b) || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system";
    const std::string target = "/dev/shm/kelvra-move-" + std::to_string(::getpid());
    dir.Write("m", "moved bytes");
    ASSERT_TRUE(MoveFileNoReplace(dir.File("m"), target));
    EXPECT_FALSE(FileExists(dir.File("m")));
    dir.Write("m2", "other");
    EXPECT_FALSE(MoveFileNoReplace(dir.File("m2"), target)); // the target exists
    EXPECT_TRUE(FileExists(dir.File("m2")));
    EXPECT_EQ(*ReadWholeFile(target), "moved bytes");
    ::unlink(target.c_str());
}

TEST(ProgramFolder, OverrideAndPathHelpers) {
    {
        ProgramFolderGuard g(""); // no override: the executable's folder
        EXPECT_EQ(GetProgramFolder(), std::string(KELVRA_BINARY_DIR) + "/");
    }
    EXPECT_EQ(FileNameOf("/a/b.jpg") + "|" + FolderOf("/a/b.jpg") + "|" + FolderOf("b.jpg") + "|" +
                  WithTrailingSlash("/a") + WithTrailingSlash("/"),
              "b.jpg|/a/||/a//");
    EXPECT_EQ(MakeAbsolutePath("/x/y"), "/x/y");
    EXPECT_EQ(MakeAbsolutePath("photo.jpg"),
              (std::filesystem::current_path() / "photo.jpg").string());
}

TEST(PictureFiles, ExtensionsAndTheFolderWalk) {
    for (const char* yes : {"B.JPG", "c.jpe", "/x/y.z/f.jpeg", "g.tiff24", "weird.g24", ".h.gif"})
        EXPECT_TRUE(IsPictureFile(yes)) << yes;
    for (const char* no : {"a.jp", "c.txt", "noext", "/x/y.jpg/noext", "d.", "f.jpgx", "g.BM"})
        EXPECT_FALSE(IsPictureFile(no)) << no;

    TempDir dir;
    for (const char* n : {"b.JPG", "A.png", "c.txt", "a2.gif", "Z.bmp", "z.tif", "noext"})
        dir.Write(n, "x");
    std::filesystem::create_directory(dir.File("pics.jpg")); // a folder named like a picture
    const std::vector<std::string> list = ListFolderPictures(dir.Path());
    std::vector<std::string> expected;
    for (const char* n : {"A.png", "a2.gif", "b.JPG", "pics.jpg", "Z.bmp", "z.tif"})
        expected.push_back(dir.File(n));
    EXPECT_EQ(list, expected);
    EXPECT_EQ(ListFolderPictures(dir.Path().substr(0, dir.Path().size() - 1)), list);
    EXPECT_TRUE(ListFolderPictures(dir.File("missing")).empty());

    // The listing marks folders, a link to a folder too, and skips the dots.
    std::filesystem::create_symlink(dir.File("pics.jpg"), dir.File("link"));
    std::vector<DirEntry> entries;
    ASSERT_TRUE(ListDirectory(dir.Path(), entries));
    ASSERT_EQ(entries.size(), 9u);
    EXPECT_EQ(entries[4].name + entries[5].name, "linknoext");
    EXPECT_TRUE(entries[4].isDir && entries[6].isDir && !entries[5].isDir);
    EXPECT_FALSE(ListDirectory(dir.File("none"), entries));
    EXPECT_TRUE(entries.empty());

    // Sorting ignores case and keeps the order of equals.
    std::vector<std::string> v{"b", "A", "a", "C", "B", "c", "ab"};
    SortNoCase(v);
    EXPECT_EQ(v, (std::vector<std::string>{"A", "a", "ab", "b", "B", "C", "c"}));
}

// ---------------------------------------------------------------------------
// The file commands of the list: copy, move and delete

class FileCommandsTest : public ::testing::Test {
protected:
    TempDir dir;
    CScriptedUi ui;
    std::string Make(const std::string& name, const std::string& bytes) {
        dir.Write(name, bytes);
        return dir.File(name);
    }
    std::string Read(const std::string& name) const {
        return ReadWholeFile(dir.File(name)).value_or("<none>");
    }
};

TEST_F(FileCommandsTest, DeleteAsksWhenToldKeepsTheFileOnCancelAndReportsAFailure) {
    EXPECT_EQ(CommandTargets({"/a.jpg", "/b.jpg", "/a.jpg"}, "/c.jpg"),
              (std::vector<std::string>{"/a.jpg", "/b.jpg", "/a.jpg"}));
    EXPECT_EQ(CommandTargets({}, "/c.jpg"), (std::vector<std::string>{"/c.jpg"}));
    EXPECT_TRUE(CommandTargets({}, "").empty());

    const std::string a = Make("a.jpg", "A"), b = Make("b.jpg", "B"), c = Make("locked/c.jpg", "C");
    ui.answers = {IPlatformUi::AnswerCancel};
    EXPECT_EQ(DeletePictureFile(a, true), EDeleteResult::kCancelled);
    EXPECT_TRUE(FileExists(a));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text + ui.shown[0].caption, "你确定要删除该文件吗？Tavisk美图");
    EXPECT_EQ(ui.shown[0].buttons, IPlatformUi::OkCancel);
    EXPECT_EQ(DeletePictureFile(a, true), EDeleteResult::kDeleted);
    EXPECT_FALSE(FileExists(a));
    // Without the question a read-only file goes as well, and one already
    // gone counts as deleted; neither shows a message.
    ::chmod(b.c_str(), 0444);
    EXPECT_EQ(DeletePictureFile(b, false), EDeleteResult::kDeleted);
    EXPECT_FALSE(FileExists(b));
    EXPECT_EQ(DeletePictureFile(b, false), EDeleteResult::kDeleted);
    EXPECT_EQ(ui.shown.size(), 2u);
    // A file that cannot be deleted is reported and stays.
    ASSERT_TRUE(dir.MakeReadOnly(dir.File("locked")));
    EXPECT_EQ(DeletePictureFile(c, false), EDeleteResult::kFailed);
    EXPECT_TRUE(FileExists(c));
    EXPECT_EQ(ui.shown.back().text, "删除文件失败");
}

TEST_F(FileCommandsTest, CopyReplacesButNeverOntoItselfAndMoveNeverReplaces) {
    const std::string a = Make("a.jpg", "new bytes"), b = Make("b.jpg", "B");
    Make("out/a.jpg", "old");
    Make("out/b.jpg", "other B");
    EXPECT_EQ(CopyFilesTo({a, a}, dir.File("out")), 2);
    EXPECT_EQ(Read("out/a.jpg"), "new bytes");
    // Its own folder (as the chooser gives it, with "/"): the file is intact.
    EXPECT_EQ(CopyFilesTo({a}, dir.Path()), 1);
    EXPECT_EQ(Read("a.jpg"), "new bytes");
    // A folder that does not exist: nothing is copied, nothing left behind.
    EXPECT_EQ(CopyFilesTo({a}, dir.File("missing")), 0);
    EXPECT_FALSE(FileExists(dir.File("missing")));

    std::filesystem::remove(dir.File("out/a.jpg"));
    EXPECT_EQ(MoveFilesTo({a, b, a}, dir.File("out") + "/"), std::vector<std::string>{a});
    EXPECT_EQ(Read("a.jpg") + Read("out/a.jpg"), "<none>new bytes");
    EXPECT_EQ(Read("b.jpg") + Read("out/b.jpg"), "Bother B");
    EXPECT_EQ(PathInFolder("/x/y", "/p/q/r.jpg"), "/x/y/r.jpg");
    EXPECT_EQ(PathInFolder("/x/y/", "/p/q/r.jpg"), "/x/y/r.jpg");
}

} // namespace
