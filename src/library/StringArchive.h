#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The stored form of a list of texts (favourites, exported GPS data): a count,
// then each text behind its length, all little-endian.
//   count:  2 bytes when below 0xFFFF, else 0xFFFF and 4 bytes
//   length: 1 byte when below 0xFF; else 0xFF and 2 bytes when below 0xFFFE;
//           else 0xFF, 0xFFFF and 4 bytes
// The texts are stored as their bytes (UTF-8), without a terminator.

void AppendStringArray(std::string& out, const std::vector<std::string>& texts);
std::string WriteStringArray(const std::vector<std::string>& texts);

// Reads one array starting at pos and advances pos past it. Returns nullopt for
// a truncated array, a count or length that runs past the end, or the 0xFF 0xFE
// 0xFF marker of two-byte texts; nothing is allocated beyond what the bytes
// can hold.
std::optional<std::vector<std::string>> ReadStringArray(std::string_view bytes, std::size_t& pos);
// Reads the array at the start of a buffer; bytes after it are ignored.
std::optional<std::vector<std::string>> ReadStringArray(std::string_view bytes);
