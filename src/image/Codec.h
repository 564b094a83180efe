#pragma once
#include "image/ImageBuffer.h"

#include <string>

// The bridge to the picture codec. Files are typed, decoded and encoded by
// FreeImage; the program writes BMP files itself.

// Decodes a picture file into the buffer as 24 bits, keeping the file's own
// bit depth. The type is taken from the content first, then from the name.
// Returns false (the buffer is then left as it was) for an unknown or
// unreadable type, a failed decode or conversion, or a picture whose 24-bit
// block is larger than CImageBuffer::kMaxBlock or cannot be allocated.
bool LoadImageFile(const std::string& path, CImageBuffer& out);

// The status-bar text of a decode that took the given seconds:
// "解码:%3.3f秒", or "解码:< 0.001秒" when the time is 0 or less.
std::string FormatDecodeTime(float seconds);

enum ImageFormat { kFormatBmp = 1, kFormatJpeg = 2, kFormatPng = 3 };

// Converts a picture file into another file of format 1 (BMP), 2 (JPEG) or
// 3 (PNG) with the codec's default quality. Returns what the encoder
// reported; the target is written under a temporary name and renamed into
// place, so a failed save never damages an existing file.
bool ConvertImageFile(const std::string& source, const std::string& target, int format);

// Writes a bottom-up 24-bit block of width x height (rows padded to a multiple
// of 4 bytes, CImageBuffer::StrideFor(width) apart) as a BMP file. Nothing is
// written for an empty size. When the file cannot be created the user is told
// "创建文件失败". Returns whether the file was written.
bool WriteBmpFile(const std::uint8_t* pixels, int width, int height, const std::string& path);

// Writes the rectangle [left, right) x [top, bottom) of the picture (top-down
// picture coordinates, clipped to the picture) as a BMP file of exactly that
// size.
bool SaveImageRect(const CImageBuffer& img, int left, int top, int right, int bottom,
                   const std::string& path);
bool SaveWholeImage(const CImageBuffer& img, const std::string& path);
