#pragma once
// The desktop's wallpaper setter for tests: installed while the object lives,
// it records every file and style it is handed, with the picture the file
// held at that moment, and answers with `result`.
#include "image/Codec.h"
#include "platform/WallpaperSetter.h"

#include <string>
#include <vector>

class CScriptedWallpaper final : public IWallpaperSetter {
public:
    struct Call {
        std::string path;
        EWallpaperStyle style;
        int width = 0, height = 0; // of the picture in the file; 0 when unreadable
    };
    CScriptedWallpaper() : m_old(SetWallpaperSetter(this)) {}
    ~CScriptedWallpaper() override { SetWallpaperSetter(m_old); }

    bool SetWallpaper(const std::string& path, EWallpaperStyle style) override {
        CImageBuffer img;
        LoadImageFile(path, img);
        calls.push_back({path, style, img.Width(), img.Height()});
        return result;
    }

    std::vector<Call> calls;
    bool result = true;

private:
    IWallpaperSetter* m_old;
};
