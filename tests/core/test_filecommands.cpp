#include "library/FileCommands.h"

#include "platform/FileOps.h"
#include "ScriptedUi.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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
