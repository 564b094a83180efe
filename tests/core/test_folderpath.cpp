#include "thumbs/FolderPathCheck.h"

#include "platform/FileOps.h"
#include "platform/ProgramFolder.h"
#include "ScriptedUi.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(FolderPathCheck, FormOfATypedPath) {
    TempDir dir;
    dir.Write("odd name?*:/keep", "x"); // an existing folder with any characters
    const std::string odd = dir.File("odd name?*:");
    struct Case {
        std::string path;
        EFolderPathCode code;
    } cases[] = {
        {"/", kFolderPathOk},
        {odd, kFolderPathOk},
        {odd + "/", kFolderPathOk},
        {odd + "/new/deeper", kFolderPathOk},
        {dir.File("a b/c"), kFolderPathOk},
        {"", kFolderPathInvalid},
        {"relative/dir", kFolderPathInvalid},
        {dir.File("new/"), kFolderPathInvalid},
        {dir.File("a//b"), kFolderPathInvalid},
        {dir.File("ends."), kFolderPathInvalid},
        {dir.File(" lead"), kFolderPathInvalid},
        {dir.File("what?"), kFolderPathInvalid},
        {dir.File("x/../y"), kFolderPathInvalid},
        {dir.File(std::string(256, 'n')), kFolderPathInvalid},
        {"/" + std::string(kMaxPath, 'n'), kFolderPathInvalid}, // refused, not cut
        {dir.File(std::string("a\0b", 3)), kFolderPathInvalid},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TestFolderPath(c.path), c.code) << c.path.substr(0, 80);
    EXPECT_TRUE(IsValidFolderName("a b.c"));
    EXPECT_FALSE(IsValidFolderName("a|b"));
}

TEST(FolderPathCheck, MissingFoldersAreMadeAfterTheQuestion) {
    TempDir dir;
    CScriptedUi ui;
    const std::string path = dir.File("a/b");

    ui.answers = {IPlatformUi::AnswerNo};
    EXPECT_FALSE(CheckChosenFolder(path));
    EXPECT_FALSE(FileExists(dir.File("a")));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "The folder:\n\n" + path +
                                    "\n\ndoes not exist. Do you want the folder to be created?");
    EXPECT_EQ(ui.shown[0].buttons, IPlatformUi::YesNo);

    EXPECT_TRUE(CheckChosenFolder(path)); // Yes
    EXPECT_TRUE(DirectoryExists(path));
    EXPECT_TRUE(CheckChosenFolder(path + "/")); // exists now: no question
    EXPECT_EQ(ui.shown.size(), 2u);

    EXPECT_FALSE(CheckChosenFolder(dir.File("bad?")));
    EXPECT_EQ(ui.shown.back().text,
              "The folder:\n\n" + dir.File("bad?") + "\n\nis invalid. Please reenter.");

    // A file in the way cannot become a folder.
    dir.Write("file", "x");
    EXPECT_FALSE(CheckChosenFolder(dir.File("file/sub")));
    EXPECT_EQ(ui.shown.back().text, "The folder:\n\n" + dir.File("file/sub") +
                                        "\n\ncan not be created. Please double check.");
    EXPECT_EQ(ui.shown.back().buttons, IPlatformUi::Ok);
}

} // namespace
