#pragma once
#include "image/ImageBuffer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The thumbnail cache: every picture the image window loads leaves a small
// file "<stamp><title>.xux" in the folder "Thumb/" beside the program. The
// list window and the bottom strip read these files instead of decoding the
// pictures again.
//
// File layout (little-endian, no magic): 32-bit width w, 32-bit height h, then
// h bottom-up rows of w blue-green-red pixels, each row padded to a multiple
// of 4 bytes. The writer produces 1 ... 60 for both sides, or 0 x 0 (an
// 8-byte file) for a picture too thin to keep any row or column; a file of
// a zero side holds nothing to draw.

constexpr int kThumbMax = 60; // longest side of a thumbnail
constexpr std::size_t kThumbHeaderSize = 8;
// The largest cache file: the header and 60 rows of 60 pixels.
constexpr std::size_t kThumbFileMax = kThumbHeaderSize + (3 * kThumbMax + 3) / 4 * 4 * kThumbMax;

// The program folder + "Thumb/".
std::string GetThumbFolder();

// The cache file name of a picture: the stamp (size, creation and last-write
// time; empty when the picture cannot be opened), the file name without its
// last extension, and ".xux".
std::string GetThumbName(const std::string& path);

// The stamp part of a cache name: the low 32 bits of the size as a signed
// number, then year, month, day, hour and minute of the creation time and of
// the last-write time (UTC), each number without leading zeros.
std::string ThumbStamp(std::uint64_t size, std::int64_t created, std::int64_t modified);

// Full path of a picture's cache file: GetThumbFolder() + GetThumbName(path).
std::string GetThumbPath(const std::string& path);

// The cache folder holds a file with the picture's cache name.
bool ThumbExists(const std::string& path);

// Sizes of the thumbnail of a W x H picture: the box it is fitted into
// (centred in 60 x 60) and the thumbnail itself.
struct ThumbSize {
    int boxWidth = 0, boxHeight = 0;
    int width = 0, height = 0;
};
ThumbSize ComputeThumbSize(std::int64_t width, std::int64_t height);

// Source column (or row) of each output column of a thumbnail that is
// outSize wide made from a picture srcSize wide, nearest neighbour, limited
// to the last source column. Shrinking steps a single-precision accumulator
// by srcSize / outSize (computed in single precision) per column and
// truncates it; enlarging truncates c / (outSize / srcSize).
std::vector<int> ThumbSampleIndices(int srcSize, int outSize);

// A thumbnail as read from or written to a cache file.
struct CThumbnail {
    int width = 0; // 0 x 0: an empty thumbnail (nothing to draw)
    int height = 0;
    std::vector<std::uint8_t> bits; // StrideFor(width) * height bytes, bottom-up BGR

    bool IsEmpty() const { return width == 0 || height == 0; }
    int Stride() const { return static_cast<int>(CImageBuffer::StrideFor(width)); }
};

// Scales a picture to its thumbnail. nullopt for an empty picture or when
// memory for the block cannot be had.
std::optional<CThumbnail> MakeThumbnail(const CImageBuffer& img);

// The bytes of a cache file holding the thumbnail.
std::string EncodeThumbnail(const CThumbnail& thumb);

// A cache file is valid when its header gives both sides in 0 ... 60 and it
// holds exactly the rows the header promises: 8 + stride x h bytes (so the
// 8-byte 0 x 0 file is valid, and so is any file of a zero side).
bool IsValidThumbFile(std::int64_t width, std::int64_t height, std::uint64_t fileSize);

// Checks and decodes the bytes of a cache file; nullopt unless they are a
// valid cache file (the caller shows its placeholder).
std::optional<CThumbnail> ParseThumbnail(std::string_view bytes);

// Reads a cache file by its own path (or by its name in an open folder)
// through OpenRegularFile; nullopt when it is missing, unreadable, not a
// regular file or not valid.
std::optional<CThumbnail> ReadThumbnailFile(const std::string& cacheFile);
std::optional<CThumbnail> ReadThumbnailFileAt(int dirFd, const char* name);

// Reads the cached thumbnail of a picture.
std::optional<CThumbnail> ReadThumbnail(const std::string& picturePath);

// Writes the cache file of a loaded picture unless a valid one exists; a
// damaged one (anything that fails IsValidThumbFile) is replaced. The file
// takes its name only when complete. Returns whether a valid cache file now
// exists; failures (read-only program folder, a name too long for the file
// system) are quiet.
bool WriteThumbnail(const CImageBuffer& img, const std::string& path);

// Deletes every file of the cache folder and then the folder. When the folder
// cannot be removed (missing, or still holding something) the user is told
// "Failed to Delete selected Folder ". Returns whether the folder was removed.
bool ClearThumbCache();

// Deletes every "*.tub" file (not folders) of the folder "Thumbnails/" in the
// program folder, read-only ones included; the folder stays. Returns how many
// files matched, so the caller can mark its file list as changed.
int DeleteOldTubFiles();
