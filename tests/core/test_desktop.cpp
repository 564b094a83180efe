#include "TempDir.h"
#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramFolder, InstalledProgramsKeepTheirFilesPerUserTheBuildTreeBesideItself) {
    TempDir t;
    t.Write("usr/share/kelvra/help.html", "");
    t.Write("lone/bin/kelvra", ""); // a bin folder without the shipped files
    const std::string installed = t.File("usr/bin/kelvra"), home = t.File("home");
    ProgramFolderGuard homeGuard(home, "HOME");
    struct Case {
        std::string exe, kelvraHome, xdg, folder; // "" = not set
    } cases[] = {
        {t.File("build/kelvra"), "", t.File("xdg"), t.File("build/")},
        {t.File("lone/bin/kelvra"), "", "", t.File("lone/bin/")},
        {installed, "", t.File("xdg"), t.File("xdg/kelvra/")},
        {installed, "", "", home + "/.local/share/kelvra/"},
        {installed, "", "relative/xdg", home + "/.local/share/kelvra/"},
        {installed, t.File("own"), t.File("xdg"), t.File("own/")},
    };
    for (const Case& c : cases) {
        ProgramFolderGuard own(c.kelvraHome), xdg(c.xdg, "XDG_DATA_HOME");
        EXPECT_EQ(ProgramFolderFor(c.exe), c.folder) << c.exe;
    }
    EXPECT_EQ(std::filesystem::status(t.File("xdg/kelvra")).permissions(),
              std::filesystem::perms::owner_all); // private
    EXPECT_EQ(DataFolderFor(t.File("build/kelvra")), t.File("build/"));
}

} // namespace
