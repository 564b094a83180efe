#pragma once
// A private program folder for window tests, and the scripted desktop services.
#include "ScriptedUi.h"

#include <QTemporaryDir>
#include <string>

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
