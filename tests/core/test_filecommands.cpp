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

} // namespace

// ---------------------------------------------------------------------------
// Rename, move, copy and delete of one file, and batch rename: nothing is
// ever replaced, failures are reported, permissions stay as they were.

namespace {

class OneFileCommandsTest : public FileCommandsTest {
protected:
    // Mode bits of a file, -1 when it is gone.
    static int Mode(const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }
    // A hook that puts a file at the target just before the move.
    static FileOpHook Racing(const std::string& bytes) {
        return [bytes](EFileOp op, const std::string&, const std::string& to) {
            if (op == EFileOp::kMove)
                std::ofstream(to) << bytes;
            return 0;
        };
    }
    // Runs f as the user "nobody" when the test runs as root (who may write
    // every file); its result as the exit code.
    template <class F> static int AsOrdinaryUser(F f) {
        if (::geteuid() != 0)
            return f();
        pid_t pid = ::fork();
        if (pid == 0)
            ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 ? f() : 99);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
    }
};

TEST_F(OneFileCommandsTest, RenameKeepsTheExtensionAndNeverReplaces) {
    std::string to;
    const std::string ab = Make("a.b.jpg", "AB");
    ::chmod(ab.c_str(), 0444);
    ASSERT_TRUE(RenamePictureFile(ab, "c", "T", to));
    EXPECT_EQ(to, dir.File("c.jpg"));
    EXPECT_EQ(Read(to), "AB");
    EXPECT_EQ(Mode(to), 0444);
    ASSERT_TRUE(RenamePictureFile(Make("noext", "N"), "x", "T", to));
    EXPECT_EQ(to, dir.File("x"));
    EXPECT_TRUE(ui.shown.empty());

    // The same name, a taken name, "" and "/" are refused.
    Make("d.jpg", "D");
    const std::pair<const char*, const char*> refused[] = {
        {"c", "输入的文件名，已经存在!"},
        {"d", "输入的文件名，已经存在!"},
        {"", "重命名文件失败"},
        {"sub/e", "重命名文件失败"},
    };
    for (auto [typed, message] : refused) {
        EXPECT_FALSE(RenamePictureFile(dir.File("c.jpg"), typed, "T", to)) << typed;
        EXPECT_EQ(ui.shown.back().text, message);
        EXPECT_EQ(ui.shown.back().caption, "T");
    }
    EXPECT_EQ(Read(dir.File("c.jpg")), "AB");
    EXPECT_EQ(Read(dir.File("d.jpg")), "D");

    // A file that appears between the check and the rename survives.
    CScriptedFileOps race(Racing("late"));
    EXPECT_FALSE(RenamePictureFile(dir.File("c.jpg"), "f", "T", to));
    EXPECT_EQ(ui.shown.back().text, "输入的文件名，已经存在!");
    EXPECT_EQ(Read(dir.File("f.jpg")), "late");
    EXPECT_EQ(Read(dir.File("c.jpg")), "AB");
}

TEST_F(OneFileCommandsTest, MoveUsesTheOldExtensionAndReportsFailures) {
    std::string to;
    const std::string a = Make("a.JPG", "A");
    Make("out/taken.JPG", "T");
    const std::string out = dir.File("out");
    EXPECT_EQ(MovePictureFile(a, "", "x", to), EMoveResult::kNothing);
    EXPECT_EQ(MovePictureFile(a, out, "", to), EMoveResult::kNothing);
    EXPECT_TRUE(ui.shown.empty());
    for (auto [folder, typed] : {std::pair<std::string, std::string>{out, "taken"},
                                 {"out", "x"},
                                 {out, "sub/x"},
                                 {dir.File("missing"), "x"}}) {
        EXPECT_EQ(MovePictureFile(a, folder, typed, to), EMoveResult::kFailed) << folder << typed;
        EXPECT_EQ(ui.shown.back().text, "移动文件失败");
    }
    EXPECT_EQ(ui.shown.size(), 4u);
    EXPECT_EQ(Read(dir.File("out/taken.JPG")), "T");
    {
        CScriptedFileOps race(Racing("late"));
        EXPECT_EQ(MovePictureFile(a, out, "new", to), EMoveResult::kFailed);
        EXPECT_EQ(Read(dir.File("out/new.JPG")), "late");
    }
    EXPECT_EQ(MovePictureFile(a, out + "/", "new2.txt", to), EMoveResult::kMoved);
    EXPECT_EQ(to, dir.File("out/new2.JPG"));
    EXPECT_EQ(Read(to), "A");
    EXPECT_FALSE(FileExists(a));
}

TEST_F(OneFileCommandsTest, CopyAndDeleteFailuresAreReported) {
    const std::string a = Make("a.jpg", "new"), old = Make("out/a.jpg", "old");
    {
        CScriptedFileOps failing(CScriptedFileOps::Failing(EFileOp::kCopy, ENOSPC));
        EXPECT_EQ(CopyFilesTo({a}, dir.File("out")), 0);
        EXPECT_EQ(ui.shown.back().text, "复制文件失败");
    }
    // A target its owner keeps read-only is not replaced behind his back,
    // though the folder would allow it.
    ::chmod(dir.Path().c_str(), 0777);
    ::chmod(dir.File("out").c_str(), 0777);
    ::chmod(old.c_str(), 0444);
    EXPECT_EQ(AsOrdinaryUser([&] { return CopyFilesTo({a}, dir.File("out")); }), 0);
    EXPECT_EQ(Read(old), "old");
    EXPECT_EQ(Mode(old), 0444);

    // A delete that fails keeps the file and its permissions.
    CScriptedFileOps failing(CScriptedFileOps::Failing(EFileOp::kDelete, EACCES));
    EXPECT_EQ(DeletePictureFile(old, false), EDeleteResult::kFailed);
    EXPECT_EQ(ui.shown.back().text, "删除文件失败");
    EXPECT_EQ(Mode(old), 0444);
}

TEST_F(OneFileCommandsTest, BatchRenameSkipsTakenNamesAndChangesNothingTheSecondTime) {
    std::vector<BatchItem> items;
    for (const char* name : {"p0.jpg", "p1.jpg", "p2.PNG"})
        items.push_back({Make(name, name), kTreeImageFile});
    Make("Trip2.jpg", "other");
    auto steps = PlanBatchRename(items, 3, "Trip", kNumberAfter);
    auto done = ApplyBatchRename(steps);
    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(done[1].newPath, dir.File("Trip3.PNG"));
    EXPECT_EQ(Read(dir.File("Trip1.jpg")), "p0.jpg");
    EXPECT_EQ(Read(dir.File("Trip2.jpg")), "other");
    EXPECT_EQ(Read(dir.File("p1.jpg")), "p1.jpg");
    EXPECT_EQ(Read(dir.File("Trip3.PNG")), "p2.PNG");

    // Again over the files as they are named now.
    items[0].path = dir.File("Trip1.jpg");
    items[2].path = dir.File("Trip3.PNG");
    EXPECT_TRUE(ApplyBatchRename(PlanBatchRename(items, 3, "Trip", kNumberAfter)).empty());
    EXPECT_EQ(Read(dir.File("p1.jpg")), "p1.jpg");
}

} // namespace
