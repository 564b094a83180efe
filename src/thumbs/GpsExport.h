#pragma once
#include <string>
#include <vector>

// The name of the export file in the program folder.
constexpr const char* kGpsExportFileName = "imggps.gpd";

// Exports name, date and GPS position of every JPEG among the pictures (full
// paths, in list order) to imggps.gpd in the program folder: nine string
// arrays, the first holding the current folder, the other eight one entry per
// exported file. Files that cannot be read as a JPEG are skipped. When no file
// qualifies nothing is written and an older export stays as it was; the file
// is replaced atomically otherwise. Returns whether the file was written.
bool ExportGpsInfo(const std::string& currentFolder, const std::vector<std::string>& pictures);

// The bytes of the export file for the given entries; "" when pictures holds
// no readable JPEG.
std::string BuildGpsExport(const std::string& currentFolder,
                           const std::vector<std::string>& pictures);
