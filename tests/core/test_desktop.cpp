#include "ScriptedLauncher.h"
#include "ScriptedUi.h"
#include "TempDir.h"
#include "app/CommandIds.h"
#include "app/CommandState.h"
#include "app/HelpCommands.h"
#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramFolder, InstalledProgramsKeepTheirFilesPerUserTheBuildTreeBesideItself) {
    TempDir t;
    t.Write("usr/bin/kelvra", "");
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

TEST(HelpCommands, OpenTheShippedFilesAndReportWhatCannotBeOpened) {
    TempDir t;
    t.Write("help.html", "<html></html>");
    t.Write("README.md", "# Kelvra");
    CScriptedUi ui;
    CScriptedLauncher launcher;
    for (int id : {ID_HELP_FINDER, ID_HELP_HOMEPAGE, ID_HELP_CONTACT}) {
        EXPECT_TRUE(QueryCommandUi(id, FrameFlags{}).enabled) << id; // never greyed
        EXPECT_TRUE(RunHelpCommand(id, t.Path()));
    }
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{t.File("help.html"), t.File("README.md"),
                                                         ContactMailLink(ContactAddress())}));
    EXPECT_TRUE(ui.shown.empty());

    // A missing page is never handed on; the opener's own failure is shown too.
    std::filesystem::remove(t.File("help.html"));
    RunHelpCommand(ID_HELP_FINDER, t.Path());
    launcher.error = 4;
    RunHelpCommand(ID_HELP_HOMEPAGE, t.Path());
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "Failed to run \"" + t.File("help.html") + "\", Error: 2");
    EXPECT_EQ(ui.shown[0].caption, "Open Failed ");
    EXPECT_EQ(ui.shown[0].icon, IPlatformUi::Warning);
    EXPECT_EQ(ui.shown[1].text, "Failed to run \"" + t.File("README.md") + "\", Error: 4");
    EXPECT_EQ(launcher.opened.size(), 4u);

    EXPECT_EQ(ContactMailLink("a+b?c&d@h"),
              "mailto:a+b%3Fc%26d@h?subject=%E8%81%94%E7%B3%BB%E4%BD%9C%E8%80%85");
}

} // namespace
