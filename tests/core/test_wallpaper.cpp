#include "ScriptedWallpaper.h"
#include "TempDir.h"
#include "app/Wallpaper.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A picture whose every pixel tells where it is: red = x, green = y, blue = 7.
CImageBuffer Pattern(int w, int h) {
    CImageBuffer img;
    img.Allocate(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixelRgb(x, y, std::uint8_t(x), std::uint8_t(y), 7);
    return img;
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

TEST(Wallpaper, EachStyleWritesThePictureAndTheProfile) {
    TempDir t;
    ProgramFolderGuard home(t.Path());
    CScriptedWallpaper setter;
    const CImageBuffer picture = Pattern(40, 30);
    struct Case {
        EWallpaperStyle style;
        const char* tile;
        int w, h;                                          // of the file
    } cases[] = {{EWallpaperStyle::kStretch, "0", 64, 48}, // the screen's size
                 {EWallpaperStyle::kTile, "1", 40, 30},
                 {EWallpaperStyle::kCenter, "0", 40, 30}};
    CImageBuffer kept;
    for (const Case& c : cases) {
        t.Write("System.ini", "[desktop]\nTileWallpaper=7\n");
        ASSERT_TRUE(SetWallpaperFromPicture(picture, "/pics/sun.png", c.style, 64, 48));
        ASSERT_TRUE(LoadImageFile(t.File("Wallpapers/sun.bmp"), kept));
        EXPECT_EQ(std::make_pair(kept.Width(), kept.Height()), std::make_pair(c.w, c.h));
        CIniFile ini;
        ini.Load(t.File("System.ini"));
        EXPECT_EQ(ini.Get("desktop", "WallpaperStyle"), "0");
        EXPECT_EQ(ini.Get("desktop", "TileWallpaper"), c.tile);
    }
    // The picture's own pixels, the right way up.
    for (auto [x, y] : {std::pair{0, 0}, {39, 0}, {17, 29}})
        EXPECT_EQ(kept.GetPixelRgb(x, y), picture.GetPixelRgb(x, y));
}

TEST(Wallpaper, TheFolderKeepsTheWallpaperInUseAndNothingElse) {
    TempDir t;
    ProgramFolderGuard home(t.Path());
    CScriptedWallpaper setter;
    const CImageBuffer small = Pattern(8, 6), large = Pattern(20, 10);
    auto set = [&](const CImageBuffer& p, const char* file) {
        return SetWallpaperFromPicture(p, file, EWallpaperStyle::kTile, 64, 48);
    };
    ASSERT_TRUE(set(small, "/p/a.png"));
    t.Write("Wallpapers/notes.txt", "mine");
    ASSERT_TRUE(set(small, "/p/b.png"));
    EXPECT_FALSE(FileExists(t.File("Wallpapers/a.bmp")));
    // The desktop refuses: a new file goes again, and a wallpaper of the same
    // name keeps the picture it had.
    setter.result = false;
    EXPECT_FALSE(set(large, "/p/c.png"));
    EXPECT_FALSE(set(large, "/q/b.jpg"));
    EXPECT_EQ(setter.calls.back().width, 20); // it was offered the new picture
    EXPECT_TRUE(FileExists(t.File("Wallpapers/notes.txt")));
    using std::filesystem::directory_iterator;
    EXPECT_EQ(std::distance(directory_iterator(t.File("Wallpapers")), directory_iterator()), 2);
    CImageBuffer b;
    ASSERT_TRUE(LoadImageFile(t.File("Wallpapers/b.bmp"), b));
    EXPECT_EQ(b.Width(), 8);
}
