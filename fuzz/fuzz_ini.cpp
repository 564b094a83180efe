// The INI reader (System.ini): parse, look up every key the text holds, write
// the text out and parse it again; a set value must read back.
#include "FuzzCheck.h"
#include "platform/IniFile.h"

#include <string>
#include <utility>
#include <vector>

namespace {

// Section and key of every "key=value" line, by the reader's own line rules.
std::vector<std::pair<std::string, std::string>> KeysOf(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> keys;
    std::string section;
    std::size_t pos = 0;
    auto trim = [](const std::string& s) {
        std::size_t b = s.find_first_not_of(" \t\r");
        if (b == std::string::npos)
            return std::string();
        return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
    };
    while (pos < text.size() && keys.size() < 64) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string t = trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (!t.empty() && t[0] == '[') {
            std::size_t close = t.find(']');
            section = trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        } else if (!t.empty() && t[0] != ';' && t.find('=') != std::string::npos) {
            keys.emplace_back(section, trim(t.substr(0, t.find('='))));
        }
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    CIniFile ini;
    ini.Parse(text);
    for (const char* key : {"mLastSee", "mSave", "mDelete", "mAdd", "Color1", "ThumbSize"})
        if (auto v = ini.Get("Settings", key))
            ParseProfileInt(*v);

    std::string written = ini.Text();
    CIniFile again;
    again.Parse(written);
    FUZZ_CHECK(again.Text() == written);
    for (const auto& [section, key] : KeysOf(text)) {
        if (key.empty())
            continue;
        auto a = ini.Get(section, key);
        FUZZ_CHECK(a.has_value());
        FUZZ_CHECK(again.Get(section, key) == a);
    }

    ini.Set("Fuzz", "Probe", "4711");
    auto probe = ini.Get("FUZZ", "probe");
    FUZZ_CHECK(probe && *probe == "4711");
    return 0;
}
