#include "UiTestSupport.h"

#include <cstdlib>

CScriptedUi::CScriptedUi() : m_old(SetPlatformUi(this)) {}
CScriptedUi::~CScriptedUi() {
    SetPlatformUi(m_old);
}

int CScriptedUi::MessageBox(const std::string& text, const std::string& caption, Buttons buttons,
                            Icon) {
    shown.push_back({text, caption, buttons});
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == YesNo ? AnswerYes : AnswerOk;
}

std::string CScriptedUi::GetOpenFileName(const std::string& filter) {
    filters.push_back(filter);
    if (files.empty())
        return {};
    std::string f = files.front();
    files.pop_front();
    return f;
}

std::string CScriptedUi::GetSaveFileName(const std::string& filter) {
    return GetOpenFileName(filter);
}

ProgramHome::ProgramHome() {
    ::setenv("KELVRA_HOME", m_dir.path().toUtf8().constData(), 1);
}
ProgramHome::~ProgramHome() {
    ::unsetenv("KELVRA_HOME");
}
std::string ProgramHome::Path() const {
    return m_dir.path().toStdString() + "/";
}
