#pragma once
// Scripted failures of the platform's file operations, for tests that run as
// root (where permissions stop nothing): while the object lives, the hook
// decides each delete, move and copy.
#include "platform/FileOps.h"

#include <utility>

class CScriptedFileOps {
public:
    explicit CScriptedFileOps(FileOpHook hook) : m_old(SetFileOpHook(std::move(hook))) {}
    ~CScriptedFileOps() { SetFileOpHook(std::move(m_old)); }
    CScriptedFileOps(const CScriptedFileOps&) = delete;
    CScriptedFileOps& operator=(const CScriptedFileOps&) = delete;

    // A hook that fails every operation of one kind with an error number.
    static FileOpHook Failing(EFileOp which, int error) {
        return [which, error](EFileOp op, const std::string&, const std::string&) {
            return op == which ? error : 0;
        };
    }

private:
    FileOpHook m_old;
};
