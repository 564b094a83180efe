#pragma once
#include <string>
#include <vector>

struct ExifRecord;

// The rows of the EXIF page of the file-information sheet: a label and a
// value each, in display order.

// Empties both lists, reads the file and appends the rows of its record; no
// rows when the file cannot be read as a JPEG.
void FillExifRows(const std::string& path, std::vector<std::string>& tags,
                  std::vector<std::string>& values);

// Appends the rows of a record that was read successfully.
void AppendExifRows(const ExifRecord& record, std::vector<std::string>& tags,
                    std::vector<std::string>& values);
