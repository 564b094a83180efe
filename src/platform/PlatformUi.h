#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The services of the desktop that the program asks the user through (message
// boxes, the wait cursor). The windows reach them through one object so that
// tests can script the answers.
class IPlatformUi {
public:
    enum Buttons { Ok, OkCancel, YesNo };
    enum Icon { NoIcon, Information, Warning, Error, Question };
    enum Answer { AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

    virtual ~IPlatformUi() = default;
    // A modal message box; an empty caption shows the application title.
    virtual int MessageBox(const std::string& text, const std::string& caption = {},
                           Buttons buttons = Ok, Icon icon = NoIcon) = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // File choosers, opened in startFolder. A filter is a list of
    // "description|pattern" pairs, each followed by "|"
    // ("JPG(*.jpg)|*.jpg|BMP(*.bmp)|*.bmp|"). They return the chosen file's
    // full path, or "" when the user cancelled. The save chooser asks before
    // replacing an existing file.
    virtual std::string GetOpenFileName(const std::string& filter,
                                        const std::string& startFolder) = 0;
    virtual std::string GetSaveFileName(const std::string& filter,
                                        const std::string& startFolder) = 0;
    // The folder chooser: file-system folders only, with a title line, opened
    // in startFolder; a typed path is checked, and a missing one made after a
    // question. Returns the chosen folder's full path ending with "/", or ""
    // when cancelled.
    virtual std::string ChooseFolder(const std::string& title, const std::string& startFolder) = 0;
    // The desktop's colour dialog, fully opened and preset to a colour
    // (0x00BBGGRR). Returns the chosen colour, or nullopt when cancelled.
    virtual std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) = 0;
};

// The object in use; never null (a real one is installed at start).
IPlatformUi& PlatformUi();
// Installs another object (tests); returns the previous one.
IPlatformUi* SetPlatformUi(IPlatformUi* ui);

// The application title, caption of message boxes that give none of their own.
constexpr const char* kAppTitle = "Kelvra";

// Shows the wait cursor for the lifetime of the object.
class CWaitCursor {
public:
    CWaitCursor() { PlatformUi().BeginWaitCursor(); }
    ~CWaitCursor() { PlatformUi().EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
