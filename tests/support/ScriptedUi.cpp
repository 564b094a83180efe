#include "ScriptedUi.h"

namespace {
std::string Next(std::deque<std::string>& q) {
    if (q.empty())
        return {};
    std::string s = q.front();
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

std::string CScriptedUi::GetOpenFileName(const std::string& filter) {
    filters.push_back(filter);
    return Next(files);
}

std::string CScriptedUi::GetSaveFileName(const std::string& filter) {
    return GetOpenFileName(filter);
}

std::string CScriptedUi::ChooseFolder(const std::string& title) {
    folderTitles.push_back(title);
    return Next(folders);
}
