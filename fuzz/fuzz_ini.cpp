// The INI reader (System.ini): parse, look up every key the text holds, write
// the text out and parse it again; a set value must read back.
#include "FuzzCheck.h"
#include "platform/IniFile.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Section and key of the first "key=value" lines, by the reader's own line
// rules.
std::vector<std::pair<std::string, std::string>> KeysOf(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> keys;
    auto trim = [](std::string_view s) {
        std::size_t b = s.find_first_not_of(" \t\r");
        if (b == std::string_view::npos)
            return std::string_view();
        return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
    };
    std::string_view section;
    std::size_t pos = 0;
    while (pos < text.size() && keys.size() < 8) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view t = trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (!t.empty() && t[0] == '[') {
            std::size_t close = t.find(']');
            section = trim(t.substr(1, close == std::string_view::npos ? t.npos : close - 1));
        } else if (!t.empty() && t[0] != ';' && t.find('=') != std::string_view::npos) {
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

    // Written out and read again, every key keeps its value.
    auto keys = KeysOf(text);
    if (!keys.empty()) {
        CIniFile again;
        again.Parse(ini.Text());
        for (const auto& [section, key] : keys) {
            if (key.empty())
                continue;
            auto a = ini.Get(section, key);
            FUZZ_CHECK(a.has_value());
            FUZZ_CHECK(again.Get(section, key) == a);
        }
    }

    ini.Set("Fuzz", "Probe", "4711");
    auto probe = ini.Get("FUZZ", "probe");
    FUZZ_CHECK(probe && *probe == "4711");
    return 0;
}
