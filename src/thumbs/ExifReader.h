#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// The facts of one JPEG file: frame header, comment and EXIF values. A plain
// block that callers copy as a whole. Character fields are zero-terminated
// when the text is shorter than the field; a text that fills its field has no
// terminator (read them with strnlen(field, sizeof field)).
struct ExifRecord {
    char szExifVersion[5];
    char szCameraMake[32];
    char szCameraModel[40];
    char szDateTime[20];
    std::int32_t nHeight;
    std::int32_t nWidth;
    std::int32_t nOrientation;
    std::int32_t bIsColor;
    std::int32_t nProcess;
    std::int32_t bFlashUsed;
    float fFocalLength;
    float fExposureTime;
    float fApertureFNumber;
    float fDistance;
    float fCCDWidth;
    float fExposureBias;
    std::int32_t nLightSource;
    std::int32_t nMeteringMode;
    std::int32_t nExposureProgram;
    std::int32_t nISOEquivalent;
    std::int32_t nCompressionLevel;
    float fFocalPlaneXRes;
    float fFocalPlaneYRes;
    float fFocalPlaneUnits;
    float fXResolution;
    float fYResolution;
    float fResolutionUnit;
    float fBrightness;
    char szComments[1000];
    unsigned char bExifValid;
    char szGpsVersion[4];
    char szGpsLatRef[4];
    double dGpsLatitude;
    char szGpsLonRef[4];
    double dGpsLongitude;
    char szGpsAltRef[15];
    double dGpsAltitude;
};

// The text of a character field of the record: up to its first zero byte,
// never past the field.
template <std::size_t N> std::string FieldText(const char (&field)[N]) {
    std::size_t n = 0;
    while (n < N && field[n] != '\0')
        ++n;
    return std::string(field, n);
}

// Walks the marker sections at the head of a JPEG file up to the start of the
// scan, keeps them, and decodes the frame header, the first comment and the
// EXIF block into an ExifRecord. Made for one file: construct, read, copy the
// record out, destroy.
class CExifReader {
public:
    static constexpr int kMaxSections = 20;

    // Results go to *pRecord; with null the reader allocates a zero-filled
    // record of its own.
    explicit CExifReader(ExifRecord* pRecord = nullptr);
    ~CExifReader();
    CExifReader(const CExifReader&) = delete;
    CExifReader& operator=(const CExifReader&) = delete;

    // True when the start of the scan was reached; false when the file cannot
    // be opened, on any error and at the end-of-image marker.
    bool ReadJpegFile(const std::string& path);
    // The section walk on an open stream (read from its current position).
    bool ReadJpegSections(std::FILE* file);
    // The same walk over bytes already in memory.
    bool ReadJpegBytes(const unsigned char* data, std::size_t size);

    void CopyRecord(ExifRecord* pOut) const;
    const ExifRecord& Record() const { return *m_pRecord; }
    const char* GetLastErrorText() const { return m_szLastError; }

    struct Section {
        std::unique_ptr<unsigned char[]> pData; // the two length bytes, then the contents
        int nType = 0;                          // marker code
        int nSize = 0;                          // length, the two length bytes included
    };
    int SectionCount() const { return m_nSectionsRead; }
    const Section& GetSection(int i) const { return m_Sections[i]; }

private:
    template <class Source> bool WalkSections(Source& in);
    void ProcessFrameHeader(const unsigned char* data, int size, int marker);
    void ProcessComment(const unsigned char* data, int size);
    bool ProcessExif(unsigned char* block, std::size_t size);

    enum DirKind { OrdinaryDir, GpsDir };
    bool ProcessExifDir(std::size_t start, DirKind kind);
    bool EnterSubDir(std::size_t offset, DirKind kind);
    void HandleTag(unsigned tag, unsigned format, std::uint32_t components, unsigned char* value,
                   std::size_t byteCount, DirKind kind);

    unsigned Get16u(const unsigned char* p) const;
    std::int32_t Get32s(const unsigned char* p) const;
    std::uint32_t Get32u(const unsigned char* p) const;
    double ConvertAnyFormat(const unsigned char* p, unsigned format) const;
    void SetError(const char* text);

    char m_szLastError[256] = {};
    std::int32_t m_nExifImageWidth = 0;
    std::int32_t m_bMotorolaOrder = 0;
    Section m_Sections[kMaxSections];
    std::int32_t m_nSectionsRead = 0;
    std::int32_t m_bOwnsRecord = 0;
    ExifRecord* m_pRecord = nullptr;
    bool m_bHaveComment = false; // the file's first comment section was seen

    // The TIFF data of the EXIF block being decoded, and the directories
    // already decoded in it (each one is decoded at most once).
    unsigned char* m_pTiff = nullptr;
    std::size_t m_nTiffLength = 0;
    static constexpr int kMaxDirs = 32;
    std::size_t m_DirStarts[kMaxDirs] = {};
    int m_nDirs = 0;
};
