#pragma once
#include "platform/PlatformUi.h"

class QWidget;

// Message boxes and the wait cursor of the desktop, through Qt.
class CQtPlatformUi final : public IPlatformUi {
public:
    int MessageBox(const std::string& text, const std::string& caption, Buttons buttons,
                   Icon icon) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    std::string GetOpenFileName(const std::string& filter, const std::string& startFolder) override;
    std::string GetSaveFileName(const std::string& filter, const std::string& startFolder) override;
    std::string ChooseFolder(const std::string& title, const std::string& startFolder) override;
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override;
};
