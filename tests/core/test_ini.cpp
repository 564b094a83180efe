#include "platform/IniFile.h"

#include "TempDir.h"
#include "platform/FileOps.h"

#include <gtest/gtest.h>

namespace {

TEST(IniFile, NamesCompareWithoutCaseAndMissingOnesGiveTheDefault) {
    CIniFile ini;
    ini.Parse("[Colors]\r\nRed = 12\r\n; a comment\r\nblue=x\r\n[other]\r\nRed=99\r\n");
    EXPECT_EQ(ini.Get("colors", "RED").value(), "12");
    EXPECT_EQ(ini.Get("Other", "red").value(), "99");
    EXPECT_FALSE(ini.Get("Colors", "Green"));
    EXPECT_FALSE(ini.Get("Missing", "Red"));
    EXPECT_FALSE(ini.Get("Colors", "; a comment"));
}

TEST(IniFile, IntegersAreTheirLeadingDecimalDigits) {
    EXPECT_EQ(ParseProfileInt("300"), 300);
    EXPECT_EQ(ParseProfileInt("  42abc"), 42);
    EXPECT_EQ(ParseProfileInt("abc"), 0);
    EXPECT_EQ(ParseProfileInt(""), 0);
    EXPECT_EQ(ParseProfileInt("-5"), 0);
    EXPECT_EQ(ParseProfileInt("4294967297"), 1); // wraps like a 32-bit counter
}

TEST(IniFile, WritingOneValueKeepsEverythingElse) {
    TempDir dir;
    std::string path = dir.File("a.ini");
    dir.Write("a.ini", "; mine\n[Keep]\nfoo=bar\n\n[Colors]\nRed=1\nGreen=2\n\n[Tail]\nx=y\n");
    ASSERT_TRUE(WritePrivateProfileString("colors", "red", "7", path));
    ASSERT_TRUE(WritePrivateProfileString("Colors", "Blue", "9", path));
    ASSERT_TRUE(WritePrivateProfileString("New", "k", "v", path));
    EXPECT_EQ(GetPrivateProfileInt("Colors", "Red", -1, path), 7);
    EXPECT_EQ(GetPrivateProfileInt("Colors", "Green", -1, path), 2);
    EXPECT_EQ(GetPrivateProfileInt("Colors", "Blue", -1, path), 9);
    EXPECT_EQ(GetPrivateProfileInt("Colors", "Alpha", -1, path), -1);
    EXPECT_EQ(GetPrivateProfileString("Keep", "foo", "", path, 100), "bar");
    EXPECT_EQ(GetPrivateProfileString("Tail", "x", "", path, 100), "y");
    EXPECT_EQ(GetPrivateProfileString("New", "k", "", path, 100), "v");
    std::string text = *ReadWholeFile(path);
    EXPECT_NE(text.find("; mine"), std::string::npos);
    // The new key stands inside its section, before the next one.
    EXPECT_LT(text.find("Blue=9"), text.find("[Tail]"));
}

TEST(IniFile, StringsAreCutWithoutSplittingACharacter) {
    TempDir dir;
    dir.Write("a.ini", "[S]\nname=\"ab宋体\"\n");
    EXPECT_EQ(GetPrivateProfileString("S", "name", "", dir.File("a.ini"), 100), "ab宋体");
    EXPECT_EQ(GetPrivateProfileString("S", "name", "", dir.File("a.ini"), 4), "ab");
    EXPECT_EQ(GetPrivateProfileString("S", "none", "dflt", dir.File("a.ini"), 100), "dflt");
    EXPECT_EQ(GetPrivateProfileString("S", "name", "dflt", dir.File("missing.ini"), 100), "dflt");
}

TEST(IniFile, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    std::string path = dir.File("ro/a.ini");
    dir.Write("ro/a.ini", "[S]\nk=1\n");
    ASSERT_TRUE(dir.MakeReadOnly(dir.File("ro")));
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "2", path));
    EXPECT_EQ(GetPrivateProfileInt("S", "k", 0, path), 1);
}

} // namespace
