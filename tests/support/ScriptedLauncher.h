#pragma once
// The desktop's opener for tests: installed while the object lives, it records
// every target it is handed and answers with `error` (0: the handler started).
#include "platform/DesktopLauncher.h"

#include <string>
#include <vector>

class CScriptedLauncher final : public IDesktopLauncher {
public:
    CScriptedLauncher() : m_old(SetDesktopLauncher(this)) {}
    ~CScriptedLauncher() override { SetDesktopLauncher(m_old); }

    int Open(const std::string& target) override {
        opened.push_back(target);
        return error;
    }

    std::vector<std::string> opened;
    int error = 0;

private:
    IDesktopLauncher* m_old;
};
