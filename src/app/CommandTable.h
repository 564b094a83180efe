#pragma once
#include <string>
#include <vector>

// The main menu, the tool bar, the accelerators and the prompts, as data the
// windows build their menus from.

struct MenuItem {
    int id = 0;                  // 0 for a separator or a popup
    std::string text;            // shown exactly as written, blanks included
    std::vector<MenuItem> items; // the items of a popup
};

// The main menu, popup by popup.
const std::vector<MenuItem>& MainMenu();
// The drop-down menu of the actual-size button.
const std::vector<MenuItem>& ActualSizeMenu();

// Tool-bar buttons from left to right; 0 is a separator.
const std::vector<int>& ToolBarButtons();

struct Accelerator {
    const char* key; // key names as a key-sequence text ("Ctrl+O", "Num+0", "Esc")
    int id;
};
const std::vector<Accelerator>& Accelerators();

// The status-bar prompt of a command (empty when it has none).
std::string CommandPrompt(int id);
// The tool tip of a command: the prompt's part after its line feed.
std::string CommandToolTip(int id);
