#pragma once

class CMainFrame;

// The wallpaper commands (32832 tile, 32831 centre, 32948 stretch, also
// reached from the picture window's context menu) and printing (57607,
// Ctrl+P), bound to the frame's command table. With no picture loaded they
// do nothing.
void BindWallpaperAndPrintCommands(CMainFrame& frame);
