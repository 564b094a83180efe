#include "app/Settings.h"

#include "platform/FileOps.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"

#include <utility>

namespace {

struct ColourKey {
    const char* section;
    COLORREF CSystemSettings::*field;
    int r, g, b; // defaults when keys are missing
};

constexpr ColourKey kColours[] = {
    {"RightBackColor", &CSystemSettings::crRightBack, 255, 255, 255},
    {"LeftBackColor", &CSystemSettings::crLeftBack, 255, 255, 255},
    {"RightTubBkColor", &CSystemSettings::crRightTubBk, 255, 255, 255},
    {"TumBackColor", &CSystemSettings::crTumBack, 255, 255, 255},
    {"TumCrInfoColor", &CSystemSettings::crTumCrInfo, 128, 128, 128},
    {"TumCrIndiColor", &CSystemSettings::crTumCrIndi, 0, 123, 188},
    {"TumTileColor", &CSystemSettings::crTumTile, 0, 0, 0},
    {"TumTileBkColor", &CSystemSettings::crTumTileBk, 255, 255, 255},
};

struct FlagKey {
    const char* section;
    const char* key;
    std::int32_t CSystemSettings::*field;
    int def;
};

constexpr FlagKey kFlags[] = {
    {"DeleteInfo", "mDelete", &CSystemSettings::mDelete, 1},
    {"AutoSave", "mSave", &CSystemSettings::mSave, 0},
    {"ShowLastSee", "mLastSee", &CSystemSettings::mLastSee, 0},
};

constexpr const char* kAutoThumbSection = "AutoThumb";
constexpr const char* kAutoThumbKey = "mAutoThumb";

int ReadInt(const CIniFile& ini, const char* section, const char* key, int def) {
    auto v = ini.Get(section, key);
    return v ? ParseProfileInt(*v) : def;
}

} // namespace

std::string GetSettingsPath() {
    return GetProgramFolder() + kSettingsFileName;
}

void ReadSettingsFile(const std::string& path, CSystemSettings& s, std::string& currentFolder) {
    CIniFile ini;
    ini.Load(path);
    for (const ColourKey& c : kColours) {
        int r = ReadInt(ini, c.section, "Red", c.r);
        int g = ReadInt(ini, c.section, "Green", c.g);
        int b = ReadInt(ini, c.section, "Blue", c.b);
        s.*c.field = RGB(r, g, b);
    }
    s.nTumCx = ReadInt(ini, "TumSize", "Cx", 80);
    s.nTumCy = ReadInt(ini, "TumSize", "Cy", 80);
    currentFolder = CutUtf8(ini.Get("CurrentFolder", "Folder").value_or(kNoFolder), kMaxPath);
    (void)ReadInt(ini, "AddTreeWndImgfile", "mAdd", 0); // read and discarded
    s.mAdd = 0;
    for (const FlagKey& f : kFlags)
        s.*f.field = ReadInt(ini, f.section, f.key, f.def) != 0 ? 1 : 0;
    s.mAutoThumb = ReadInt(ini, kAutoThumbSection, kAutoThumbKey, 0) != 0 ? 1 : 0;
}

bool WriteSettingsFile(const std::string& path, const CSystemSettings& s,
                       const std::string& currentFolder) {
    CIniFile ini;
    ini.Load(path);
    auto num = [](long v) { return std::to_string(v); };
    for (const ColourKey& c : kColours) {
        COLORREF v = s.*c.field;
        ini.Set(c.section, "Red", num(GetRValue(v)));
        ini.Set(c.section, "Green", num(GetGValue(v)));
        ini.Set(c.section, "Blue", num(GetBValue(v)));
    }
    ini.Set("TumSize", "Cx", num(s.nTumCx));
    ini.Set("TumSize", "Cy", num(s.nTumCy));
    ini.Set("CurrentFolder", "Folder", currentFolder);
    ini.Set("AddTreeWndImgfile", "mAdd", "0");
    for (const FlagKey& f : kFlags)
        ini.Set(f.section, f.key, s.*f.field != 0 ? "1" : "0");
    if (s.mAutoThumb != 0)
        ini.Set(kAutoThumbSection, kAutoThumbKey, "1");
    else
        ini.Remove(kAutoThumbSection, kAutoThumbKey);
    return ini.Save(path);
}

void DeleteStoredSettings(const std::string& programFolder) {
    DeleteFileAt(programFolder + kFavoritesFileName);
    DeleteFileAt(programFolder + kSettingsFileName);
}
