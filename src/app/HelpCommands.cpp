#include "app/HelpCommands.h"

#include "app/CommandIds.h"
#include "platform/DesktopLauncher.h"

#ifndef KELVRA_CONTACT
#define KELVRA_CONTACT ""
#endif

namespace {

// Percent-encodes every byte but the unreserved characters and those in keep.
std::string PercentEncode(const std::string& text, const std::string& keep) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '.' || c == '_' || c == '~' ||
                     keep.find(static_cast<char>(c)) != std::string::npos;
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

} // namespace

std::string ContactAddress() {
    return KELVRA_CONTACT;
}

std::string ContactMailLink(const std::string& address) {
    return "mailto:" + PercentEncode(address, "@+") +
           "?subject=" + PercentEncode(kContactSubject, "");
}

bool RunHelpCommand(int id, const std::string& dataFolder) {
    switch (id) {
    case ID_HELP_FINDER:
        OpenWithDesktop(dataFolder + kHelpPageName);
        return true;
    case ID_HELP_HOMEPAGE:
        OpenWithDesktop(dataFolder + kHomePageName);
        return true;
    case ID_HELP_CONTACT:
        OpenWithDesktop(ContactMailLink(ContactAddress()));
        return true;
    default:
        return false;
    }
}
