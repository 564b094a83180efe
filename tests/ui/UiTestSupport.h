#pragma once
// What every window test needs: the program started with a private program
// folder and scripted desktop services, and pictures to show.
#include "../core/TempDir.h"
#include "ScriptedUi.h"
#include "app/KelvraApp.h"
#include "app/Settings.h"

#include <memory>
#include <string>
#include <vector>

class CMainFrame;
class CTreeContainerWnd;

// Writes a w x h BMP of one colour; returns its path.
std::string MakePicture(const std::string& path, int w, int h, COLORREF colour);
// Writes a w x h BMP whose pixel (x, y from the top) is a colour of its own:
// base plus x * 255 / w red, y * 255 / h green and 60 blue; returns its path.
std::string MakeGradientPicture(const std::string& path, int w, int h, COLORREF base);

// A temporary program folder (KELVRA_HOME) for one test.
class ProgramHome : public TempDir {
    ProgramFolderGuard m_guard{Path()};
};

// The base of a window test: Begin() in init() makes the program folder and a
// folder for pictures, Start() runs the program, End() in cleanup() ends it.
class RunningApp {
protected:
    void Begin() {
        home = std::make_unique<ProgramHome>();
        pics = std::make_unique<TempDir>();
    }
    // Starts the program (a file named in args as on its command line), shows
    // the frame at width x height, waits until the left pane's start-up has
    // run, then puts the scripted services in place of the real ones.
    void Start(int width = 1200, int height = 800, const std::vector<std::string>& args = {});
    void End() {
        ui.reset();
        app.reset();
        pics.reset();
        home.reset();
    }

    std::unique_ptr<ProgramHome> home;
    std::unique_ptr<TempDir> pics;
    std::unique_ptr<CKelvraApp> app;
    std::unique_ptr<CScriptedUi> ui;
    CMainFrame* f = nullptr;
    CTreeContainerWnd* pane = nullptr;
};
