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

} // namespace
