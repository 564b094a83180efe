#pragma once

class CMainFrame;

// Printing (57607, Ctrl+P), bound to the frame's command table. With no
// picture loaded it does nothing.
void BindWallpaperAndPrintCommands(CMainFrame& frame);
