#pragma once
// A private program folder for window tests, and the scripted desktop services.
#include "ScriptedUi.h"
#include "app/KelvraApp.h"
#include "app/Settings.h"

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

// Starts the program (a file named in args as on its command line), shows the
// frame at width x height and waits until the left pane's start-up has run.
// Null when the program did not start.
std::unique_ptr<CKelvraApp> StartApp(int width, int height,
                                     const std::vector<std::string>& args = {});

// Writes a w x h BMP of one colour; returns its path.
std::string MakePicture(const std::string& path, int w, int h, COLORREF colour);

// Makes a folder refuse new files and renames in it, also for root (through
// the immutable attribute), or lets it take them again. False when the file
// system cannot do it.
bool SetFolderReadOnly(const std::string& folder, bool readOnly);

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
