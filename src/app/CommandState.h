#pragma once

// The state of the main frame that decides whether each command can run, and
// which of its menu items carry a check mark.
struct FrameFlags {
    bool imageLoaded = false; // a picture is loaded (L)
    bool imageMode = true;    // the right pane is meant to show one picture (M)
    bool rotated = false;     // rotated since it was loaded (R)
    float zoom = 1.0f;
    float maxZoom = 50.0f;
    float minZoom = 0.25f;
    int count = 0;    // pictures in the left pane's list
    int curIndex = 0; // index of the left pane's current file in the list, -1 when absent
    bool overviewOn = true;
    bool stripOn = false;
    bool statusBarShown = true;
    bool toolBarShown = true;
};

struct CommandUi {
    bool enabled = false;
    bool checked = false;
};

// Whether the program already carries out a command. A command it does not
// yet carry out is shown greyed and ignored, never run as a silent no-op.
bool IsCommandAvailable(int id);
// Marks a command as carried out (each window part registers its commands).
void SetCommandAvailable(int id, bool available = true);

// The enable state and check mark of a command for the given frame state.
CommandUi QueryCommandUi(int id, const FrameFlags& f);
