#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An INI file with the rules of the Windows private-profile functions:
// section and key names compare without regard to ASCII case, a missing
// section or key gives the caller's default, integers are read as their
// leading decimal digits (anything else reads as 0), and writing one value
// keeps every other line of the file as it was.
class CIniFile {
public:
    // The largest file read; anything larger counts as missing.
    static constexpr std::uint64_t kMaxIniFile = 1u << 20;

    // Reads the file through ReadWholeFile (a regular file, opened without
    // blocking, at most kMaxIniFile bytes); a missing, unreadable or refused
    // file gives an empty profile. Returns whether the file could be read.
    bool Load(const std::string& path);
    // Parses text that is already in memory.
    void Parse(const std::string& text);

    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    // Sets a value. A section, key or value holding a carriage return or a
    // line feed is refused (false): the key keeps its previous value.
    bool Set(const std::string& section, const std::string& key, const std::string& value);
    // Removes a key; a section left without keys loses its header too, so a
    // section added by Set and then removed leaves the text as it was.
    void Remove(const std::string& section, const std::string& key);

    std::string Text() const;
    // Writes the whole file to a temporary file in the same folder and renames
    // it over the old one, so a failed write never leaves half a file.
    bool Save(const std::string& path) const;

private:
    struct Line {
        std::string text;    // the line as read or written
        std::string section; // section the line belongs to (for key lines)
        std::string key;     // key of a key line, empty otherwise
        bool header = false; // a "[section]" line
    };
    std::vector<Line> m_lines;
};

// The integer rule of the profile functions: leading blanks skipped, then the
// leading decimal digits (wrapping like a 32-bit unsigned counter); a value
// without leading digits reads as 0.
int ParseProfileInt(const std::string& value);

int GetPrivateProfileInt(const std::string& section, const std::string& key, int def,
                         const std::string& path);
// Returns at most maxChars bytes of the value (never cutting a UTF-8 sequence).
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& path,
                                    std::size_t maxChars);
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);

// Cuts a UTF-8 text to at most maxBytes bytes without splitting a character.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);
