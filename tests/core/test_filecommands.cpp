#include "library/FileCommands.h"

#include "platform/FileOps.h"
#include "library/FolderTree.h"
#include "ScriptedFileOps.h"
#include "ScriptedUi.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

class FileCommandsTest : public ::testing::Test {
protected:
    TempDir dir;
    CScriptedUi ui;

    std::string Make(const std::string& name, const std::string& bytes) {
        dir.Write(name, bytes);
        return dir.File(name);
    }
    static std::string Read(const std::string& path) {
        return ReadWholeFile(path).value_or("<none>");
    }
};

TEST_F(FileCommandsTest, TargetsAreTheSelectionElseTheClickedFile) {
    EXPECT_EQ(CommandTargets({"/a.jpg", "/b.jpg", "/a.jpg"}, "/c.jpg"),
              (std::vector<std::string>{"/a.jpg", "/b.jpg", "/a.jpg"}));
    EXPECT_EQ(CommandTargets({}, "/c.jpg"), (std::vector<std::string>{"/c.jpg"}));
    EXPECT_TRUE(CommandTargets({}, "").empty());
}

TEST_F(FileCommandsTest, DeleteAsksWhenToldAndKeepsTheFileOnCancel) {
    const std::string a = Make("a.jpg", "A");
    ui.answers = {IPlatformUi::AnswerCancel};
    EXPECT_EQ(DeletePictureFile(a, true), EDeleteResult::kCancelled);
    EXPECT_TRUE(FileExists(a));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "你确定要删除该文件吗？");
    EXPECT_EQ(ui.shown[0].caption, "Tavisk美图");
    EXPECT_EQ(ui.shown[0].buttons, IPlatformUi::OkCancel);

    EXPECT_EQ(DeletePictureFile(a, true), EDeleteResult::kDeleted);
    EXPECT_FALSE(FileExists(a));
    EXPECT_EQ(ui.shown.size(), 2u);

    // Without the question; a read-only file goes as well.
    const std::string b = Make("b.jpg", "B");
    ::chmod(b.c_str(), 0444);
    EXPECT_EQ(DeletePictureFile(b, false), EDeleteResult::kDeleted);
    EXPECT_FALSE(FileExists(b));
    EXPECT_EQ(ui.shown.size(), 2u);

    // A file that is already gone is gone: no failure message.
    EXPECT_EQ(DeletePictureFile(b, false), EDeleteResult::kDeleted);
    EXPECT_EQ(ui.shown.size(), 2u);
}

TEST_F(FileCommandsTest, AFileThatCannotBeDeletedIsReportedAndStays) {
    const std::string c = Make("locked/c.jpg", "C");
    if (!dir.MakeReadOnly(dir.File("locked")))
        GTEST_SKIP() << "the file system cannot lock a folder";
    EXPECT_EQ(DeletePictureFile(c, false), EDeleteResult::kFailed);
    EXPECT_TRUE(FileExists(c));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "删除文件失败");
}

TEST_F(FileCommandsTest, CopyReplacesTheTargetButNeverCopiesAFileOntoItself) {
    const std::string a = Make("a.jpg", "new bytes");
    Make("out/a.jpg", "old");
    EXPECT_EQ(CopyFilesTo({a, a}, dir.File("out")), 2);
    EXPECT_EQ(Read(dir.File("out/a.jpg")), "new bytes");
    EXPECT_EQ(Read(a), "new bytes");

    // Its own folder (as the chooser gives it, with "/"): the file is intact.
    EXPECT_EQ(CopyFilesTo({a}, dir.Path()), 1);
    EXPECT_EQ(Read(a), "new bytes");

    // A folder that does not exist: nothing is copied, nothing left behind.
    EXPECT_EQ(CopyFilesTo({a}, dir.File("missing")), 0);
    EXPECT_FALSE(FileExists(dir.File("missing")));
}

TEST_F(FileCommandsTest, MoveNeverReplacesAndReportsOnlyWhatMoved) {
    const std::string a = Make("a.jpg", "A"), b = Make("b.jpg", "B");
    Make("out/b.jpg", "other B");
    auto moved = MoveFilesTo({a, b, a}, dir.File("out") + "/");
    EXPECT_EQ(moved, (std::vector<std::string>{a}));
    EXPECT_FALSE(FileExists(a));
    EXPECT_EQ(Read(dir.File("out/a.jpg")), "A");
    EXPECT_EQ(Read(b), "B");
    EXPECT_EQ(Read(dir.File("out/b.jpg")), "other B");
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
    for (auto [typed, message] :
         {std::pair{"c", "输入的文件名，已经存在!"}, {"", "重命名文件失败"}}) {
        EXPECT_FALSE(RenamePictureFile(c, typed, "T", to)) << typed;
        EXPECT_EQ(ui.shown.back().text + ui.shown.back().caption, message + std::string("T"));
    }
    // The move keeps the file's own extension; failures say so.
    Make("out/taken.jpg", "T");
    EXPECT_EQ(MovePictureFile(c, "", "x", to), EMoveResult::kNothing);
    for (auto [folder, typed] :
         {std::pair<std::string, const char*>{out, "taken"}, {"out", "x"}, {out, "sub/x"}})
        EXPECT_EQ(MovePictureFile(c, folder, typed, to), EMoveResult::kFailed) << typed;
    EXPECT_EQ(ui.shown.size(), 5u);
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
    EXPECT_EQ(Read(dir.File("f.jpg")) + Read(dir.File("out/g.jpg")), "latelate");
    EXPECT_EQ(MovePictureFile(c, out + "/", "new.txt", to), EMoveResult::kMoved);
    EXPECT_EQ(Read(dir.File("out/new.jpg")) + Read(dir.File("out/taken.jpg")), "ABT");
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
    EXPECT_EQ(Read(old), "old");
    EXPECT_EQ(Mode(old), 0444);
}

TEST_F(FileCommandsTest, BatchRenameSkipsTakenNamesAndChangesNothingTheSecondTime) {
    std::vector<BatchItem> items;
    for (const char* name : {"p0.jpg", "p1.jpg", "p2.PNG"})
        items.push_back({Make(name, name), kTreeImageFile});
    Make("Trip2.jpg", "other");
    EXPECT_EQ(ApplyBatchRename(PlanBatchRename(items, 3, "Trip", kNumberAfter)).size(), 2u);
    EXPECT_EQ(Read(dir.File("Trip1.jpg")) + Read(dir.File("Trip2.jpg")) + Read(dir.File("p1.jpg")) +
                  Read(dir.File("Trip3.PNG")),
              "p0.jpgotherp1.jpgp2.PNG");
    items[0].path = dir.File("Trip1.jpg");
    items[2].path = dir.File("Trip3.PNG");
    EXPECT_TRUE(ApplyBatchRename(PlanBatchRename(items, 3, "Trip", kNumberAfter)).empty());
}

} // namespace
