#include "platform/PlatformUi.h"

namespace {

// Until the windows install the real services, questions get their default
// answer and nothing is shown.
class CSilentUi final : public IPlatformUi {
public:
    int MessageBox(const std::string&, const std::string&, Buttons buttons, Icon) override {
        return buttons == YesNo ? AnswerYes : AnswerOk;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    std::string GetOpenFileName(const std::string&, const std::string&) override { return {}; }
    std::string GetSaveFileName(const std::string&, const std::string&) override { return {}; }
    std::string ChooseFolder(const std::string&, const std::string&) override { return {}; }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return std::nullopt; }
};

CSilentUi g_silent;
IPlatformUi* g_ui = &g_silent;

} // namespace

IPlatformUi& PlatformUi() {
    return *g_ui;
}

IPlatformUi* SetPlatformUi(IPlatformUi* ui) {
    IPlatformUi* old = g_ui;
    g_ui = ui ? ui : &g_silent;
    return old;
}
