#include "thumbs/FolderPathCheck.h"

#include "platform/FileOps.h"
#include "platform/ProgramFolder.h"
#include "ScriptedUi.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

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

TEST(FolderPathCheck, MissingFoldersAreMadeAfterTheQuestion) {
    TempDir dir;
    CScriptedUi ui;
    const std::string path = dir.File("a/b");
    ui.answers = {IPlatformUi::AnswerNo};
    EXPECT_FALSE(CheckChosenFolder(path));
    EXPECT_FALSE(FileExists(dir.File("a")));
    EXPECT_EQ(ui.shown[0].text, "The folder:\n\n" + path +
                                    "\n\ndoes not exist. Do you want the folder to be created?");
    EXPECT_EQ(ui.shown[0].buttons, IPlatformUi::YesNo);
    EXPECT_TRUE(CheckChosenFolder(path)); // Yes
    EXPECT_TRUE(DirectoryExists(path));
    EXPECT_TRUE(CheckChosenFolder(path + "/")); // no question now
    EXPECT_EQ(ui.shown.size(), 2u);

    EXPECT_FALSE(CheckChosenFolder(dir.File("bad?")));
    EXPECT_EQ(ui.shown.back().text,
              "The folder:\n\n" + dir.File("bad?") + "\n\nis invalid. Please reenter.");
    dir.Write("file", "x"); // a file in the way cannot become a folder
    EXPECT_FALSE(CheckChosenFolder(dir.File("file/sub")));
    EXPECT_EQ(ui.shown.back().text, "The folder:\n\n" + dir.File("file/sub") +
                                        "\n\ncan not be created. Please double check.");
}

} // namespace
