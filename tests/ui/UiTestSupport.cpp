#include "UiTestSupport.h"

#include <cstdlib>

ProgramHome::ProgramHome() {
    ::setenv("KELVRA_HOME", m_dir.path().toUtf8().constData(), 1);
}
ProgramHome::~ProgramHome() {
    ::unsetenv("KELVRA_HOME");
}
std::string ProgramHome::Path() const {
    return m_dir.path().toStdString() + "/";
}
