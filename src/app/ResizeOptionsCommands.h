#pragma once

class CMainFrame;

// The resize-and-save command (33021) and the options command (32772, F5),
// bound to the frame's command table.
void BindResizeAndOptionsCommands(CMainFrame& frame);

// "更改尺寸 ": the dialog "更改尺寸保存", then a file name; the shown picture
// is resampled and written as BMP or JPEG. The picture and its file stay as
// they are.
void ResizeAndSave(CMainFrame& frame);

// "选项": the sheet filled with the frame's values; on OK they are applied.
void OnOptions(CMainFrame& frame);
