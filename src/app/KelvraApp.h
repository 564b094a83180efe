#pragma once
#include <memory>
#include <string>
#include <vector>

class CMainFrame;
class CQtPlatformUi;

// The document: an empty shell. Pictures live in the picture window and the
// folder state in the panes; opening a "document" always succeeds.
class CKelvraDoc {
public:
    bool OnNewDocument() { return true; }
    bool OnOpenDocument(const std::string&) { return true; }
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

private:
    bool m_bModified = false;
};

// The application: builds the frame and its panes, hands over the file named
// on the command line, titles the window and shows it maximised.
class CKelvraApp {
public:
    CKelvraApp();
    ~CKelvraApp();
    // args: the command-line arguments after the program name. Returns false
    // when the frame could not be built.
    bool InitInstance(const std::vector<std::string>& args);
    CMainFrame* MainFrame() const { return m_pMainWnd.get(); }

private:
    std::unique_ptr<CQtPlatformUi> m_ui;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    CKelvraDoc m_doc;
};
