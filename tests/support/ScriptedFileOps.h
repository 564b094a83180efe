#pragma once
// Scripted failures of the platform's file operations, for tests that run as
// root (where permissions stop nothing): while the object lives, the hook
// decides each delete, move and copy.
#include "platform/FileOps.h"

struct CScriptedFileOps {
    explicit CScriptedFileOps(FileOpHook hook) : old(SetFileOpHook(std::move(hook))) {}
    ~CScriptedFileOps() { SetFileOpHook(std::move(old)); }
    // A hook that fails every operation of one kind with an error number.
    static FileOpHook Failing(EFileOp which, int error) {
        return [=](EFileOp op, const std::string&, const std::string&) {
            return op == which ? error : 0;
        };
    }
    FileOpHook old;
};
