#include "library/StringArchive.h"

#include <cstdint>

namespace {

void Put(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool Get(std::string_view in, std::size_t& pos, int bytes, std::uint32_t& v) {
    if (pos > in.size() || in.size() - pos < static_cast<std::size_t>(bytes))
        return false;
    v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[pos + i])) << (8 * i);
    pos += bytes;
    return true;
}

} // namespace

void AppendStringArray(std::string& out, const std::vector<std::string>& texts) {
    std::size_t count = texts.size();
    if (count < 0xFFFF) {
        Put(out, static_cast<std::uint32_t>(count), 2);
    } else {
        Put(out, 0xFFFF, 2);
        Put(out, static_cast<std::uint32_t>(count), 4);
    }
    for (const std::string& t : texts) {
        std::size_t len = t.size();
        if (len < 0xFF) {
            Put(out, static_cast<std::uint32_t>(len), 1);
        } else if (len < 0xFFFE) {
            Put(out, 0xFF, 1);
            Put(out, static_cast<std::uint32_t>(len), 2);
        } else {
            Put(out, 0xFF, 1);
            Put(out, 0xFFFF, 2);
            Put(out, static_cast<std::uint32_t>(len), 4);
        }
        out += t;
    }
}

std::string WriteStringArray(const std::vector<std::string>& texts) {
    std::string out;
    AppendStringArray(out, texts);
    return out;
}

std::optional<std::vector<std::string>> ReadStringArray(std::string_view in, std::size_t& pos) {
    std::size_t p = pos;
    std::uint32_t count = 0;
    if (!Get(in, p, 2, count))
        return std::nullopt;
    if (count == 0xFFFF && !Get(in, p, 4, count))
        return std::nullopt;
    // Every entry takes at least its one-byte length, so a count larger than
    // the bytes left is a damaged file; checking first bounds the allocation.
    if (count > in.size() - p)
        return std::nullopt;
    std::vector<std::string> texts;
    texts.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t len = 0;
        if (!Get(in, p, 1, len))
            return std::nullopt;
        if (len == 0xFF) {
            if (!Get(in, p, 2, len))
                return std::nullopt;
            if (len == 0xFFFE) // marker of two-byte texts, never written here
                return std::nullopt;
            if (len == 0xFFFF && !Get(in, p, 4, len))
                return std::nullopt;
        }
        if (len > in.size() - p)
            return std::nullopt;
        texts.emplace_back(in.substr(p, len));
        p += len;
    }
    pos = p;
    return texts;
}

std::optional<std::vector<std::string>> ReadStringArray(std::string_view bytes) {
    std::size_t pos = 0;
    return ReadStringArray(bytes, pos);
}
