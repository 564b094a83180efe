#include "library/FileNaming.h"

#include "library/FolderTree.h"

#include <gtest/gtest.h>

namespace {

TEST(FileNaming, RenameAndMoveTargets) {
    // Rename keeps folder and extension; a "/" is refused.
    EXPECT_EQ(SplitRenamePath("/p/a.b.jpg").base, "a.b");
    const char* renames[][3] = {
        {"/p/noext", "x", "/p/x"}, {"/a.JPG", "b.c", "/b.c.JPG"}, {"/p/a.jpg", "../q", ""}};
    for (auto& r : renames)
        EXPECT_EQ(RenameTargetPath(r[0], r[1]), r[2]) << r[1];
    // A move takes the typed name up to its first dot, with the old extension.
    const char* moves[][4] = {{"/s/a.b.png", "/d/", "x.y.z", "/d/x.png"},
                              {"/s/a.jpg", "/d", ".hidden", "/d/.hidden.jpg"},
                              {"/s/noext", "/d", "n", "/d/n"}};
    for (auto& m : moves)
        EXPECT_EQ(MoveTargetPath(m[0], m[1], m[2]), m[3]) << m[2];
}

TEST(FileNaming, SerialNumbersAndDigitWidths) {
    const std::pair<int, const char*> widths[] = {{0, ""}, {1, "5"}, {10, "0000000005"}, {11, ""}};
    for (auto [width, text] : widths)
        EXPECT_EQ(FormatSerialNumber(5, width), text) << width;
    EXPECT_EQ(FormatSerialNumber(123, 2), "123");
    for (auto [count, digits] : {std::pair{9, 1}, {10, 2}, {99, 2}, {100, 3}})
        EXPECT_EQ(DecimalDigits(count), digits) << count;
}

std::vector<BatchItem> Pictures(int n, const std::string& folder = "/f/") {
    std::vector<BatchItem> items;
    for (int i = 0; i < n; ++i)
        items.push_back({folder + "p" + std::to_string(i) + ".jpg", kTreeImageFile});
    return items;
}

std::string Last(const std::vector<BatchStep>& steps) {
    return steps.empty() ? "" : steps.back().newPath;
}

TEST(FileNaming, BatchNamesNumberThePicturesInTreeOrder) {
    EXPECT_EQ(Last(PlanBatchRename(Pictures(7), 7, "Trip", kNumberAfter)), "/f/Trip7.jpg");
    EXPECT_EQ(PlanBatchRename(Pictures(12), 12, "Trip", kNumberAfter)[0].newPath, "/f/Trip01.jpg");
    EXPECT_EQ(Last(PlanBatchRename(Pictures(2), 2, "A*B*", kNumberMiddle)), "/f/A2B*.jpg");
    EXPECT_EQ(Last(PlanBatchRename(Pictures(2), 2, "AB", kNumberMiddle)), "/f/2AB.jpg");
    EXPECT_EQ(Last(PlanBatchRename({{"/f/IMG_7.JPG", kTreeImageFile}}, 1, "x", kNumberBefore)),
              "/f/1x.JPG");
    // Pictures beyond the count are left alone.
    EXPECT_EQ(PlanBatchRename(Pictures(3), 2, "n", kNumberAfter).size(), 2u);
    // Each new name lies in the folder of its own file; "/" renames nothing.
    EXPECT_EQ(Last(PlanBatchRename(Pictures(1, "/y/z/"), 1, "t", kNumberAfter)), "/y/z/t1.jpg");
    EXPECT_TRUE(PlanBatchRename(Pictures(2), 2, "../t", kNumberAfter).empty());
}

} // namespace
