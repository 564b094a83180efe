#pragma once
// A small writer of JPEG marker sections and TIFF/EXIF blocks for the tests
// and the fuzz seeds: every byte is chosen by the caller, in either byte order.
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace exiftest {

enum : std::uint16_t {
    kByte = 1,
    kAscii = 2,
    kShort = 3,
    kLong = 4,
    kRational = 5,
    kSByte = 6,
    kUndefined = 7,
    kSShort = 8,
    kSLong = 9,
    kSRational = 10,
    kFloat = 11,
    kDouble = 12,
};

inline std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b)
        s.push_back(static_cast<char>(v));
    return s;
}

inline std::string Be16(unsigned v) {
    return Bytes({int(v >> 8) & 0xFF, int(v) & 0xFF});
}

// One TIFF block. Directories are laid out in the order they were added, the
// first at offset 8; each is followed by its values of more than four bytes.
class TiffWriter {
public:
    struct Entry {
        std::uint16_t tag = 0;
        std::uint16_t format = 0;
        std::uint32_t count = 0;
        std::string data; // the value's bytes, already in block order
        int subDir = -1;  // for a link: index of the directory it points to
        bool raw = false; // data is the entry's 4-byte field as it stands
    };
    struct Directory {
        std::vector<Entry> entries;
        int next = -1;             // directory the link behind the entries points to
        std::uint32_t rawNext = 0; // link value when next is -1
    };

    explicit TiffWriter(bool bigEndian) : m_big(bigEndian) {}
    bool BigEndian() const { return m_big; }

    int AddDir() {
        m_dirs.emplace_back();
        return static_cast<int>(m_dirs.size()) - 1;
    }
    Directory& Dir(int i) { return m_dirs[i]; }

    std::string U16(unsigned v) const {
        return m_big ? Be16(v) : Bytes({int(v) & 0xFF, int(v >> 8) & 0xFF});
    }
    std::string U32(std::uint32_t v) const {
        std::string s = m_big ? Be16(v >> 16) + Be16(v & 0xFFFF)
                              : Bytes({int(v) & 0xFF, int(v >> 8) & 0xFF, int(v >> 16) & 0xFF,
                                       int(v >> 24) & 0xFF});
        return s;
    }

    void Add(int dir, std::uint16_t tag, std::uint16_t format, std::uint32_t count,
             std::string data) {
        Entry e;
        e.tag = tag;
        e.format = format;
        e.count = count;
        e.data = std::move(data);
        m_dirs[dir].entries.push_back(std::move(e));
    }
    // An entry whose 4-byte value field holds exactly the given number.
    void AddRaw(int dir, std::uint16_t tag, std::uint16_t format, std::uint32_t count,
                std::uint32_t field) {
        Entry e;
        e.tag = tag;
        e.format = format;
        e.count = count;
        e.data = U32(field);
        e.raw = true;
        m_dirs[dir].entries.push_back(std::move(e));
    }
    void Ascii(int dir, std::uint16_t tag, const std::string& text) {
        Add(dir, tag, kAscii, static_cast<std::uint32_t>(text.size() + 1), text + '\0');
    }
    void Undefined(int dir, std::uint16_t tag, const std::string& bytes) {
        Add(dir, tag, kUndefined, static_cast<std::uint32_t>(bytes.size()), bytes);
    }
    void Short(int dir, std::uint16_t tag, unsigned v) { Add(dir, tag, kShort, 1, U16(v)); }
    void Long(int dir, std::uint16_t tag, std::uint32_t v) { Add(dir, tag, kLong, 1, U32(v)); }
    void Rational(int dir, std::uint16_t tag, std::int32_t num, std::int32_t den,
                  std::uint16_t format = kRational) {
        Rationals(dir, tag, {{num, den}}, format);
    }
    void Rationals(int dir, std::uint16_t tag,
                   std::vector<std::pair<std::int32_t, std::int32_t>> values,
                   std::uint16_t format = kRational) {
        std::string data;
        for (auto [n, d] : values)
            data += U32(static_cast<std::uint32_t>(n)) + U32(static_cast<std::uint32_t>(d));
        Add(dir, tag, format, static_cast<std::uint32_t>(values.size()), data);
    }
    // Floating-point values are stored in the machine's byte order.
    void Float(int dir, std::uint16_t tag, float v) {
        std::string data(4, '\0');
        std::memcpy(data.data(), &v, 4);
        Add(dir, tag, kFloat, 1, data);
    }
    void Double(int dir, std::uint16_t tag, double v) {
        std::string data(8, '\0');
        std::memcpy(data.data(), &v, 8);
        Add(dir, tag, kDouble, 1, data);
    }
    void Link(int dir, std::uint16_t tag, int target) {
        Entry e;
        e.tag = tag;
        e.format = kLong;
        e.count = 1;
        e.subDir = target;
        m_dirs[dir].entries.push_back(std::move(e));
    }

    // Offset of directory i in the block built by Build().
    std::uint32_t DirOffset(int i) const { return Layout()[i]; }

    std::string Build() const {
        std::vector<std::uint32_t> at = Layout();
        std::string out = m_big ? "MM" : "II";
        out += U16(42) + U32(8);
        for (std::size_t d = 0; d < m_dirs.size(); ++d) {
            const Directory& dir = m_dirs[d];
            std::string extra;
            std::uint32_t extraAt = at[d] + 2 + 12 * std::uint32_t(dir.entries.size()) + 4;
            out += U16(static_cast<unsigned>(dir.entries.size()));
            for (const Entry& e : dir.entries) {
                out += U16(e.tag) + U16(e.format) + U32(e.count);
                if (e.subDir >= 0) {
                    out += U32(at[e.subDir]);
                } else if (e.raw || e.data.size() <= 4) {
                    out += e.data + std::string(4 - e.data.size(), '\0');
                } else {
                    out += U32(extraAt + std::uint32_t(extra.size()));
                    extra += e.data;
                }
            }
            out += U32(dir.next >= 0 ? at[dir.next] : dir.rawNext);
            out += extra;
        }
        return out;
    }

private:
    std::vector<std::uint32_t> Layout() const {
        std::vector<std::uint32_t> at;
        std::uint32_t pos = 8;
        for (const Directory& dir : m_dirs) {
            at.push_back(pos);
            pos += 2 + 12 * std::uint32_t(dir.entries.size()) + 4;
            for (const Entry& e : dir.entries)
                if (e.subDir < 0 && !e.raw && e.data.size() > 4)
                    pos += std::uint32_t(e.data.size());
        }
        return at;
    }

    bool m_big;
    std::vector<Directory> m_dirs;
};

// A marker section: 0xFF, the code, the big-endian length (which counts
// itself) and the contents.
inline std::string Section(int marker, const std::string& contents) {
    return Bytes({0xFF, marker}) + Be16(static_cast<unsigned>(contents.size() + 2)) + contents;
}

inline std::string ExifSection(const std::string& tiff) {
    return Section(0xE1, std::string("Exif\0\0", 6) + tiff);
}

// A frame header: precision 8, height, width, the component count and three
// bytes per component.
inline std::string FrameHeader(int width, int height, int components, int marker = 0xC0) {
    std::string body = Bytes({8}) + Be16(height) + Be16(width) + Bytes({components});
    for (int c = 0; c < components; ++c)
        body += Bytes({c + 1, 0x11, 0});
    return Section(marker, body);
}

inline std::string ScanStart() {
    return Section(0xDA, Bytes({1, 1, 0, 0, 63, 0}));
}

inline std::string Soi() {
    return Bytes({0xFF, 0xD8});
}

// A JPEG head: start of image, the given sections, a frame header and the
// start of the scan (followed by a few scan bytes and the end of image).
inline std::string JpegWith(const std::string& sections, int width = 640, int height = 480,
                            int components = 3) {
    return Soi() + sections + FrameHeader(width, height, components) + ScanStart() +
           Bytes({0x12, 0x34, 0xFF, 0xD9});
}

} // namespace exiftest
