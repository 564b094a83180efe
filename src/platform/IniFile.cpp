#include "platform/IniFile.h"

#include "platform/FileOps.h"

#include <algorithm>
#include <cstdint>

namespace {

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x += 32;
        if (y >= 'A' && y <= 'Z')
            y += 32;
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

bool CIniFile::Load(const std::string& path) {
    m_lines.clear();
    std::optional<std::string> text = ReadWholeFile(path, kMaxIniFile);
    if (!text)
        return false;
    Parse(*text);
    return true;
}

void CIniFile::Parse(const std::string& text) {
    m_lines.clear();
    std::string section;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string raw = text.substr(pos, end - pos);
        pos = end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        Line line{raw, {}, {}, false};
        std::string t = Trim(raw);
        if (!t.empty() && t.front() == '[') {
            std::size_t close = t.find(']');
            section = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            line.header = true;
            line.section = section;
        } else if (!t.empty() && t.front() != ';') {
            std::size_t eq = t.find('=');
            if (eq != std::string::npos) {
                line.section = section;
                line.key = Trim(t.substr(0, eq));
            }
        }
        m_lines.push_back(std::move(line));
    }
}

std::optional<std::string> CIniFile::Get(const std::string& section, const std::string& key) const {
    for (const Line& l : m_lines) {
        if (l.header || l.key.empty())
            continue;
        if (EqualNoCase(l.section, section) && EqualNoCase(l.key, key)) {
            std::string v = Trim(l.text.substr(l.text.find('=') + 1));
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            return v;
        }
    }
    return std::nullopt;
}

bool CIniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
    // A line break would end the line early and make the rest a line of its own.
    std::string text = key + "=" + value;
    if ((section + text).find_first_of("\r\n") != std::string::npos)
        return false;
    std::size_t lastOfSection = std::string::npos;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        Line& l = m_lines[i];
        if (!EqualNoCase(l.section, section))
            continue;
        if (!l.header && EqualNoCase(l.key, key)) {
            l.text = text;
            return true;
        }
        // Keep new keys next to the section's last non-blank line.
        if (l.header || !Trim(l.text).empty())
            lastOfSection = i;
    }
    Line line{text, section, key, false};
    if (lastOfSection != std::string::npos) {
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(lastOfSection) + 1, line);
        return true;
    }
    m_lines.push_back(Line{"[" + section + "]", section, {}, true});
    m_lines.push_back(line);
    return true;
}

void CIniFile::Remove(const std::string& section, const std::string& key) {
    auto inSection = [&](const Line& l) { return EqualNoCase(l.section, section); };
    std::erase_if(m_lines, [&](const Line& l) {
        return inSection(l) && !l.header && EqualNoCase(l.key, key);
    });
    const bool empty = std::none_of(m_lines.begin(), m_lines.end(), [&](const Line& l) {
        return inSection(l) && !l.header && !Trim(l.text).empty();
    });
    if (empty)
        std::erase_if(m_lines, inSection);
}

std::string CIniFile::Text() const {
    std::string out;
    for (const Line& l : m_lines) {
        out += l.text;
        out += "\r\n";
    }
    return out;
}

bool CIniFile::Save(const std::string& path) const {
    return WriteFileAtomically(path, Text());
}

int ParseProfileInt(const std::string& value) {
    std::size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
        ++i;
    std::uint32_t n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        n = n * 10u + static_cast<std::uint32_t>(value[i] - '0');
    return static_cast<int>(n);
}

int GetPrivateProfileInt(const std::string& section, const std::string& key, int def,
                         const std::string& path) {
    CIniFile ini;
    ini.Load(path);
    auto v = ini.Get(section, key);
    return v ? ParseProfileInt(*v) : def;
}

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t n = maxBytes;
    // Step back over continuation bytes so the cut lands on a character start.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return text.substr(0, n);
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& path,
                                    std::size_t maxChars) {
    CIniFile ini;
    ini.Load(path);
    return CutUtf8(ini.Get(section, key).value_or(def), maxChars);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    CIniFile ini;
    ini.Load(path);
    return ini.Set(section, key, value) && ini.Save(path);
}
