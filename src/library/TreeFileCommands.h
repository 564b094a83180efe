#pragma once
#include <string>

class CMainFrame;
class CTreeContainerWnd;

// The file commands on the left pane's side: open with the associated
// program, copy to a folder, move, delete, rename and batch rename. They act
// on the pane's current file (the picture picked in the folder tree, or
// opened through the pane) and keep the pane's picture list, the folder tree
// and the position pane up to date. A picture that was deleted or moved away
// stays on the screen, but it is no longer the current file.
class CTreeFileCommands {
public:
    explicit CTreeFileCommands(CMainFrame* frame);

    // The current file, "" when there is none (also after the shown picture
    // was deleted or moved away, or in a folder without pictures).
    std::string CurrentFile() const;

    // Opens the current file with the program the desktop associates with it.
    void OpenWith();
    void CopyTo();
    void Move();
    void Delete();
    void Rename();
    // Numbers the pictures among the folder tree's selected item and its
    // siblings.
    void BatchRename();

private:
    void FileRenamed(const std::string& from, const std::string& to);
    // The list and the position pane after the pane's pictures changed.
    void ShowChange();

    CMainFrame* m_pFrame;
    CTreeContainerWnd* m_pTree;
};

// Takes a file that left its folder (deleted or moved away) out of the left
// pane: out of its picture list and folder tree, and no longer its current
// file.
void LeftPaneFileGone(CMainFrame* frame, const std::string& path);
