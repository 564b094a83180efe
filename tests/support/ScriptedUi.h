#pragma once
// Desktop services with scripted answers, for tests: message boxes are
// recorded and answered from a queue, choosers return queued paths.
#include "platform/PlatformUi.h"

#include <deque>
#include <string>
#include <vector>

class CScriptedUi final : public IPlatformUi {
public:
    struct Shown {
        std::string text, caption;
        Buttons buttons;
        Icon icon;
    };
    CScriptedUi();
    ~CScriptedUi() override;
    CScriptedUi(const CScriptedUi&) = delete;
    CScriptedUi& operator=(const CScriptedUi&) = delete;

    int MessageBox(const std::string& text, const std::string& caption, Buttons buttons,
                   Icon icon) override;
    void BeginWaitCursor() override { ++waitDepth, ++waitCount; }
    void EndWaitCursor() override { --waitDepth; }
    std::string GetOpenFileName(const std::string& filter, const std::string& startFolder) override;
    std::string GetSaveFileName(const std::string& filter, const std::string& startFolder) override;
    std::string ChooseFolder(const std::string& title, const std::string& startFolder) override;
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override;

    std::vector<Shown> shown;         // every message box, in order
    std::deque<int> answers;          // answers to give, in order; then the default
    std::deque<std::string> files;    // file chooser answers, in order; then "" (cancel)
    std::vector<std::string> filters; // the filter of every file chooser shown
    std::deque<std::string> folders;  // folder chooser answers; then "" (cancel)
    std::vector<std::string> folderTitles;
    std::vector<std::string> startFolders;           // where every chooser opened, in order
    std::deque<std::optional<std::uint32_t>> colors; // colour dialog answers; then cancel
    std::vector<std::uint32_t> colorPresets;         // the colour each dialog opened with
    int waitDepth = 0, waitCount = 0;

private:
    IPlatformUi* m_old;
};
