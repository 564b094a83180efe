#include "app/Settings.h"

#include "TempDir.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

namespace {

TEST(IniFile, ProfileRules) {
    // Names compare without case; integers are their leading decimal digits,
    // wrapping like a 32-bit counter.
    CIniFile ini;
    ini.Parse("[Colors]\r\nRed = 12\r\n; a comment\r\n[other]\r\nRed=99\r\n");
    EXPECT_EQ(ini.Get("colors", "RED").value() + ini.Get("Other", "red").value(), "1299");
    EXPECT_FALSE(ini.Get("Colors", "Green") || ini.Get("Missing", "Red") ||
                 ini.Get("Colors", "; a comment"));
    const std::pair<const char*, int> ints[] = {
        {"300", 300}, {"  42abc", 42}, {"abc", 0}, {"-5", 0}, {"4294967297", 1}};
    for (auto [text, value] : ints)
        EXPECT_EQ(ParseProfileInt(text), value) << text;

    // Writing one value keeps everything else, a new key inside its section.
    TempDir dir;
    const std::string path = dir.File("a.ini");
    dir.Write("a.ini", "; mine\n[Keep]\nfoo=bar\n\n[Colors]\nRed=1\n\n[Tail]\nx=y\n"
                       "[S]\nname=\"ab宋体\"\n");
    ASSERT_TRUE(WritePrivateProfileString("colors", "red", "7", path));
    ASSERT_TRUE(WritePrivateProfileString("Colors", "Blue", "9", path));
    EXPECT_EQ((std::vector{GetPrivateProfileInt("Colors", "Red", -1, path),
                           GetPrivateProfileInt("Colors", "Blue", -1, path),
                           GetPrivateProfileInt("Colors", "Alpha", -1, path)}),
              (std::vector{7, 9, -1}));
    const std::string text = *ReadWholeFile(path);
    EXPECT_EQ(text.find("; mine\r\n[Keep]\r\nfoo=bar\r\n"), 0u);
    EXPECT_LT(text.find("Blue=9"), text.find("[Tail]"));
    // Strings lose their quotes and are cut without splitting a character.
    EXPECT_EQ(GetPrivateProfileString("S", "name", "", path, 100), "ab宋体");
    EXPECT_EQ(GetPrivateProfileString("S", "name", "", path, 4), "ab");
    EXPECT_EQ(GetPrivateProfileString("S", "none", "dflt", dir.File("none.ini"), 100), "dflt");
}

TEST(Settings, ReadWithTheProfileRulesWrittenWholeOrNotAtAllAndReset) {
    TempDir dir;
    const std::string path = dir.File("System.ini");
    dir.Write("System.ini", "[RightBackColor]\nRed=300\nGreen=abc\nBlue=17\n[AddTreeWndImgfile]\n"
                            "mAdd=1\n[AutoSave]\nmSave=5\n[TumSize]\nCx=120\n[Foreign]\nkeep=me\n");
    CSystemSettings s;
    std::string folder;
    ReadSettingsFile(path, s, folder);
    // 300 keeps its low 8 bits, "abc" reads 0; mAdd is never taken from the
    // file; any value other than 0 is on.
    EXPECT_EQ(s.crRightBack, RGB(44, 0, 17));
    EXPECT_EQ((std::vector{s.mAdd, s.mSave, s.nTumCx, s.nTumCy}), (std::vector{0, 1, 120, 80}));
    s.mAdd = 1;
    s.mDelete = 7;
    const std::string longFolder = "/" + std::string(3000, 'd') + "/";
    ASSERT_TRUE(WriteSettingsFile(path, s, longFolder));
    EXPECT_EQ(GetPrivateProfileString("AddTreeWndImgfile", "mAdd", "", path, 10) +
                  GetPrivateProfileString("DeleteInfo", "mDelete", "", path, 10) +
                  GetPrivateProfileString("Foreign", "keep", "", path, 10),
              "01me");
    CSystemSettings r;
    ReadSettingsFile(path, r, folder);
    EXPECT_EQ((std::vector{r.crRightBack, COLORREF(r.nTumCx)}), (std::vector{s.crRightBack, 120u}));
    EXPECT_EQ(folder, longFolder); // long paths survive whole
    // Reset deletes the settings and the favourites, nothing else.
    dir.Write("tree.sxs", std::string("\0\0", 2));
    dir.Write("other.txt", "x");
    DeleteStoredSettings(dir.Path());
    EXPECT_FALSE(FileExists(path) || FileExists(dir.File("tree.sxs")));
    EXPECT_TRUE(FileExists(dir.File("other.txt")));
    // A folder that refuses new files: writing fails quietly, the old file stays.
    dir.Write("ro/System.ini", "[TumSize]\nCx=90\n");
    ASSERT_TRUE(dir.MakeReadOnly(dir.File("ro")));
    EXPECT_FALSE(WriteSettingsFile(dir.File("ro/System.ini"), s, "No Name") ||
                 WritePrivateProfileString("TumSize", "Cx", "2", dir.File("ro/System.ini")));
    ReadSettingsFile(dir.File("ro/System.ini"), s, folder);
    EXPECT_EQ(s.nTumCx, 90);
}

TEST(Settings, ALineBreakIsNeverWrittenIntoTheFile) {
    TempDir dir;
    const std::string path = dir.File("System.ini");
    CSystemSettings s, back;
    ASSERT_TRUE(WriteSettingsFile(path, s, "/old/"));
    std::string folder;
    for (const char* bad : {"/a\nb/", "/a\rb/"}) { // the key keeps its value
        ASSERT_TRUE(WriteSettingsFile(path, s, bad));
        ReadSettingsFile(path, back, folder);
        EXPECT_EQ(folder, "/old/");
    }
}

TEST(Settings, BackgroundThumbnailsAreStoredLastAndOnlyWhileOn) {
    TempDir dir;
    const std::string path = dir.File("System.ini");
    CSystemSettings s, back;
    std::string folder = kNoFolder;
    ASSERT_TRUE(WriteSettingsFile(path, s, folder));
    const std::string plain = *ReadWholeFile(path);
    for (int on : {1, 0}) { // switched off again, the file is the plain one byte for byte
        s.mAutoThumb = on;
        ASSERT_TRUE(WriteSettingsFile(path, s, folder));
        EXPECT_EQ(*ReadWholeFile(path), plain + (on ? "[AutoThumb]\r\nmAutoThumb=1\r\n" : ""));
        ReadSettingsFile(path, back, folder);
        EXPECT_EQ(back.mAutoThumb, on);
    }
}

} // namespace
