#include "platform/FileOps.h"

#include "TempDir.h"
#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

#include <ctime>
#include <sys/stat.h>

namespace {

TEST(FileOps, FactsAndUtcTimes) {
    TempDir dir;
    dir.Write("f.bin", std::string(1234, 'x'));
    std::time_t before = std::time(nullptr);
    auto f = GetFileFacts(dir.File("f.bin"));
    ASSERT_TRUE(f);
    EXPECT_FALSE(f->isDir);
    EXPECT_EQ(f->size, 1234u);
    EXPECT_LE(std::abs(f->modified - before), 5);
    EXPECT_LE(f->created, f->modified);
    EXPECT_TRUE(GetFileFacts(dir.Path())->isDir);
    EXPECT_FALSE(GetFileFacts(dir.File("none")));
    UtcTime t = ToUtc(1425719100); // 2015-03-07 09:05:00 UTC
    EXPECT_EQ(t.year, 2015);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.day, 7);
    EXPECT_EQ(t.hour, 9);
    EXPECT_EQ(t.minute, 5);
}

TEST(FileOps, AtomicWriteReplacesWholeAndLeavesNoTemporaryFile) {
    TempDir dir;
    std::string p = dir.File("data");
    ASSERT_TRUE(WriteFileAtomically(p, "first version"));
    ASSERT_TRUE(WriteFileAtomically(p, "2nd"));
    EXPECT_EQ(*ReadWholeFile(p), "2nd");
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path()))
        n += e.is_regular_file();
    EXPECT_EQ(n, 1);
    EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/folder/x"), "y"));
    EXPECT_FALSE(ReadWholeFile(dir.File("none")));
    EXPECT_FALSE(ReadWholeFile(dir.Path())); // a folder is not read as a file
    EXPECT_FALSE(ReadWholeFile(p, 2));       // larger than allowed
}

TEST(FileOps, MoveNeverReplacesAnExistingFile) {
    TempDir dir;
    dir.Write("a", "A");
    dir.Write("b", "B");
    EXPECT_FALSE(MoveFileNoReplace(dir.File("a"), dir.File("b")));
    EXPECT_EQ(*ReadWholeFile(dir.File("a")), "A");
    EXPECT_EQ(*ReadWholeFile(dir.File("b")), "B");
    EXPECT_TRUE(MoveFileNoReplace(dir.File("a"), dir.File("c")));
    EXPECT_FALSE(FileExists(dir.File("a")));
    EXPECT_EQ(*ReadWholeFile(dir.File("c")), "A");
}

TEST(FileOps, MoveAcrossFileSystemsCopiesThenDeletes) {
    // /dev/shm is a different file system from the temporary folder on most machines.
    TempDir dir;
    if (!DirectoryExists("/dev/shm"))
        GTEST_SKIP() << "no /dev/shm";
    struct stat a {
    }, b{};
    ::stat(dir.Path().c_str(), &a);
    ::stat("/dev/shm", &b);
    if (a.st_dev == b.st_dev)
        GTEST_SKIP() << "same file system";
    std::string target = "/dev/shm/kelvra-move-" + std::to_string(::getpid());
    dir.Write("m", "moved bytes");
    ASSERT_TRUE(MoveFileNoReplace(dir.File("m"), target));
    EXPECT_FALSE(FileExists(dir.File("m")));
    EXPECT_EQ(*ReadWholeFile(target), "moved bytes");
    dir.Write("m2", "other");
    EXPECT_FALSE(MoveFileNoReplace(dir.File("m2"), target)); // target exists
    EXPECT_TRUE(FileExists(dir.File("m2")));
    EXPECT_EQ(*ReadWholeFile(target), "moved bytes");
    ::unlink(target.c_str());
}

TEST(FileOps, CopyReplacesTheTargetAndOntoItselfDoesNothing) {
    TempDir dir;
    dir.Write("src", "new content");
    dir.Write("dst", "old");
    EXPECT_TRUE(CopyFileReplace(dir.File("src"), dir.File("dst")));
    EXPECT_EQ(*ReadWholeFile(dir.File("dst")), "new content");
    EXPECT_TRUE(CopyFileReplace(dir.File("src"), dir.Path() + "./src"));
    EXPECT_EQ(*ReadWholeFile(dir.File("src")), "new content");
    EXPECT_FALSE(CopyFileReplace(dir.File("none"), dir.File("dst")));
    EXPECT_EQ(*ReadWholeFile(dir.File("dst")), "new content");
}

TEST(FileOps, DeleteAndReadOnly) {
    TempDir dir;
    dir.Write("r", "x");
    ::chmod(dir.File("r").c_str(), 0444);
    EXPECT_TRUE(GetFileFacts(dir.File("r"))->readOnly);
    EXPECT_TRUE(ClearReadOnly(dir.File("r")));
    EXPECT_FALSE(GetFileFacts(dir.File("r"))->readOnly);
    EXPECT_TRUE(DeleteFileAt(dir.File("r")));
    EXPECT_FALSE(DeleteFileAt(dir.File("r")));
    EXPECT_FALSE(DeleteFileAt(dir.Path())); // never a folder
}

TEST(ProgramFolder, OverrideAndPathHelpers) {
    {
        ProgramFolderGuard g("/some/where");
        EXPECT_EQ(GetProgramFolder(), "/some/where/");
    }
    {
        ProgramFolderGuard g("");
        std::string own = GetProgramFolder(); // the test executable's folder
        EXPECT_EQ(own, std::string(KELVRA_BINARY_DIR) + "/");
    }
    EXPECT_EQ(FileNameOf("/a/b.jpg"), "b.jpg");
    EXPECT_EQ(FolderOf("/a/b.jpg"), "/a/");
    EXPECT_EQ(FolderOf("b.jpg"), "");
    EXPECT_EQ(WithTrailingSlash("/a"), "/a/");
    EXPECT_EQ(WithTrailingSlash("/"), "/");
    EXPECT_EQ(MakeAbsolutePath("/x/y"), "/x/y");
    std::string abs = MakeAbsolutePath("photo.jpg");
    EXPECT_EQ(abs.front(), '/');
    EXPECT_EQ(FileNameOf(abs), "photo.jpg");
}

} // namespace
