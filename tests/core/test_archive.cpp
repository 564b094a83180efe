#include "library/StringArchive.h"

#include <gtest/gtest.h>

namespace {

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b)
        s.push_back(static_cast<char>(v));
    return s;
}

TEST(StringArchive, SingleEntryMatchesTheDocumentedLayout) {
    std::string entry = "[1]A###/A/";
    std::string file = WriteStringArray({entry});
    EXPECT_EQ(file, Bytes({0x01, 0x00, 0x0A}) + entry);
    auto back = ReadStringArray(file);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, std::vector<std::string>{entry});
}

TEST(StringArchive, LengthPrefixesGrowAtTheirThresholds) {
    for (std::size_t len : {0u, 254u, 255u, 65533u, 65534u, 70000u}) {
        std::string text(len, 'x');
        std::string file = WriteStringArray({text});
        std::size_t prefix = len < 255 ? 1 : (len < 65534 ? 3 : 7);
        ASSERT_EQ(file.size(), 2 + prefix + len) << len;
        if (prefix == 3) {
            EXPECT_EQ(file.substr(2, 3), Bytes({0xFF, int(len & 0xFF), int(len >> 8)}));
        }
        if (prefix == 7) {
            EXPECT_EQ(file.substr(2, 3), Bytes({0xFF, 0xFF, 0xFF}));
        }
        auto back = ReadStringArray(file);
        ASSERT_TRUE(back) << len;
        EXPECT_EQ((*back)[0], text);
    }
}

TEST(StringArchive, LargeCountUsesTheLongForm) {
    std::vector<std::string> many(70000, "a");
    std::string file = WriteStringArray(many);
    EXPECT_EQ(file.substr(0, 6), Bytes({0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
    auto back = ReadStringArray(file);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->size(), 70000u);
    EXPECT_EQ(WriteStringArray(std::vector<std::string>(65534, "")).substr(0, 2),
              Bytes({0xFE, 0xFF}));
}

TEST(StringArchive, ConsecutiveArraysReadInTurn) {
    std::string file;
    AppendStringArray(file, {"one", "two"});
    AppendStringArray(file, {});
    AppendStringArray(file, {"三"});
    std::size_t pos = 0;
    EXPECT_EQ(ReadStringArray(file, pos)->size(), 2u);
    EXPECT_EQ(ReadStringArray(file, pos)->size(), 0u);
    EXPECT_EQ(*ReadStringArray(file, pos), std::vector<std::string>{"三"});
    EXPECT_EQ(pos, file.size());
}

TEST(StringArchive, DamagedFilesAreRefusedWhole) {
    std::string good = WriteStringArray({"alpha", "beta"});
    // Every truncation of a valid file is refused, never read as a shorter list.
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(ReadStringArray(good.substr(0, n))) << n;
    // A count far beyond what the bytes can hold.
    EXPECT_FALSE(ReadStringArray(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 'a'})));
    // A length that runs past the end.
    EXPECT_FALSE(ReadStringArray(Bytes({1, 0, 0xFF, 0x00, 0x10, 'a'})));
    EXPECT_FALSE(ReadStringArray(Bytes({1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})));
    // The marker of two-byte texts.
    EXPECT_FALSE(ReadStringArray(Bytes({1, 0, 0xFF, 0xFE, 0xFF, 2, 'a', 0})));
    // An empty list is valid.
    auto empty = ReadStringArray(Bytes({0, 0}));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

} // namespace
