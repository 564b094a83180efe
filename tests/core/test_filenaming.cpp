#include "library/FileNaming.h"

#include "library/FolderTree.h"

#include <gtest/gtest.h>

namespace {

TEST(FileNaming, RenameKeepsFolderAndExtension) {
    struct Case {
        const char *path, *typed, *target, *base;
    } cases[] = {
        {"/p/a.b.jpg", "c", "/p/c.jpg", "a.b"},
        {"/p/noext", "x", "/p/x", "noext"},
        {"/a.JPG", "b.c", "/b.c.JPG", "a"},
        {"/p/a.jpg", "", "", "a"},     // "" would give the hidden file ".jpg"
        {"/p/a.jpg", "../q", "", "a"}, // "/" would move the file
        {"/p/a.jpg", "/", "", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + std::string(" <- ") + c.typed);
        EXPECT_EQ(RenameTargetPath(c.path, c.typed), c.target);
        EXPECT_EQ(SplitRenamePath(c.path).base, c.base);
    }
}

TEST(FileNaming, MoveTakesTheNameBeforeTheFirstDotAndTheOldExtension) {
    struct Case {
        const char *source, *folder, *typed, *target;
    } cases[] = {
        {"/s/a.JPG", "/d", "new.txt", "/d/new.JPG"},
        {"/s/a.b.png", "/d/", "x.y.z", "/d/x.png"},
        {"/s/a.jpg", "/d", ".hidden", "/d/.hidden.jpg"},
        {"/s/noext", "/d", "n", "/d/n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoveTargetPath(c.source, c.folder, c.typed), c.target) << c.typed;
}

TEST(FileNaming, SerialNumbersAndDigitWidths) {
    EXPECT_EQ(FormatSerialNumber(5, 0), "");
    EXPECT_EQ(FormatSerialNumber(5, 1), "5");
    EXPECT_EQ(FormatSerialNumber(5, 10), "0000000005");
    EXPECT_EQ(FormatSerialNumber(5, 11), "");
    EXPECT_EQ(FormatSerialNumber(7, 3), "007");
    EXPECT_EQ(FormatSerialNumber(123, 2), "123"); // more digits: written in full
    const std::pair<int, int> widths[] = {{0, 1}, {9, 1}, {10, 2}, {12, 2}, {99, 2}, {100, 3}};
    for (auto [count, digits] : widths)
        EXPECT_EQ(DecimalDigits(count), digits) << count;
}

std::vector<BatchItem> Pictures(int n, const std::string& folder = "/f/") {
    std::vector<BatchItem> items;
    for (int i = 0; i < n; ++i)
        items.push_back({folder + "p" + std::to_string(i) + ".jpg", kTreeImageFile});
    return items;
}

std::vector<std::string> NewPaths(const std::vector<BatchStep>& steps) {
    std::vector<std::string> out;
    for (const BatchStep& s : steps)
        out.push_back(s.newPath);
    return out;
}

TEST(FileNaming, BatchNamesNumberThePicturesInTreeOrder) {
    EXPECT_EQ(NewPaths(PlanBatchRename(Pictures(7), 7, "Trip", kNumberAfter)).back(),
              "/f/Trip7.jpg");
    auto twelve = NewPaths(PlanBatchRename(Pictures(12), 12, "Trip", kNumberAfter));
    EXPECT_EQ(twelve.front(), "/f/Trip01.jpg");
    EXPECT_EQ(twelve.back(), "/f/Trip12.jpg");
    EXPECT_EQ(NewPaths(PlanBatchRename(Pictures(2), 100, "Trip", kNumberAfter)),
              (std::vector<std::string>{"/f/Trip001.jpg", "/f/Trip002.jpg"}));
    EXPECT_EQ(NewPaths(PlanBatchRename(Pictures(2), 2, "A*B*", kNumberMiddle)),
              (std::vector<std::string>{"/f/A1B*.jpg", "/f/A2B*.jpg"}));
    // Without a star the middle is the front.
    EXPECT_EQ(PlanBatchRename(Pictures(2), 2, "AB", kNumberMiddle)[1].base,
              PlanBatchRename(Pictures(2), 2, "AB", kNumberBefore)[1].base);
    EXPECT_EQ(PlanBatchRename({{"/f/IMG_7.JPG", kTreeImageFile}}, 1, "x", kNumberBefore)[0].newPath,
              "/f/1x.JPG");

    // A folder between two pictures uses no number; a running count smaller
    // than the pictures leaves the rest alone.
    std::vector<BatchItem> mixed = {Pictures(1)[0], {"/f/sub", kTreeFolder}, Pictures(3)[2]};
    auto steps = PlanBatchRename(mixed, 2, "n", kNumberAfter);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1].item, 2u);
    EXPECT_EQ(steps[1].newPath, "/f/n2.jpg");
    EXPECT_EQ(steps[1].base, "n2");
    EXPECT_EQ(PlanBatchRename(Pictures(3), 2, "n", kNumberAfter).size(), 2u);
    EXPECT_TRUE(PlanBatchRename(Pictures(3), 0, "n", kNumberAfter).empty());
}

TEST(FileNaming, BatchNamesStayInTheFolderOfEachFile) {
    std::vector<BatchItem> items = {Pictures(1, "/x/")[0], Pictures(1, "/y/z/")[0]};
    EXPECT_EQ(NewPaths(PlanBatchRename(items, 2, "t", kNumberAfter)),
              (std::vector<std::string>{"/x/t1.jpg", "/y/z/t2.jpg"}));
    EXPECT_TRUE(PlanBatchRename(items, 2, "../t", kNumberAfter).empty());
}

} // namespace
