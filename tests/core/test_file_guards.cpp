// The program's files on the disk: every reader opens a file without
// blocking and refuses anything but a regular file (a FIFO or a device where
// a picture or the settings file should be); whole-file writes have no name
// until complete, a killed writer leaves nothing (or, without nameless
// files, a name with its process id), and the start-up clean-up removes
// such names of ended processes in the program's own folders only.
#include "app/Settings.h"
#include "app/StartUp.h"
#include "image/Codec.h"
#include "platform/FileOps.h"
#include "thumbs/ExifReader.h"
#include "thumbs/GpsExport.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

TEST(SpecialFiles, ReadersNeverBlockAndRefuseThem) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("y.jpg").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.File("z.jpg").c_str()), 0);
    ASSERT_EQ(::mkfifo(dir.File("fifo.ini").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.File("zero.ini").c_str()), 0);
    dir.Write("huge.ini", "[ShowLastSee]\nmLastSee=1\n"); // then a hole: 2 MB
    ASSERT_EQ(::truncate(dir.File("huge.ini").c_str(), 2 << 20), 0);
    auto readers = [&] {
        for (const char* name : {"y.jpg", "z.jpg"}) {
            CImageBuffer img;
            EXPECT_FALSE(LoadImageFile(dir.File(name), img)) << name; // the slide show's too
            EXPECT_FALSE(CExifReader().ReadJpegFile(dir.File(name))) << name;
            EXPECT_EQ(BuildGpsExport(dir.Path(), {dir.File(name)}), "") << name;
        }
        for (const char* name : {"fifo.ini", "zero.ini", "huge.ini"}) {
            CSystemSettings s;
            std::string folder;
            ReadSettingsFile(dir.File(name), s, folder); // counts as missing
            EXPECT_EQ(folder, kNoFolder) << name;
            EXPECT_EQ(s.mLastSee, 0) << name;
        }
    };
    auto done = std::async(std::launch::async, readers);
    const bool prompt = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    EXPECT_TRUE(prompt) << "a reader blocks on a FIFO";
    // Lets a blocked reader go: a writer opens each FIFO, and closes it.
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        for (const char* fifo : {"y.jpg", "fifo.ini"})
            ::close(::open(dir.File(fifo).c_str(), O_WRONLY | O_NONBLOCK));
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class AtomicFile : public ::testing::TestWithParam<bool> {};

TEST_P(AtomicFile, NoNameUntilCompleteAndLeftoversOfEndedWritersGo) {
    UseNamelessTempFiles(GetParam());
    TempDir home;
    ProgramFolderGuard guard(home.Path());
    const std::string running =
        std::string(".kv-").append(std::to_string(::getppid())) + "-9"; // a live writer's
    home.Write(running, "busy");
    std::filesystem::create_directories(home.File("Thumb"));
    std::filesystem::create_directories(home.File("Wallpapers"));
    {
        CAtomicFile file(home.File("System.ini"));
        file.Write("new", 3);
        const std::string ours = std::string(".kv-").append(std::to_string(::getpid())) + "-";
        const std::vector<std::string> during = Names(home.Path()); // nothing, or a name of ours
        ASSERT_EQ(during.size(), GetParam() ? 3u : 4u);
        EXPECT_EQ(std::count_if(during.begin(), during.end(),
                                [&](const std::string& n) { return n.rfind(ours, 0) == 0; }),
                  GetParam() ? 0 : 1);
        ASSERT_TRUE(file.Commit());
    }
    for (const char* target : {"System.ini", "Thumb/a.xux", "Wallpapers/w.bmp"})
        if (pid_t child = ::fork(); child == 0) { // a writer killed half-way
            CAtomicFile file(home.File(target));
            file.Write("half", 4);
            ::raise(SIGKILL);
        } else {
            ::waitpid(child, nullptr, 0);
        }
    EXPECT_EQ(RemoveLeftoverTempFilesAtStart(), GetParam() ? 0 : 2);
    EXPECT_EQ(Names(home.Path()),
              (std::vector<std::string>{running, "System.ini", "Thumb", "Wallpapers"}));
    EXPECT_TRUE(Names(home.File("Thumb")).empty());
    EXPECT_EQ(Names(home.File("Wallpapers")).size(), GetParam() ? 0u : 1u); // not a folder of ours
    EXPECT_EQ(*ReadWholeFile(home.File("System.ini")), "new");
    UseNamelessTempFiles(true);
}

INSTANTIATE_TEST_SUITE_P(NamelessAndNamed, AtomicFile, ::testing::Bool());

} // namespace
