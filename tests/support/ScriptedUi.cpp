#include "ScriptedUi.h"

namespace {
template <typename T> T Next(std::deque<T>& q) {
    if (q.empty())
        return {};
    T s = q.front();
    q.pop_front();
    return s;
}
} // namespace

CScriptedUi::CScriptedUi() : m_old(SetPlatformUi(this)) {}
CScriptedUi::~CScriptedUi() {
    SetPlatformUi(m_old);
}

int CScriptedUi::MessageBox(const std::string& text, const std::string& caption, Buttons buttons,
                            Icon icon) {
    shown.push_back({text, caption, buttons, icon});
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == YesNo ? AnswerYes : AnswerOk;
}

std::string CScriptedUi::GetOpenFileName(const std::string& filter,
                                         const std::string& startFolder) {
    filters.push_back(filter);
    startFolders.push_back(startFolder);
    return Next(files);
}

std::string CScriptedUi::GetSaveFileName(const std::string& filter,
                                         const std::string& startFolder) {
    return GetOpenFileName(filter, startFolder);
}

std::string CScriptedUi::ChooseFolder(const std::string& title, const std::string& startFolder) {
    folderTitles.push_back(title);
    startFolders.push_back(startFolder);
    return Next(folders);
}

std::optional<std::uint32_t> CScriptedUi::ChooseColor(std::uint32_t initial) {
    colorPresets.push_back(initial);
    return Next(colors);
}
