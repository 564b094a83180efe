#include "library/FileInfo.h"

#include "platform/FileOps.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

TEST(FileInfo, SizeTextsSwitchToMegabytesAtOneThousandTwentyFourKilobytes) {
    using Case = std::tuple<std::uint64_t, const char*, const char*>; // bytes, status, properties
    for (const auto& [bytes, status, properties] : {
             Case{3277, " 3.2kb", " 3.2kb"},        // the width of 4 keeps a leading blank
             Case{1048575, "1024.0kb", "1024.0kb"}, // rounds up to 1024, still below it
             Case{1048576, " 1.0M", "1024.0kb"},
             Case{1572864, " 1.5M", "1536.0kb"},
         }) {
        EXPECT_EQ(StatusSizeText(bytes), status) << bytes;
        EXPECT_EQ(PropertiesSizeText(bytes), properties) << bytes;
    }
}

TEST(FileInfo, DateTextIsTheUtcCalendarWithTwoBlanks) {
    // Eight hours east of UTC: a local-time conversion would show another day.
    const std::string old = std::getenv("TZ") ? std::getenv("TZ") : "";
    ::setenv("TZ", "Asia/Shanghai", 1);
    ::tzset();
    EXPECT_EQ(FileDateText(1104537600), "2005-01-01  00:00"); // midnight, 1 January 2005
    old.empty() ? ::unsetenv("TZ") : ::setenv("TZ", old.c_str(), 1);
    ::tzset();
}

TEST(FileInfo, FileTextsComeFromTheFileItself) {
    TempDir dir;
    const std::string path = dir.File("a.b/photo.jpg");
    dir.Write("a.b/photo.jpg", std::string(1572864, 'x'));
    const timespec times[2] = {{1104537600, 0}, {1078477620, 0}}; // last access, last write
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const StatusFileTexts status = ReadStatusFileTexts(path, 640, 480, 8).value();
    EXPECT_EQ(status.name + "|" + status.size + "|" + status.info + "|" + status.modified,
              "photo.jpg| 1.5M|JPG:640x480x8bit|修改时间:2004-03-05  09:07");
    const FilePropertyTexts props = ReadFilePropertyTexts(path).value();
    EXPECT_EQ(props.path + "|" + props.fileName + "|" + props.fileSize + "|" + props.modified +
                  "|" + props.accessed,
              path + "|photo.jpg|1536.0kb|2004-03-05  09:07|2005-01-01  00:00");
    // Creation is the birth time where the file system keeps one (the file
    // was made just now, long after its last write), else the last write.
    struct statx sx {};
    ASSERT_EQ(::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx), 0);
    EXPECT_EQ(props.created,
              (sx.stx_mask & STATX_BTIME) ? FileDateText(sx.stx_btime.tv_sec) : props.modified);
    // A sparse 5 GB file: the size is never cut to 32 bits.
    ASSERT_EQ(::truncate(path.c_str(), 5368709120ll), 0);
    EXPECT_EQ(ReadStatusFileTexts(path, 1, 1, 24).value().size, "5120.0M");
}

TEST(FileInfo, SearchFindsTheFirstPictureWithTheNameAfterThePathsStart) {
    TempDir dir;
    for (const char* name : {"sub/a.jpg", "sub/boat.jpg", "sub/notes.boat"})
        dir.Write(name, "x");
    const std::string sub = dir.File("sub");
    using E = ESearchResult;
    using Case = std::tuple<std::string, std::string, E, std::string>; // folder, name, result, path
    for (const auto& [folder, name, result, path] : {
             Case{sub + "//", "boat", E::kFound, sub + "/boat.jpg"},
             Case{sub, "sub", E::kFound, sub + "/a.jpg"},     // a folder part matches
             Case{sub, sub.substr(0, 4), E::kNotFound, ""},   // only at position 0
             Case{sub, "notes", E::kNotFound, ""},            // only pictures are searched
             Case{dir.File("SUB"), "boat", E::kNoFolder, ""}, // names are case-sensitive
             Case{"sub", "boat", E::kNoFolder, ""},           // a relative path names none
             Case{sub, "", E::kNothing, ""},
         }) {
        std::string found = "stale";
        EXPECT_EQ(SearchPicture(folder, name, found), result) << folder << " " << name;
        EXPECT_EQ(found, path) << folder << " " << name;
    }
}

} // namespace
