#include "app/Settings.h"

#include "TempDir.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

namespace {

TEST(Settings, ConstructionValues) {
    CSystemSettings s;
    EXPECT_EQ(s.crRightBack, RGB(128, 128, 128));
    EXPECT_EQ(s.crTumBack, RGB(128, 128, 128));
    for (COLORREF c : {s.crLeftBack, s.crRightTubBk, s.crTumCrInfo, s.crTumTile, s.crTumTileBk})
        EXPECT_EQ(c, RGB(255, 255, 255));
    EXPECT_EQ(s.crTumCrIndi, RGB(0, 0, 255));
    EXPECT_EQ(s.nTumCx, 60);
    EXPECT_EQ(s.nTumCy, 60);
    EXPECT_EQ(s.mAdd, 1);
    EXPECT_EQ(s.mDelete + s.mSave + s.mLastSee, 0);
}

TEST(Settings, MissingFileGivesTheFileDefaults) {
    TempDir dir;
    CSystemSettings s;
    std::string folder = "unchanged";
    ReadSettingsFile(dir.File("System.ini"), s, folder);
    EXPECT_EQ(s.crRightBack, RGB(255, 255, 255));
    EXPECT_EQ(s.crLeftBack, RGB(255, 255, 255));
    EXPECT_EQ(s.crTumBack, RGB(255, 255, 255));
    EXPECT_EQ(s.crTumCrInfo, RGB(128, 128, 128));
    EXPECT_EQ(s.crTumCrIndi, RGB(0, 123, 188));
    EXPECT_EQ(s.crTumTile, RGB(0, 0, 0));
    EXPECT_EQ(s.crTumTileBk, RGB(255, 255, 255));
    EXPECT_EQ(s.nTumCx, 80);
    EXPECT_EQ(s.nTumCy, 80);
    EXPECT_EQ(folder, "No Name");
    EXPECT_EQ(s.mAdd, 0);
    EXPECT_EQ(s.mDelete, 1);
    EXPECT_EQ(s.mSave, 0);
    EXPECT_EQ(s.mLastSee, 0);
}

TEST(Settings, ValuesAreReadWithTheProfileRules) {
    TempDir dir;
    dir.Write("System.ini", "[RightBackColor]\nRed=300\nGreen=abc\nBlue=17\n"
                            "[AddTreeWndImgfile]\nmAdd=1\n[DeleteInfo]\nmDelete=0\n"
                            "[AutoSave]\nmSave=5\n[ShowLastSee]\nmLastSee=x\n"
                            "[TumSize]\nCx=120\n[CurrentFolder]\nFolder=/home/u/Pictures/\n");
    CSystemSettings s;
    std::string folder;
    ReadSettingsFile(dir.File("System.ini"), s, folder);
    EXPECT_EQ(s.crRightBack, RGB(44, 0, 17)); // 300 keeps its low 8 bits; "abc" reads 0
    EXPECT_EQ(s.mAdd, 0);                     // never taken from the file
    EXPECT_EQ(s.mDelete, 0);
    EXPECT_EQ(s.mSave, 1); // any value other than 0 is on
    EXPECT_EQ(s.mLastSee, 0);
    EXPECT_EQ(s.nTumCx, 120);
    EXPECT_EQ(s.nTumCy, 80);
    EXPECT_EQ(folder, "/home/u/Pictures/");
}

TEST(Settings, WriteThenReadGivesTheSameRecordAndFileLayout) {
    TempDir dir;
    std::string path = dir.File("System.ini");
    dir.Write("System.ini", "[Foreign]\nkeep=me\n[AddTreeWndImgfile]\nmAdd=1\n");
    CSystemSettings s;
    s.crRightBack = RGB(1, 2, 3);
    s.crTumCrIndi = RGB(250, 0, 9);
    s.nTumCx = 150;
    s.mAdd = 1;
    s.mDelete = 7;
    s.mLastSee = 1;
    std::string longFolder = "/" + std::string(3000, 'd') + "/";
    ASSERT_TRUE(WriteSettingsFile(path, s, longFolder));
    EXPECT_EQ(GetPrivateProfileString("RightBackColor", "Red", "", path, 10), "1");
    EXPECT_EQ(GetPrivateProfileString("RightBackColor", "Blue", "", path, 10), "3");
    EXPECT_EQ(GetPrivateProfileString("AddTreeWndImgfile", "mAdd", "", path, 10), "0");
    EXPECT_EQ(GetPrivateProfileString("DeleteInfo", "mDelete", "", path, 10), "1");
    EXPECT_EQ(GetPrivateProfileString("Foreign", "keep", "", path, 10), "me");

    CSystemSettings r;
    std::string folder;
    ReadSettingsFile(path, r, folder);
    EXPECT_EQ(r.crRightBack, s.crRightBack);
    EXPECT_EQ(r.crTumCrIndi, s.crTumCrIndi);
    EXPECT_EQ(r.nTumCx, 150);
    EXPECT_EQ(r.mAdd, 0);
    EXPECT_EQ(r.mDelete, 1);
    EXPECT_EQ(r.mLastSee, 1);
    EXPECT_EQ(folder, longFolder); // long paths survive whole
}

TEST(Settings, ResetDeletesBothFilesAndTheNextSaveWritesThemAgain) {
    TempDir dir;
    dir.Write("System.ini", "[TumSize]\nCx=100\n");
    dir.Write("tree.sxs", std::string("\0\0", 2));
    dir.Write("other.txt", "x");
    DeleteStoredSettings(dir.Path());
    EXPECT_FALSE(FileExists(dir.File("System.ini")));
    EXPECT_FALSE(FileExists(dir.File("tree.sxs")));
    EXPECT_TRUE(FileExists(dir.File("other.txt")));
    CSystemSettings s;
    s.nTumCx = 100;
    ASSERT_TRUE(WriteSettingsFile(dir.File("System.ini"), s, "No Name"));
    EXPECT_EQ(GetPrivateProfileInt("TumSize", "Cx", 0, dir.File("System.ini")), 100);
}

TEST(Settings, AReadOnlyFolderFailsQuietlyAndKeepsTheOldFile) {
    TempDir dir;
    dir.Write("ro/System.ini", "[TumSize]\nCx=90\n");
    ASSERT_TRUE(dir.MakeReadOnly(dir.File("ro")));
    CSystemSettings s;
    s.nTumCx = 140;
    EXPECT_FALSE(WriteSettingsFile(dir.File("ro/System.ini"), s, "No Name"));
    std::string folder;
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

} // namespace
