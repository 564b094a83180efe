#pragma once
#include <string>

// The check of a folder path typed into the folder chooser: its form, the
// question before missing folders are made, and their creation.

inline constexpr const char* kFolderInvalidText =
    "The folder:\n\n%s\n\nis invalid. Please reenter.";
inline constexpr const char* kFolderNotCreatedText =
    "The folder:\n\n%s\n\ncan not be created. Please double check.";
inline constexpr const char* kFolderAskCreateText =
    "The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?";

enum EFolderPathCode : int {
    kFolderPathOk = 0,
    kFolderPathInvalid = 1,   // "is invalid"
    kFolderPathNotCreated = 2 // "can not be created"
};

// A name that may be given to a new folder: not empty, longer than no file
// name can be, not starting or ending with a tab, a blank or ".", and holding
// none of  " * / : < > ? \ |.
bool IsValidFolderName(const std::string& name);

// The form of a typed path: it starts with "/", is no longer than a path can
// be, and is an existing directory (whatever its name holds), or else each
// component from the first missing one on is a valid name. A "/" at the end
// or doubled, when the path does not exist, is invalid.
EFolderPathCode TestFolderPath(const std::string& path);

// Makes the missing folders of a path that passed TestFolderPath, one
// component after the other; kFolderPathNotCreated when one cannot be made.
EFolderPathCode CreateFolderPath(const std::string& path);

// The message of a code with the path put in place of "%s".
std::string FolderPathMessage(const char* text, const std::string& path);

// The whole check of an accepted path: an invalid form is reported; an
// existing directory passes; otherwise the user is asked whether to make it,
// and it passes when it was made. Messages go through PlatformUi.
bool CheckChosenFolder(const std::string& path);
