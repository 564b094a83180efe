#pragma once
#include "image/ImageBuffer.h"

#include <optional>
#include <string>

// The bridge to the picture codec. Files are typed, decoded and encoded by
// FreeImage; the program writes BMP files itself.

// Decodes a picture file into the buffer as 24 bits, keeping the file's own
// bit depth. The file is opened through OpenRegularFile (never blocking,
// regular files only) and the codec reads that open file; the type is taken
// from the content first, then from the name. Every type the codec loads is
// turned into 24 bits: 16-bit grey by its high byte, the other one-channel
// types (signed 16-bit, 32-bit integers, float, double) by their own
// minimum-maximum range, floating-point colour (HDR, EXR) tone-mapped.
// Returns false (the buffer is then left as it was) for an unknown or
// unreadable type, a failed decode or conversion, or a picture whose decoding
// and conversion would need more than CImageBuffer::kMaxBlock at any moment
// (see DecodePeakBytes), or whose block cannot be allocated. Where the header
// can be read alone (by the codec; a GIF's by the program), an oversized
// picture is refused before it is decoded.
bool LoadImageFile(const std::string& path, CImageBuffer& out);

// The size and bits per pixel of a picture file read from its header alone,
// without decoding a pixel (the file is opened as LoadImageFile opens it).
// nullopt for an unknown type, a type whose header cannot be read alone or
// whose reader runs only in a child process (PSD, JPEG XR, OpenEXR, PICT),
// or a damaged header.
struct ImageHeader {
    int width, height, bitsPerPixel;
};
std::optional<ImageHeader> ReadImageHeader(const std::string& path);

// The most bytes of pixel blocks that a picture of the codec's image type
// `imageType` (a FREE_IMAGE_TYPE) with `bitsPerPixel` holds at one moment
// while it is decoded and turned into 24 bits: the decoded block together
// with the result of each conversion step. 0 for a side of 0.
std::uint64_t DecodePeakBytes(int imageType, unsigned bitsPerPixel, std::uint64_t width,
                              std::uint64_t height);

// The status-bar text of a decode that took the given seconds:
// "解码:%3.3f秒", or "解码:< 0.001秒" when the time is 0 or less.
std::string FormatDecodeTime(float seconds);

enum ImageFormat { kFormatBmp = 1, kFormatJpeg = 2, kFormatPng = 3 };

// The one way the program saves a picture as a file. It writes the rectangle
// [left, right) x [top, bottom) of the picture (top-down picture coordinates,
// clipped to the picture) in `format`: BMP by the program's own writer, JPEG
// and PNG encoded by the codec straight from memory with its default quality
// (the pixels and resolution fields are those of a BMP written by the
// program and converted by the codec). The file reaches `path` only when it
// is complete (CAtomicFile), so a failed or interrupted save never damages a
// file that was there. Shows no message; returns whether the file was
// written. Every writer of a picture goes through it: save-as, the
// selection, resize-and-save, the automatic save after flips and turns, the
// wallpaper and printing.
bool SaveImageFile(const CImageBuffer& img, int left, int top, int right, int bottom,
                   const std::string& path, int format);

// Writes a bottom-up 24-bit block of width x height (rows padded to a multiple
// of 4 bytes, CImageBuffer::StrideFor(width) apart) as a BMP file. Nothing is
// written for an empty size. When the file cannot be created the user is told
// "创建文件失败". Returns whether the file was written.
bool WriteBmpFile(const std::uint8_t* pixels, int width, int height, const std::string& path);

// Writes the rectangle [left, right) x [top, bottom) of the picture (top-down
// picture coordinates, clipped to the picture) as a BMP file of exactly that
// size; the user is told "创建文件失败" when the file cannot be created.
bool SaveImageRect(const CImageBuffer& img, int left, int top, int right, int bottom,
                   const std::string& path);
bool SaveWholeImage(const CImageBuffer& img, const std::string& path);
