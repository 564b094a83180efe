#include "ScriptedWallpaper.h"
#include "TempDir.h"
#include "app/Wallpaper.h"
#include "platform/IniFile.h"
#include "platform/RootWallpaper.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace {

// A picture whose every pixel tells where it is: red = x, green = row from
// the top, blue = 7.
CImageBuffer Pattern(int w, int h) {
    CImageBuffer img;
    img.Allocate(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixelRgb(x, h - 1 - y, std::uint8_t(x), std::uint8_t(y), 7);
    return img;
}

RgbPixel TopDown(const CImageBuffer& img, int x, int y) {
    return img.GetPixelRgb(x, img.Height() - 1 - y);
}

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(Wallpaper, BaseNameAndWallpaperFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"/a/b.c.jpg", "b.c"}, {"/a.b/c", "c"}, {"/a/.hidden", ""}, {"b.c.jpg", ""}};
    for (auto [path, base] : cases)
        EXPECT_EQ(GetBaseName(path), base) << path;
    TempDir t;
    ProgramFolderGuard home(t.Path());
    EXPECT_EQ(WallpaperFileFor(GetWallpaperFolder(), "/p/b.c.jpg"), t.File("Wallpapers/b.c.bmp"));
}

TEST(Wallpaper, EachStyleWritesThePictureAndTheProfileAndHandsTheFileOn) {
    TempDir t;
    ProgramFolderGuard home(t.Path());
    CScriptedWallpaper setter;
    const CImageBuffer picture = Pattern(40, 30);
    struct Case {
        EWallpaperStyle style;
        const char* tile;
        int w, h; // of the file handed on
    } cases[] = {
        {EWallpaperStyle::kTile, "1", 40, 30},
        {EWallpaperStyle::kCenter, "0", 40, 30},
    };
    for (const Case& c : cases) {
        t.Write("System.ini", "[desktop]\nTileWallpaper=7\n");
        ASSERT_TRUE(SetWallpaperFromPicture(picture, "/pics/sun.png", c.style, 64, 48));
        const CScriptedWallpaper::Call call = setter.calls.at(0);
        setter.calls.clear();
        EXPECT_EQ(call.path, t.File("Wallpapers/sun.bmp"));
        EXPECT_EQ(call.style, c.style);
        EXPECT_EQ(call.width, c.w);
        EXPECT_EQ(call.height, c.h);
        CIniFile ini;
        ini.Load(t.File("System.ini"));
        EXPECT_EQ(ini.Get("desktop", "WallpaperStyle"), "0");
        EXPECT_EQ(ini.Get("desktop", "TileWallpaper"), c.tile);
    }
    // The file stays, with the picture's own pixels.
    CImageBuffer kept;
    ASSERT_TRUE(LoadImageFile(t.File("Wallpapers/sun.bmp"), kept));
    for (auto [x, y] : {std::pair{0, 0}, {39, 0}, {17, 29}})
        EXPECT_EQ(TopDown(kept, x, y), TopDown(picture, x, y));
}

TEST(Wallpaper, TheFolderKeepsTheWallpaperInUseAndNothingElse) {
    TempDir t;
    ProgramFolderGuard home(t.Path());
    CScriptedWallpaper setter;
    const CImageBuffer small = Pattern(8, 6), large = Pattern(20, 10);
    ASSERT_TRUE(SetWallpaperFromPicture(small, "/p/a.png", EWallpaperStyle::kTile, 64, 48));
    t.Write("Wallpapers/notes.txt", "mine");
    ASSERT_TRUE(SetWallpaperFromPicture(small, "/p/b.png", EWallpaperStyle::kCenter, 64, 48));
    EXPECT_EQ(Listing(t.File("Wallpapers")), (std::vector<std::string>{"b.bmp", "notes.txt"}));

    // The desktop refuses: a new file goes again, and a wallpaper of the same
    // name keeps the picture it had.
    setter.result = false;
    EXPECT_FALSE(SetWallpaperFromPicture(large, "/p/c.png", EWallpaperStyle::kTile, 64, 48));
    EXPECT_FALSE(SetWallpaperFromPicture(large, "/q/b.jpg", EWallpaperStyle::kTile, 64, 48));
    EXPECT_EQ(setter.calls.back().width, 20); // it was offered the new picture
    EXPECT_EQ(Listing(t.File("Wallpapers")), (std::vector<std::string>{"b.bmp", "notes.txt"}));
    CImageBuffer b;
    ASSERT_TRUE(LoadImageFile(t.File("Wallpapers/b.bmp"), b));
    EXPECT_EQ(b.Width(), 8);

    // No folder can be made, or nothing to write: refused before the desktop
    // is asked.
    setter.result = true;
    setter.calls.clear();
    std::filesystem::remove_all(t.File("Wallpapers"));
    ASSERT_TRUE(t.MakeReadOnly(t.File("")));
    EXPECT_FALSE(SetWallpaperFromPicture(small, "/p/a.png", EWallpaperStyle::kTile, 64, 48));
    EXPECT_FALSE(SetWallpaperFromPicture(CImageBuffer(), "/p/a.png", EWallpaperStyle::kTile, 9, 9));
    EXPECT_TRUE(setter.calls.empty());
}

TEST(Wallpaper, TheRootWindowShowsThePictureTiledOrCentred) {
    const CImageBuffer pic = Pattern(5, 3), big = Pattern(20, 10);
    CImageBuffer out;
    ASSERT_TRUE(ComposeWallpaper(pic, 12, 8, EWallpaperStyle::kTile, out));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(TopDown(out, x, y), TopDown(pic, x % 5, y % 3)) << x << "," << y;
    // A picture larger than the screen shows its middle: the screen's corners
    // are the picture's pixels (4, 1) and (15, 8).
    ASSERT_TRUE(ComposeWallpaper(big, 12, 8, EWallpaperStyle::kCenter, out));
    EXPECT_EQ(TopDown(out, 0, 0), TopDown(big, 4, 1));
    EXPECT_EQ(TopDown(out, 11, 7), TopDown(big, 15, 8));
    EXPECT_FALSE(ComposeWallpaper(pic, 0, 8, EWallpaperStyle::kCenter, out));
}

TEST(DesktopWallpaper, TheDesktopIsTheFirstKnownNameOfTheSession) {
    struct Case {
        const char *current, *display, *wayland;
        EDesktop desktop;
    } cases[] = {
        {"ubuntu:GNOME", ":0", "wayland-0", EDesktop::kGnome},
        {"X-Cinnamon", ":0", nullptr, EDesktop::kCinnamon},
        {"MATE", nullptr, nullptr, EDesktop::kMate},
        {"XFCE", ":0", nullptr, EDesktop::kXfce},
        {"kde", ":0", "wayland-0", EDesktop::kKde},
        {"openbox", ":1", "", EDesktop::kPlainX},
        {"sway", ":0", "wayland-1", EDesktop::kNone}, // XWayland's root is never seen
        {nullptr, nullptr, nullptr, EDesktop::kNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectDesktop(c.current, c.display, c.wayland), c.desktop)
            << (c.current ? c.current : "(unset)");
}

TEST(DesktopWallpaper, TheDesktopsOwnToolsGetThePictureAndItsStyle) {
    // Stand-ins for the tools: each logs its arguments and fails when they
    // contain $FAKE_FAIL; xfconf-query -l lists two backdrops.
    TempDir t;
    const std::string log = t.File("log");
    const std::string fake = "#!/bin/sh\nline=\"${0##*/}\"; for a; do line=\"$line|$a\"; done\n"
                             "echo \"$line\" >> '" +
                             log +
                             "'\ncase \"$3\" in -l) printf '%s\\n' /backdrop/s0/mA/w0/last-image "
                             "/backdrop/s0/mA/w0/image-style /backdrop/s0/mB/w1/last-image;; esac\n"
                             "case \"$line\" in *\"${FAKE_FAIL:-@none@}\"*) exit 1;; esac\n";
    for (const char* tool : {"gsettings", "xfconf-query"}) {
        t.Write(std::string("bin/") + tool, fake);
        std::filesystem::permissions(t.File(std::string("bin/") + tool),
                                     std::filesystem::perms::owner_all);
    }
    ProgramFolderGuard path(t.File("bin") + ":/usr/bin:/bin", "PATH");
    const std::string pic = "/w/it's 1.bmp", uri = "file:///w/it%27s%201.bmp";
    const std::string gnome = "gsettings|set|org.gnome.desktop.background|";
    const std::string xfce = "xfconf-query|-c|xfce4-desktop|-p|/backdrop/s0/";
    struct Case {
        const char *desktop, *fail; // the session, and what the tools refuse
        EWallpaperStyle style;
        bool ok;
        std::vector<std::string> log;
    } cases[] = {
        // The picture is emptied first so that an unchanged path is read
        // again; a GNOME without the dark style's key still takes it.
        {"GNOME",
         "uri-dark",
         EWallpaperStyle::kTile,
         true,
         {gnome + "picture-options|'wallpaper'", gnome + "picture-uri|''",
          gnome + "picture-uri|'" + uri + "'", gnome + "picture-uri-dark|''",
          gnome + "picture-uri-dark|'" + uri + "'"}},
        {"MATE",
         "picture-options",
         EWallpaperStyle::kStretch,
         false,
         {"gsettings|set|org.mate.background|picture-options|'stretched'"}},
        {"XFCE",
         "",
         EWallpaperStyle::kCenter,
         true,
         {"xfconf-query|-c|xfce4-desktop|-l", xfce + "mA/w0/image-style|-n|-t|int|-s|1",
          xfce + "mA/w0/last-image|-n|-t|string|-s|",
          xfce + "mA/w0/last-image|-n|-t|string|-s|" + pic,
          xfce + "mB/w1/image-style|-n|-t|int|-s|1", xfce + "mB/w1/last-image|-n|-t|string|-s|",
          xfce + "mB/w1/last-image|-n|-t|string|-s|" + pic}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(log);
        ProgramFolderGuard desktop(c.desktop, "XDG_CURRENT_DESKTOP"), fail(c.fail, "FAKE_FAIL");
        EXPECT_EQ(CDesktopWallpaperSetter().SetWallpaper(pic, c.style), c.ok) << c.desktop;
        std::ifstream in(log);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        EXPECT_EQ(lines, c.log) << c.desktop;
    }
}

TEST(DesktopWallpaper, ProgramsRunWithTheirOutputAndATimeLimit) {
    std::string out;
    EXPECT_EQ(RunProgram({"printf", "a\\nb"}, &out), 0);
    EXPECT_EQ(out, "a\nb");
    EXPECT_EQ(RunProgram({"kelvra-no-such-program"}, nullptr), -1);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunProgram({"sleep", "5"}, &out, 200), -1);
    EXPECT_EQ(RunProgram({"sleep", "5"}, nullptr, 200), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}
