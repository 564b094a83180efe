#pragma once
#include <string>

// The commands of the help menu that open something with the desktop: the
// help page (F1), the project's own page and a new mail message to the
// author. Each failure shows the "Failed to run" message of OpenWithDesktop.

// Files shipped in the data folder (GetDataFolder()).
inline constexpr const char* kHelpPageName = "help.html";
inline constexpr const char* kHomePageName = "README.md";

inline constexpr const char* kContactSubject = "联系作者";

// The author's mail address, set when the program is built (the
// KELVRA_CONTACT option); empty when none was given.
std::string ContactAddress();

// "mailto:ADDRESS?subject=联系作者" with the address and the subject
// percent-encoded (UTF-8); an empty address leaves the recipient to the user.
std::string ContactMailLink(const std::string& address);

// Carries out 57667 (help page), 33001 (home page) and 33002 (contact) with
// the files shipped in dataFolder. False for any other command.
bool RunHelpCommand(int id, const std::string& dataFolder);
