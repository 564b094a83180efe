#pragma once
#include <cstdint>
#include <string>

// A colour as 0x00BBGGRR (red in the low byte).
using COLORREF = std::uint32_t;
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 255) | ((g & 255) << 8) | ((b & 255) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 255);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 255);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 255);
}

// The persistent settings held by the main frame. The constructor gives the
// values the program has before System.ini is first read.
struct CSystemSettings {
    COLORREF crRightBack = RGB(128, 128, 128);
    COLORREF crLeftBack = RGB(255, 255, 255);
    COLORREF crRightTubBk = RGB(255, 255, 255);
    COLORREF crTumBack = RGB(128, 128, 128);
    COLORREF crTumCrInfo = RGB(255, 255, 255);
    COLORREF crTumCrIndi = RGB(0, 0, 255);
    COLORREF crTumTile = RGB(255, 255, 255);
    COLORREF crTumTileBk = RGB(255, 255, 255);
    std::int32_t nTumCx = 60;
    std::int32_t nTumCy = 60;
    std::int32_t mAdd = 1;
    std::int32_t mDelete = 0;
    std::int32_t mSave = 0;
    std::int32_t mLastSee = 0;
    // Make the missing thumbnails of a shown folder in the background. Off
    // by default; stored only while on, so a file of the other settings
    // keeps its bytes.
    std::int32_t mAutoThumb = 0;
};

constexpr const char* kSettingsFileName = "System.ini";
constexpr const char* kFavoritesFileName = "tree.sxs";
constexpr const char* kNoFolder = "No Name";

// Program folder + "System.ini".
std::string GetSettingsPath();

// Reads every setting from the INI file into the record and the stored current
// folder. Missing files, sections and keys give the defaults; "mAdd" is read
// and discarded (the option always starts off).
void ReadSettingsFile(const std::string& path, CSystemSettings& s, std::string& currentFolder);

// Writes every setting in one whole-file write (temporary file renamed over
// the old one), keeping any other section of the file. "AutoThumb" comes
// last and only while the option is on; when it is off the key is removed.
// Returns false when the file could not be written (a read-only folder);
// callers ignore that.
bool WriteSettingsFile(const std::string& path, const CSystemSettings& s,
                       const std::string& currentFolder);

// The reset command: deletes tree.sxs, then System.ini, in the given folder.
void DeleteStoredSettings(const std::string& programFolder);
