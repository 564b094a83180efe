#pragma once
// A small writer of JPEG marker sections and TIFF/EXIF blocks for the tests
// and the fuzz seeds: every byte is chosen by the caller, in either byte order.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace exiftest {

// The value formats of a directory entry.
constexpr std::uint16_t kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kSByte = 6,
                        kUndefined = 7, kSShort = 8, kSLong = 9, kSRational = 10, kFloat = 11,
                        kDouble = 12;

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
        std::uint16_t tag = 0, format = 0;
        std::uint32_t count = 0;
        std::string data; // the value's bytes, already in block order
        int subDir = -1;  // for a link: index of the directory it points to
    };
    struct Directory {
        std::vector<Entry> entries;
        int next = -1; // directory the link behind the entries points to, if any
    };

    explicit TiffWriter(bool bigEndian) : m_big(bigEndian) {}

    int AddDir() {
        m_dirs.emplace_back();
        return static_cast<int>(m_dirs.size()) - 1;
    }
    Directory& Dir(int i) { return m_dirs[i]; }

    std::string U16(unsigned v) const {
        return m_big ? Be16(v) : Bytes({int(v) & 0xFF, int(v >> 8) & 0xFF});
    }
    std::string U32(std::uint32_t v) const {
        return m_big ? Be16(v >> 16) + Be16(v & 0xFFFF) : U16(v & 0xFFFF) + U16(v >> 16);
    }

    void Add(int dir, std::uint16_t tag, std::uint16_t format, std::uint32_t count,
             std::string data) {
        m_dirs[dir].entries.push_back({tag, format, count, std::move(data)});
    }
    // An entry whose 4-byte value field holds exactly the given number,
    // whatever its format and count say.
    void AddRaw(int dir, std::uint16_t tag, std::uint16_t format, std::uint32_t count,
                std::uint32_t field) {
        Add(dir, tag, format, count, U32(field));
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
        Add(dir, tag, kFloat, 1, std::string(reinterpret_cast<const char*>(&v), 4));
    }
    void Double(int dir, std::uint16_t tag, double v) {
        Add(dir, tag, kDouble, 1, std::string(reinterpret_cast<const char*>(&v), 8));
    }
    void Link(int dir, std::uint16_t tag, int target) {
        m_dirs[dir].entries.push_back({tag, kLong, 1, {}, target});
    }

    std::string Build() const {
        std::vector<std::uint32_t> at; // where each directory starts
        for (std::uint32_t d = 0, pos = 8; d < m_dirs.size(); ++d) {
            at.push_back(pos);
            pos += 2 + 12 * std::uint32_t(m_dirs[d].entries.size()) + 4;
            for (const Entry& e : m_dirs[d].entries) // values of more than four bytes
                pos += e.data.size() > 4 ? std::uint32_t(e.data.size()) : 0;
        }
        std::string out = (m_big ? "MM" : "II") + U16(42) + U32(8);
        for (std::size_t d = 0; d < m_dirs.size(); ++d) {
            const Directory& dir = m_dirs[d];
            std::string extra;
            std::uint32_t extraAt = at[d] + 2 + 12 * std::uint32_t(dir.entries.size()) + 4;
            out += U16(static_cast<unsigned>(dir.entries.size()));
            for (const Entry& e : dir.entries) {
                out += U16(e.tag) + U16(e.format) + U32(e.count);
                if (e.subDir >= 0) {
                    out += U32(at[e.subDir]);
                } else if (e.data.size() <= 4) {
                    out += e.data + std::string(4 - e.data.size(), '\0');
                } else {
                    out += U32(extraAt + std::uint32_t(extra.size()));
                    extra += e.data;
                }
            }
            out += U32(dir.next >= 0 ? at[dir.next] : 0) + extra;
        }
        return out;
    }

private:
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
