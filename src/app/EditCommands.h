#pragma once

class CMainFrame;

// The picture edits of the "调整(&A)" menu, the quarter turns (menu, tool
// bar and the floating row's button) and "放大选区", bound as commands of
// the main frame.
void InstallEditCommands(CMainFrame& frame);
