#pragma once

class CMainFrame;

// Binds the frame's file commands: open with the associated program (32914,
// from the folder tree's file menu), copy to a folder (32857), delete
// (32840), move (33026), rename (32841), batch rename (32913) and the check
// for a current file (32853). While the thumbnail list is shown, copy, delete and
// move act on its selection; otherwise on the left pane's current file.
void InstallFileCommands(CMainFrame* frame);

inline constexpr const char* kNeedFileText = "Please select a Image file first!    ";
