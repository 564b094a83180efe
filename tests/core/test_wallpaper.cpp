#include "ScriptedWallpaper.h"
#include "TempDir.h"
#include "app/PrintLayout.h"
#include "app/Wallpaper.h"
#include "platform/FileOps.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

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

TEST(PrintLayout, PagesSlicesAndFooter) {
    // A printable area of 200 x 287 mm at 600 dpi is 4724 x 6779 dots; from a
    // 96 dpi screen the picture grows by 6.25.
    const PrintGeometry a4 = ComputePrintGeometry(1890, 200, 287, 600, 600, 96, 96);
    EXPECT_EQ(std::tie(a4.pageW, a4.pageH, a4.footerX, a4.footerY),
              std::make_tuple(4724, 6779, 4251, 6711));
    EXPECT_DOUBLE_EQ(a4.ry, 6.25);
    struct Case {
        int w, screenDpi, pages;
        int srcX, srcW, destW; // of the last page
    } cases[] = {
        {1890, 96, 3, 1511, 378, 2362},   // 2.5 pages: the last holds the remaining half
        {500, 96, 1, 0, 500, 3125},       // narrower than the page: at its own size
        {9448, 600, 2, 4724, 4724, 4724}, // exactly two pages
    };
    for (const Case& c : cases) {
        const PrintGeometry g =
            ComputePrintGeometry(c.w, 200, 287, 600, 600, c.screenDpi, c.screenDpi);
        ASSERT_EQ(g.pages, c.pages) << c.w;
        const PrintSlice last = PrintSliceFor(g, c.w, 40, g.pages - 1);
        EXPECT_EQ(std::tie(last.srcX, last.srcW, last.destW, last.destH),
                  std::make_tuple(c.srcX, c.srcW, c.destW, int(40 * g.ry)))
            << c.w;
    }
    // A printer that reports no size prints nothing.
    EXPECT_EQ(ComputePrintGeometry(100, 0, 287, 600, 600, 96, 96).pages, 0);
    EXPECT_EQ(PrintFooterText(2, 3), "Page:2   of   3");
}
