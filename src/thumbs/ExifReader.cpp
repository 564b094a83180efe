#include "thumbs/ExifReader.h"

#include "platform/FileOps.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Bytes per component of the TIFF formats 1 ... 12; format 0 is a value of
// no bytes.
constexpr unsigned kBytesPerFormat[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
constexpr unsigned kMaxFormat = 12;

enum Format : unsigned {
    FmtByte = 1,
    FmtString = 2,
    FmtUShort = 3,
    FmtULong = 4,
    FmtURational = 5,
    FmtSByte = 6,
    FmtUndefined = 7,
    FmtSShort = 8,
    FmtSLong = 9,
    FmtSRational = 10,
    FmtSingle = 11,
    FmtDouble = 12,
};

enum Tag : unsigned {
    TagGpsVersion = 0,
    TagGpsLatRef = 1,
    TagGpsLat = 2,
    TagGpsLonRef = 3,
    TagGpsLon = 4,
    TagGpsAltRef = 5,
    TagGpsAlt = 6,
    TagMake = 271,
    TagModel = 272,
    TagOrientation = 274,
    TagXResolution = 282,
    TagYResolution = 283,
    TagResolutionUnit = 296,
    TagExposureTime = 33434,
    TagFNumber = 33437,
    TagExifOffset = 34665,
    TagExposureProgram = 34850,
    TagGpsOffset = 34853,
    TagIsoEquivalent = 34855,
    TagExifVersion = 36864,
    TagDateTimeOriginal = 36867,
    TagCompressionLevel = 37122,
    TagShutterSpeed = 37377,
    TagApertureValue = 37378,
    TagBrightness = 37379,
    TagExposureBias = 37380,
    TagMaxAperture = 37381,
    TagSubjectDistance = 37382,
    TagMeteringMode = 37383,
    TagLightSource = 37384,
    TagFlash = 37385,
    TagFocalLength = 37386,
    TagUserComment = 37510,
    TagExifImageWidth = 40962,
    TagExifImageLength = 40963,
    TagInteropOffset = 40965,
    TagFocalPlaneXRes = 41486,
    TagFocalPlaneYRes = 41487,
    TagFocalPlaneUnits = 41488,
};

// Bytes read at once from the head of a file: enough for the sections before
// the scan of most camera pictures.
constexpr std::size_t kHeadBytes = 64 * 1024;

constexpr std::size_t kMaxCommentBytes = 1000; // of a comment section, length bytes included
constexpr std::size_t kUserCommentLimit = 199;

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Conversions to integers truncate toward zero; values beyond the 32-bit range
// saturate and NaN gives 0.
std::int32_t TruncToInt(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return INT_MAX;
    if (v <= -2147483648.0)
        return INT_MIN;
    return static_cast<std::int32_t>(v);
}

// Copies a text of at most `limit` bytes from a value of `avail` bytes: the
// bytes up to the first zero, the rest of the `limit` bytes zero-filled, and a
// terminator behind them when the field has room for one. A cut at the limit
// never splits a UTF-8 sequence.
void CopyText(char* dst, std::size_t fieldSize, std::size_t limit, const unsigned char* src,
              std::size_t avail, bool utf8 = true) {
    std::size_t max = limit < avail ? limit : avail;
    std::size_t n = 0;
    while (n < max && src[n] != 0)
        ++n;
    if (utf8 && n == limit && n < avail && IsContinuation(src[n])) {
        std::size_t k = n;
        int steps = 0;
        while (k > 0 && steps < 3 && IsContinuation(src[k])) {
            --k;
            ++steps;
        }
        if (!IsContinuation(src[k]) && src[k] >= 0xC0)
            n = k;
    }
    std::memcpy(dst, src, n);
    std::memset(dst + n, 0, limit - n);
    if (limit < fieldSize)
        dst[limit] = '\0';
}

// Where the bytes come from: a stdio stream or a buffer in memory. Get returns
// the next byte or -1 at the end; Read returns the number of bytes copied.
struct FileSource {
    std::FILE* file;
    int Get() { return std::getc(file); }
    std::size_t Read(unsigned char* dst, std::size_t n) { return std::fread(dst, 1, n, file); }
};

// A file read through its descriptor: the head of the file lands in one
// buffer with a single read (a section is never longer than the buffer).
struct FdSource {
    int fd;
    unsigned char* buf;
    std::size_t cap;
    std::size_t pos = 0;
    std::size_t len = 0;
    bool eof = false;

    bool Fill() {
        pos = len = 0;
        while (!eof) {
            ssize_t got = ::read(fd, buf, cap);
            if (got > 0) {
                len = static_cast<std::size_t>(got);
                return true;
            }
            if (got == 0 || errno != EINTR)
                eof = true;
        }
        return false;
    }
    int Get() {
        if (pos == len && !Fill())
            return -1;
        return buf[pos++];
    }
    std::size_t Read(unsigned char* dst, std::size_t n) {
        std::size_t got = 0;
        while (got < n) {
            if (pos == len && !Fill())
                break;
            std::size_t k = len - pos < n - got ? len - pos : n - got;
            std::memcpy(dst + got, buf + pos, k);
            pos += k;
            got += k;
        }
        return got;
    }
};

struct MemorySource {
    const unsigned char* data;
    std::size_t size;
    std::size_t pos = 0;
    int Get() { return pos < size ? data[pos++] : -1; }
    std::size_t Read(unsigned char* dst, std::size_t n) {
        std::size_t left = size - pos;
        if (n > left)
            n = left;
        if (n)
            std::memcpy(dst, data + pos, n);
        pos += n;
        return n;
    }
};

bool IsFrameHeader(int marker) {
    switch (marker) {
    case 0xC0:
    case 0xC1:
    case 0xC2:
    case 0xC3:
    case 0xC5:
    case 0xC6:
    case 0xC7:
    case 0xC9:
    case 0xCA:
    case 0xCB:
    case 0xCD:
    case 0xCE:
    case 0xCF:
        return true;
    default:
        return false;
    }
}

} // namespace

CExifReader::CExifReader(ExifRecord* pRecord) : m_pRecord(pRecord) {
    if (!m_pRecord) {
        m_pRecord = new ExifRecord;
        std::memset(m_pRecord, 0, sizeof(ExifRecord));
        m_bOwnsRecord = 1;
    }
}

CExifReader::~CExifReader() {
    if (m_bOwnsRecord)
        delete m_pRecord;
}

void CExifReader::CopyRecord(ExifRecord* pOut) const {
    std::memcpy(pOut, m_pRecord, sizeof(ExifRecord));
}

void CExifReader::SetError(const char* text) {
    std::strncpy(m_szLastError, text, sizeof m_szLastError - 1);
    m_szLastError[sizeof m_szLastError - 1] = '\0';
}

bool CExifReader::ReadJpegFile(const std::string& path) {
    CFileHandle file = OpenRegularFile(path);
    if (!file)
        return false;
    unsigned char buf[kHeadBytes];
    FdSource in{file.Fd(), buf, sizeof buf};
    return WalkSections(in);
}

bool CExifReader::ReadJpegSections(std::FILE* file) {
    FileSource in{file};
    return WalkSections(in);
}

bool CExifReader::ReadJpegBytes(const unsigned char* data, std::size_t size) {
    MemorySource in{data, size};
    return WalkSections(in);
}

template <class Source> bool CExifReader::WalkSections(Source& in) {
    m_bHaveComment = false;
    int a = in.Get();
    int b = in.Get();
    if (a != 0xFF || b != 0xD8)
        return false;
    if (m_nSectionsRead >= kMaxSections) {
        SetError("Too many sections in jpg file");
        return false;
    }
    for (;;) {
        int marker = 0;
        for (int n = 0;; ++n) {
            marker = in.Get();
            if (marker != 0xFF)
                break;
            if (n >= 6) {
                SetError("too many padding unsigned chars\n");
                return false;
            }
        }
        int lh = in.Get();
        int ll = in.Get();
        int length = (lh < 0 || ll < 0) ? -1 : (lh << 8) | ll;
        if (length < 2) {
            SetError("invalid marker");
            return false;
        }
        std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[length]);
        if (!data) {
            SetError("Could not allocate memory");
            return false;
        }
        data[0] = static_cast<unsigned char>(lh);
        data[1] = static_cast<unsigned char>(ll);
        std::size_t want = static_cast<std::size_t>(length) - 2;
        if (in.Read(data.get() + 2, want) != want) {
            SetError("Premature end of file?");
            return false;
        }
        Section& section = m_Sections[m_nSectionsRead];
        section.pData = std::move(data);
        section.nType = marker;
        section.nSize = length;
        ++m_nSectionsRead;
        unsigned char* p = section.pData.get();

        auto dropSection = [&] {
            --m_nSectionsRead;
            m_Sections[m_nSectionsRead] = Section{};
        };

        if (IsFrameHeader(marker)) {
            ProcessFrameHeader(p, length, marker);
        } else if (marker == 0xD9) {
            return false;
        } else if (marker == 0xDA) {
            return true;
        } else if (marker == 0xE0) {
            dropSection();
        } else if (marker == 0xE1) {
            if (length - 2 >= 4 && std::memcmp(p + 2, "Exif", 4) == 0)
                m_pRecord->bExifValid = ProcessExif(p + 2, want) ? 1 : 0;
            else
                dropSection();
        } else if (marker == 0xFE) {
            if (!m_bHaveComment) {
                m_bHaveComment = true;
                ProcessComment(p, length);
            } else {
                dropSection();
            }
        }
        if (m_nSectionsRead >= kMaxSections) {
            SetError("Too many sections in jpg file");
            return false;
        }
    }
}

void CExifReader::ProcessFrameHeader(const unsigned char* data, int size, int marker) {
    // A frame header too short to hold its size and component count is kept
    // but tells nothing.
    if (size < 8)
        return;
    m_pRecord->nHeight = (data[3] << 8) | data[4];
    m_pRecord->nWidth = (data[5] << 8) | data[6];
    m_pRecord->bIsColor = data[7] == 3 ? 1 : 0;
    m_pRecord->nProcess = marker;
}

void CExifReader::ProcessComment(const unsigned char* data, int size) {
    std::size_t used = static_cast<std::size_t>(size);
    if (used > kMaxCommentBytes)
        used = kMaxCommentBytes;
    char text[kMaxCommentBytes];
    std::size_t n = 0;
    for (std::size_t a = 2; a < used; ++a) {
        unsigned char ch = data[a];
        if (ch == '\r' && a + 1 < used && data[a + 1] == '\n')
            continue;
        if (ch >= 32 || ch == '\n' || ch == '\t')
            text[n++] = static_cast<char>(ch);
        else
            text[n++] = '?';
    }
    // The cut at the end of the used bytes does not split a UTF-8 sequence.
    if (static_cast<std::size_t>(size) > used && IsContinuation(data[used])) {
        std::size_t a = used - 1;
        std::size_t k = 0;
        while (a > 2 && k < 3 && IsContinuation(data[a])) {
            --a;
            ++k;
        }
        if (data[a] >= 0xC0 && n >= k + 1)
            n -= k + 1;
    }
    std::memset(m_pRecord->szComments, 0, sizeof m_pRecord->szComments);
    std::memcpy(m_pRecord->szComments, text, n);
}

unsigned CExifReader::Get16u(const unsigned char* p) const {
    return m_bMotorolaOrder ? (unsigned(p[0]) << 8) | p[1] : (unsigned(p[1]) << 8) | p[0];
}

std::uint32_t CExifReader::Get32u(const unsigned char* p) const {
    if (m_bMotorolaOrder)
        return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
               (std::uint32_t(p[2]) << 8) | p[3];
    return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) |
           p[0];
}

std::int32_t CExifReader::Get32s(const unsigned char* p) const {
    return static_cast<std::int32_t>(Get32u(p));
}

double CExifReader::ConvertAnyFormat(const unsigned char* p, unsigned format) const {
    switch (format) {
    case FmtSByte:
        return static_cast<signed char>(p[0]);
    case FmtByte:
        return p[0];
    case FmtUShort:
        return Get16u(p);
    case FmtULong:
        return Get32u(p);
    case FmtURational:
    case FmtSRational: {
        std::int32_t num = Get32s(p);
        std::int32_t den = Get32s(p + 4);
        return den == 0 ? 0.0 : static_cast<double>(num) / den;
    }
    case FmtSShort:
        return static_cast<std::int16_t>(Get16u(p));
    case FmtSLong:
        return Get32s(p);
    case FmtSingle: {
        float f;
        std::memcpy(&f, p, sizeof f);
        return f;
    }
    case FmtDouble: {
        double d;
        std::memcpy(&d, p, sizeof d);
        return d;
    }
    default:
        return 0.0;
    }
}

bool CExifReader::ProcessExif(unsigned char* block, std::size_t size) {
    m_pRecord->bFlashUsed = 0;
    std::memset(m_pRecord->szComments, 0, sizeof m_pRecord->szComments);
    m_nExifImageWidth = 0;

    if (size < 6 || std::memcmp(block, "Exif\0\0", 6) != 0) {
        SetError("Incorrect Exif header");
        return false;
    }
    if (size >= 8 && std::memcmp(block + 6, "II", 2) == 0) {
        m_bMotorolaOrder = 0;
    } else if (size >= 8 && std::memcmp(block + 6, "MM", 2) == 0) {
        m_bMotorolaOrder = 1;
    } else {
        SetError("Invalid Exif alignment marker.");
        return false;
    }
    if (size < 10 || Get16u(block + 8) != 0x2A) {
        SetError("Invalid Exif start (1)");
        return false;
    }
    if (size < 14) {
        SetError("Suspicious offset of first IFD value");
        return false;
    }
    std::uint32_t firstOffset = Get32u(block + 10);
    if (firstOffset < 8 || firstOffset > 16) {
        SetError("Suspicious offset of first IFD value");
        return false;
    }

    m_pTiff = block + 6;
    m_nTiffLength = size - 6;
    m_nDirs = 0;
    bool ok = ProcessExifDir(8, OrdinaryDir);
    m_pTiff = nullptr;
    m_nTiffLength = 0;
    if (!ok)
        return false;

    ExifRecord& r = *m_pRecord;
    if (r.fFocalPlaneXRes != 0)
        r.fCCDWidth =
            static_cast<float>(m_nExifImageWidth) * r.fFocalPlaneUnits / r.fFocalPlaneXRes;
    return true;
}

bool CExifReader::EnterSubDir(std::size_t offset, DirKind kind) {
    bool seen = false;
    for (int i = 0; i < m_nDirs; ++i)
        seen = seen || m_DirStarts[i] == offset;
    if (offset > m_nTiffLength || seen || m_nDirs >= kMaxDirs) {
        SetError("Illegal subdirectory link");
        return false;
    }
    ProcessExifDir(offset, kind); // a failing sub-directory does not stop its parent
    return true;
}

bool CExifReader::ProcessExifDir(std::size_t start, DirKind kind) {
    m_DirStarts[m_nDirs++] = start;
    const std::size_t length = m_nTiffLength;
    if (start > length || length - start < 2) {
        SetError("Illegally sized directory");
        return false;
    }
    const std::size_t count = Get16u(m_pTiff + start);
    const std::size_t dirEnd = start + 2 + 12 * count;
    if (dirEnd > length) {
        SetError("Illegally sized directory");
        return false;
    }

    for (std::size_t de = 0; de < count; ++de) {
        unsigned char* entry = m_pTiff + start + 2 + 12 * de;
        unsigned tag = Get16u(entry);
        unsigned format = Get16u(entry + 2);
        std::uint32_t components = Get32u(entry + 4);
        if (format > kMaxFormat) {
            SetError("Illegal format code in EXIF dir");
            return false;
        }
        std::uint64_t byteCount = std::uint64_t(components) * kBytesPerFormat[format];
        unsigned char* value;
        if (byteCount > 4) {
            std::uint64_t offset = Get32u(entry + 8);
            if (offset + byteCount > length) {
                SetError("Illegal pointer offset value in EXIF.");
                return false;
            }
            value = m_pTiff + offset;
        } else {
            value = entry + 8;
        }

        if (tag == TagExifOffset || tag == TagInteropOffset || tag == TagGpsOffset) {
            if (!EnterSubDir(Get32u(value), tag == TagGpsOffset ? GpsDir : OrdinaryDir))
                return false;
            continue;
        }
        HandleTag(tag, format, components, value, static_cast<std::size_t>(byteCount), kind);
    }

    // The link to a further directory: 16 bits right behind the last entry.
    if (dirEnd + 2 <= length) {
        std::size_t link = Get16u(m_pTiff + dirEnd);
        if (link != 0 && !EnterSubDir(link, OrdinaryDir))
            return false;
    }
    return true;
}

void CExifReader::HandleTag(unsigned tag, unsigned format, std::uint32_t components,
                            unsigned char* value, std::size_t byteCount, DirKind kind) {
    ExifRecord& r = *m_pRecord;
    const bool rational = format == FmtURational || format == FmtSRational;

    // The GPS position belongs to the GPS directory alone.
    if (tag <= TagGpsAlt) {
        if (kind != GpsDir)
            return;
        switch (tag) {
        case TagGpsVersion:
            CopyText(r.szGpsVersion, sizeof r.szGpsVersion, 4, value, byteCount, false);
            break;
        case TagGpsLatRef:
            CopyText(r.szGpsLatRef, sizeof r.szGpsLatRef, 4, value, byteCount);
            break;
        case TagGpsLonRef:
            CopyText(r.szGpsLonRef, sizeof r.szGpsLonRef, 4, value, byteCount);
            break;
        case TagGpsAltRef:
            CopyText(r.szGpsAltRef, sizeof r.szGpsAltRef, 15, value, byteCount);
            break;
        case TagGpsLat:
        case TagGpsLon:
            if (rational && components >= 3) {
                float deg = static_cast<float>(ConvertAnyFormat(value, format));
                float min = static_cast<float>(ConvertAnyFormat(value + 8, format));
                double sec = ConvertAnyFormat(value + 16, format);
                double v = double(deg) + double(min) / 60 + sec / 3600;
                (tag == TagGpsLat ? r.dGpsLatitude : r.dGpsLongitude) = v;
            }
            break;
        case TagGpsAlt:
            if (rational && components >= 1)
                r.dGpsAltitude = ConvertAnyFormat(value, format);
            break;
        }
        return;
    }

    switch (tag) {
    case TagMake:
        CopyText(r.szCameraMake, sizeof r.szCameraMake, 31, value, byteCount);
        return;
    case TagModel:
        CopyText(r.szCameraModel, sizeof r.szCameraModel, 39, value, byteCount);
        return;
    case TagExifVersion:
        CopyText(r.szExifVersion, sizeof r.szExifVersion, 4, value, byteCount);
        return;
    case TagDateTimeOriginal:
        CopyText(r.szDateTime, sizeof r.szDateTime, 19, value, byteCount);
        return;
    case TagUserComment: {
        // Trailing blanks are cut off in place.
        for (std::size_t a = byteCount; a > 0 && value[a - 1] == ' '; --a)
            value[a - 1] = '\0';
        if (byteCount >= 5 && std::memcmp(value, "ASCII", 5) == 0) {
            for (std::size_t a = 5; a < 10 && a < byteCount; ++a) {
                if (value[a] != '\0' && value[a] != ' ') {
                    CopyText(r.szComments, sizeof r.szComments, kUserCommentLimit, value + a,
                             byteCount - a);
                    break;
                }
            }
        } else {
            CopyText(r.szComments, sizeof r.szComments, kUserCommentLimit, value, byteCount);
        }
        return;
    }
    default:
        break;
    }

    // The numeric tags. A value needs all bytes of one component: a rational
    // or double with no components is refused.
    if (kBytesPerFormat[format] > 4 && components == 0)
        return;
    const double v = ConvertAnyFormat(value, format);
    switch (tag) {
    case TagOrientation: {
        std::int32_t o = TruncToInt(v);
        if (o < 1 || o > 8) {
            SetError("Undefined rotation value");
            o = 0;
        }
        r.nOrientation = o;
        break;
    }
    case TagXResolution:
        r.fXResolution = static_cast<float>(v);
        break;
    case TagYResolution:
        r.fYResolution = static_cast<float>(v);
        break;
    case TagResolutionUnit:
        r.fResolutionUnit = static_cast<float>(v);
        break;
    case TagExposureTime:
        r.fExposureTime = static_cast<float>(v);
        break;
    case TagFNumber:
        r.fApertureFNumber = static_cast<float>(v);
        break;
    case TagExposureProgram:
        r.nExposureProgram = TruncToInt(v);
        break;
    case TagIsoEquivalent: {
        std::int64_t iso = TruncToInt(v);
        if (iso < 50)
            iso *= 200;
        r.nISOEquivalent = iso < INT_MIN ? INT_MIN : static_cast<std::int32_t>(iso);
        break;
    }
    case TagCompressionLevel:
        r.nCompressionLevel = TruncToInt(v);
        break;
    case TagShutterSpeed:
        if (r.fExposureTime == 0)
            r.fExposureTime = static_cast<float>(1 / std::exp(v * std::log(2.0)));
        break;
    case TagApertureValue:
    case TagMaxAperture:
        if (r.fApertureFNumber == 0)
            r.fApertureFNumber = static_cast<float>(std::exp(v * std::log(2.0) * 0.5));
        break;
    case TagBrightness:
        r.fBrightness = static_cast<float>(v);
        break;
    case TagExposureBias:
        r.fExposureBias = static_cast<float>(v);
        break;
    case TagSubjectDistance:
        r.fDistance = static_cast<float>(v);
        break;
    case TagMeteringMode:
        r.nMeteringMode = TruncToInt(v);
        break;
    case TagLightSource:
        r.nLightSource = TruncToInt(v);
        break;
    case TagFlash:
        r.bFlashUsed = (TruncToInt(v) & 7) ? 1 : 0;
        break;
    case TagFocalLength:
        r.fFocalLength = static_cast<float>(v);
        break;
    case TagExifImageWidth:
    case TagExifImageLength: {
        std::int32_t w = TruncToInt(v);
        if (w > m_nExifImageWidth)
            m_nExifImageWidth = w;
        break;
    }
    case TagFocalPlaneXRes:
        r.fFocalPlaneXRes = static_cast<float>(v);
        break;
    case TagFocalPlaneYRes:
        r.fFocalPlaneYRes = static_cast<float>(v);
        break;
    case TagFocalPlaneUnits:
        switch (TruncToInt(v)) {
        case 1:
        case 2:
            r.fFocalPlaneUnits = 1.0f;
            break;
        case 3:
            r.fFocalPlaneUnits = static_cast<float>(1 / 2.54);
            break;
        case 4:
            r.fFocalPlaneUnits = static_cast<float>(1 / 25.4);
            break;
        case 5:
            r.fFocalPlaneUnits = static_cast<float>(1 / 25400.0);
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}
