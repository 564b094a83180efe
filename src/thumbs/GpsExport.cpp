#include "thumbs/GpsExport.h"

#include "library/StringArchive.h"
#include "platform/FileOps.h"
#include "platform/ProgramFolder.h"
#include "thumbs/ExifReader.h"

#include <cstdio>

namespace {

std::string FormatDouble(double v) {
    char buf[512]; // "%f" of the largest double needs 317 characters
    int n = std::snprintf(buf, sizeof buf, "%f", v);
    return n < 0 ? std::string() : std::string(buf, static_cast<std::size_t>(n));
}

} // namespace

std::string BuildGpsExport(const std::string& currentFolder,
                           const std::vector<std::string>& pictures) {
    enum { Name, Date, LatRef, Lat, LonRef, Lon, AltRef, Alt, Count };
    std::vector<std::string> arrays[Count];
    for (const std::string& path : pictures) {
        CExifReader reader;
        if (!reader.ReadJpegFile(path))
            continue;
        const ExifRecord& r = reader.Record();
        arrays[Name].push_back(FileNameOf(path));
        arrays[Date].push_back(FieldText(r.szDateTime));
        arrays[LatRef].push_back(FieldText(r.szGpsLatRef));
        arrays[Lat].push_back(FormatDouble(r.dGpsLatitude));
        arrays[LonRef].push_back(FieldText(r.szGpsLonRef));
        arrays[Lon].push_back(FormatDouble(r.dGpsLongitude));
        arrays[AltRef].push_back(FieldText(r.szGpsAltRef));
        arrays[Alt].push_back(FormatDouble(r.dGpsAltitude));
    }
    if (arrays[Name].empty())
        return {};
    std::string out;
    AppendStringArray(out, {currentFolder});
    for (const auto& array : arrays)
        AppendStringArray(out, array);
    return out;
}

bool ExportGpsInfo(const std::string& currentFolder, const std::vector<std::string>& pictures) {
    std::string bytes = BuildGpsExport(currentFolder, pictures);
    if (bytes.empty())
        return false;
    return WriteFileAtomically(GetProgramFolder() + kGpsExportFileName, bytes);
}
