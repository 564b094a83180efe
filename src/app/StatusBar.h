#pragma once
#include <QLabel>
#include <QStatusBar>
#include <functional>
#include <vector>

// One pane of the status bar: a sunken box with a line of text. Being a label,
// its text is also what assistive technologies read.
class CStatusPane : public QLabel {
    Q_OBJECT
public:
    CStatusPane(int index, int width, QWidget* parent);
    int Index() const { return m_nIndex; }

private:
    int m_nIndex;
};

// A pane whose label the frame paints itself: a feature name in black while
// the feature is on, in grey while it is off. A left click toggles it.
class CStatusToggle : public CStatusPane {
    Q_OBJECT
public:
    CStatusToggle(int index, int width, const QString& label, QWidget* parent);
    void SetOn(bool on);
    bool IsOn() const { return m_bOn; }
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    bool m_bOn = false;
};

// The frame's status bar: twelve panes with fixed widths, each growing to fit
// a longer text (the last takes the rest). Panes 8 and 9 are the painted
// toggle labels.
class CStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPaneCount = 12;
    static constexpr int kStripPane = 8;
    static constexpr int kOverviewPane = 9;

    explicit CStatusBar(QWidget* parent);
    void SetPaneText(int pane, const QString& text);
    QString PaneText(int pane) const;
    CStatusPane* Pane(int pane) const { return m_panes[pane]; }
    CStatusToggle* Toggle(int pane) const;
    // Paints both toggle labels for the current feature states.
    void PaintToggleLabels(bool stripOn, bool overviewOn);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void LayoutPanes();
    int PaneWidth(int pane) const;

    // The panes sit side by side at their fixed widths inside this strip;
    // what does not fit on a narrow window is cut off at the right, so the
    // bar never makes the window wider than the screen.
    QWidget* m_strip = nullptr;
    std::vector<CStatusPane*> m_panes;
};
