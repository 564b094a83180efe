#include "app/HelpCommands.h"

#include "app/CommandIds.h"
#include "platform/DesktopLauncher.h"

#ifndef KELVRA_CONTACT
#define KELVRA_CONTACT ""
#endif

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
