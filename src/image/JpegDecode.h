#pragma once
#include "image/ImageBuffer.h"

#include <cstdint>

// JPEG files are decoded by libjpeg-turbo straight into the 24-bit
// bottom-up block, with the fast integer transform and the plain upsampling:
// the same pixels, byte for byte, as the codec's default JPEG load, without
// its intermediate bitmap. The recorded depth is the codec's: 8 for a
// greyscale file, 24 otherwise.
//
// Decodes the JPEG file open as `fd` (read from its start with pread, the
// descriptor's offset is left alone) into `out`. Returns false, leaving
// `out` as it was, for anything the fast decoder refuses or warns about
// (CMYK and YCCK files, damaged or truncated data, 12-bit samples), for a
// picture that the codec would hold in more than CImageBuffer::kMaxBlock
// while it decodes it (see DecodePeakBytes), and when memory cannot be had:
// the caller then leaves the file to the codec.
bool DecodeJpegFast(int fd, CImageBuffer& out);

// The libjpeg-turbo flags of that decode.
int FastJpegFlags();
