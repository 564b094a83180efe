#include "platform/FileOps.h"

#include "ScriptedFileOps.h"
#include "ScriptedUi.h"
#include "TempDir.h"
#include "library/FileCommands.h"
#include "library/FileNaming.h"
#include "library/FolderTree.h"
#include "app/PictureFiles.h"
#include "platform/DirList.h"
#include "platform/ProgramFolder.h"
#include "thumbs/FolderPathCheck.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>

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

    // Names compare upper-cased: letters come before "[", "^", "_" and "`".
    TempDir marks;
    for (const char* n : {"_x.jpg", "a.jpg", "B.gif", "`q.bmp"})
        marks.Write(n, "x");
    EXPECT_EQ(ListFolderPictures(marks.Path()),
              (std::vector{marks.File("a.jpg"), marks.File("B.gif"), marks.File("_x.jpg"),
                           marks.File("`q.bmp")}));
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

// ---------------------------------------------------------------------------
// Rename, move, copy and delete of one file, and batch rename: nothing is
// ever replaced, failures are reported, permissions stay as they were.

int Mode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

TEST_F(FileCommandsTest, RenameAndMoveNeverReplaceAndReportFailures) {
    std::string to;
    const std::string ab = Make("a.b.jpg", "AB"), c = dir.File("c.jpg"), out = dir.File("out");
    ::chmod(ab.c_str(), 0444);
    ASSERT_TRUE(RenamePictureFile(ab, "c", "T", to) && to == c);
    EXPECT_EQ(Mode(c), 0444);
    for (auto [typed, message] : {std::pair{"c", "输入的文件名，已经存在!"},
                                  {"", "重命名文件失败"},
                                  {"../q", "重命名文件失败"}}) {
        EXPECT_FALSE(RenamePictureFile(c, typed, "T", to)) << typed;
        EXPECT_EQ(ui.shown.back().text + ui.shown.back().caption, message + std::string("T"));
    }
    // The move keeps the file's own extension; failures say so.
    Make("out/taken.jpg", "T");
    EXPECT_EQ(MovePictureFile(c, "", "x", to), EMoveResult::kNothing);
    for (auto [folder, typed] :
         {std::pair<std::string, const char*>{out, "taken"}, {"out", "x"}, {out, "sub/x"}})
        EXPECT_EQ(MovePictureFile(c, folder, typed, to), EMoveResult::kFailed) << typed;
    EXPECT_EQ(ui.shown.size(), 6u);
    EXPECT_EQ(ui.shown.back().text, "移动文件失败");
    {
        // A file that appears between the check and the rename survives.
        CScriptedFileOps race([](EFileOp, const std::string&, const std::string& target) {
            std::ofstream(target) << "late";
            return 0;
        });
        EXPECT_FALSE(RenamePictureFile(c, "f", "T", to));
        EXPECT_EQ(ui.shown.back().text, "输入的文件名，已经存在!");
        EXPECT_EQ(MovePictureFile(c, out, "g", to), EMoveResult::kFailed);
    }
    EXPECT_EQ(Read("f.jpg") + Read("out/g.jpg"), "latelate");
    EXPECT_EQ(MovePictureFile(c, out + "/", "new.txt", to), EMoveResult::kMoved);
    EXPECT_EQ(Read("out/new.jpg") + Read("out/taken.jpg"), "ABT");
}

TEST_F(FileCommandsTest, CopyFailuresAreReportedAndNothingUnwritableReplaced) {
    const std::string a = Make("a.jpg", "new"), old = Make("out/a.jpg", "old");
    {
        CScriptedFileOps failing(CScriptedFileOps::Failing(EFileOp::kCopy, ENOSPC));
        EXPECT_EQ(CopyFilesTo({a}, dir.File("out")), 0);
        EXPECT_EQ(ui.shown.back().text, "复制文件失败");
    }
    // A target its owner keeps read-only is not replaced through the folder's
    // permission; checked as an ordinary user, since root may write anything.
    for (const std::string& path : {dir.Path(), dir.File("out")})
        ::chmod(path.c_str(), 0777);
    ::chmod(old.c_str(), 0444);
    if (::geteuid() != 0)
        EXPECT_EQ(CopyFilesTo({a}, dir.File("out")), 0);
    else if (::fork() == 0)
        ::_exit(::setgid(65534) || ::setuid(65534) ? 9 : CopyFilesTo({a}, dir.File("out")));
    ::wait(nullptr);
    EXPECT_EQ(Read("out/a.jpg"), "old");
    EXPECT_EQ(Mode(old), 0444);
}

TEST_F(FileCommandsTest, BatchRenameSkipsTakenNamesAndChangesNothingTheSecondTime) {
    std::vector<BatchItem> items;
    for (const char* name : {"p0.jpg", "p1.jpg", "p2.PNG"})
        items.push_back({Make(name, name), kTreeImageFile});
    Make("Trip2.jpg", "other");
    EXPECT_EQ(ApplyBatchRename(PlanBatchRename(items, 3, "Trip", kNumberAfter)).size(), 2u);
    EXPECT_EQ(Read("Trip1.jpg") + Read("Trip2.jpg") + Read("p1.jpg") + Read("Trip3.PNG"),
              "p0.jpgotherp1.jpgp2.PNG");
    items[0].path = dir.File("Trip1.jpg");
    items[2].path = dir.File("Trip3.PNG");
    EXPECT_TRUE(ApplyBatchRename(PlanBatchRename(items, 3, "Trip", kNumberAfter)).empty());
}

TEST(FolderPathCheck, FormOfATypedPath) {
    TempDir dir;
    dir.Write("odd name?*:/keep", "x"); // an existing folder may hold any character
    const std::string odd = dir.File("odd name?*:");
    for (const std::string& ok : {std::string("/"), odd, odd + "/", odd + "/new/deeper"})
        EXPECT_EQ(TestFolderPath(ok), kFolderPathOk) << ok;
    for (const std::string& bad :
         {std::string(), std::string("relative/dir"), dir.File("new/"), dir.File("a//b"),
          dir.File("ends."), dir.File(" lead"), dir.File("what?"), dir.File("x/../y"),
          dir.File(std::string(256, 'n')), "/" + std::string(kMaxPath, 'n'),
          dir.File(std::string("a\0b", 3))})
        EXPECT_EQ(TestFolderPath(bad), kFolderPathInvalid) << bad.substr(0, 80);
}

// The window test answers Yes; here No, and a folder that cannot be made.
TEST(FolderPathCheck, MissingFoldersAreMadeOnlyAfterYes) {
    TempDir dir;
    CScriptedUi ui;
    const std::string path = dir.File("a/b"), blocked = dir.File("file/sub");
    ui.answers = {IPlatformUi::AnswerNo};
    EXPECT_FALSE(CheckChosenFolder(path));
    EXPECT_FALSE(FileExists(dir.File("a")));
    EXPECT_EQ(ui.shown[0].text, "The folder:\n\n" + path +
                                    "\n\ndoes not exist. Do you want the folder to be created?");
    dir.Write("file", "x"); // a file in the way cannot become a folder
    EXPECT_FALSE(CheckChosenFolder(blocked));
    EXPECT_EQ(ui.shown.back().text,
              "The folder:\n\n" + blocked + "\n\ncan not be created. Please double check.");
}

TEST(FileNaming, SerialNumbersAndDigitWidths) {
    const std::pair<int, const char*> widths[] = {{0, ""}, {1, "5"}, {10, "0000000005"}, {11, ""}};
    for (auto [width, text] : widths)
        EXPECT_EQ(FormatSerialNumber(5, width), text) << width;
    EXPECT_EQ(FormatSerialNumber(123, 2), "123");
    for (auto [count, digits] : {std::pair{9, 1}, {10, 2}, {99, 2}, {100, 3}})
        EXPECT_EQ(DecimalDigits(count), digits) << count;
}

std::vector<BatchItem> Pictures(int n, const std::string& folder = "/f/") {
    std::vector<BatchItem> items;
    for (int i = 0; i < n; ++i)
        items.push_back({folder + "p" + std::to_string(i) + ".jpg", kTreeImageFile});
    return items;
}

std::string Last(const std::vector<BatchStep>& steps) {
    return steps.empty() ? "" : steps.back().newPath;
}

TEST(FileNaming, BatchNamesNumberThePicturesInTreeOrder) {
    EXPECT_EQ(Last(PlanBatchRename(Pictures(7), 7, "Trip", kNumberAfter)), "/f/Trip7.jpg");
    EXPECT_EQ(PlanBatchRename(Pictures(12), 12, "Trip", kNumberAfter)[0].newPath, "/f/Trip01.jpg");
    EXPECT_EQ(Last(PlanBatchRename(Pictures(2), 2, "A*B*", kNumberMiddle)), "/f/A2B*.jpg");
    EXPECT_EQ(Last(PlanBatchRename(Pictures(2), 2, "AB", kNumberMiddle)), "/f/2AB.jpg");
    EXPECT_EQ(Last(PlanBatchRename({{"/f/IMG_7.JPG", kTreeImageFile}}, 1, "x", kNumberBefore)),
              "/f/1x.JPG");
    // Pictures beyond the count are left alone.
    EXPECT_EQ(PlanBatchRename(Pictures(3), 2, "n", kNumberAfter).size(), 2u);
    // Each new name lies in the folder of its own file; "/" renames nothing.
    EXPECT_EQ(Last(PlanBatchRename(Pictures(1, "/y/z/"), 1, "t", kNumberAfter)), "/y/z/t1.jpg");
    EXPECT_TRUE(PlanBatchRename(Pictures(2), 2, "../t", kNumberAfter).empty());
}

} // namespace
