#pragma once
// Scripted desktop services and a private program folder for window tests.
#include "platform/PlatformUi.h"

#include <QTemporaryDir>
#include <deque>
#include <string>
#include <vector>

class CScriptedUi final : public IPlatformUi {
public:
    struct Shown {
        std::string text, caption;
        Buttons buttons;
    };
    CScriptedUi();
    ~CScriptedUi() override;
    int MessageBox(const std::string& text, const std::string& caption, Buttons buttons,
                   Icon icon) override;
    void BeginWaitCursor() override { ++waitDepth, ++waitCount; }
    void EndWaitCursor() override { --waitDepth; }
    std::string GetOpenFileName(const std::string& filter) override;
    std::string GetSaveFileName(const std::string& filter) override;

    std::vector<Shown> shown;         // every message box, in order
    std::deque<int> answers;          // answers to give, in order; then the default
    std::deque<std::string> files;    // chooser answers, in order; then "" (cancel)
    std::vector<std::string> filters; // the filter of every chooser shown
    int waitDepth = 0, waitCount = 0;

private:
    IPlatformUi* m_old;
};

// A temporary program folder (KELVRA_HOME) for one test.
class ProgramHome {
public:
    ProgramHome();
    ~ProgramHome();
    std::string Path() const; // ends with "/"
    std::string File(const std::string& name) const { return Path() + name; }

private:
    QTemporaryDir m_dir;
};
