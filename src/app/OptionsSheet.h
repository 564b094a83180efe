#pragma once
#include "app/Options.h"

#include <QDialog>
#include <QFrame>
#include <functional>

// A box filled with one colour. A left click opens the desktop's colour
// dialog preset to the box's colour; a colour chosen there is stored and
// reported.
class CColorBox : public QFrame {
public:
    CColorBox(COLORREF& colour, QWidget* parent);
    std::function<void()> onChanged;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    COLORREF& m_colour;
};

// The page "显示": background colours, slide delay, display mode,
// interpolation and wheel function.
class CImageWndDlg : public QWidget {
public:
    CImageWndDlg(COptions& options, QWidget* parent);
};

// The page "缩略图 ": the thumbnail colours with a sample cell, the colour
// schemes and the thumbnail size.
class CThumbnailsDlg : public QWidget {
public:
    CThumbnailsDlg(COptions& options, QWidget* parent);

private:
    COptions& m_options;
};

// The page "杂项": one check box per entry of MiscChecks().
class CMiscPage : public QWidget {
public:
    CMiscPage(COptions& options, QWidget* parent);
};

// The modal sheet "选项" with its three pages. The pages edit a copy of the
// values it was opened with; the caller applies Options() after OK.
class COptionsSheet : public QDialog {
public:
    COptionsSheet(QWidget* parent, const COptions& start);
    const COptions& Options() const { return m_options; }

private:
    COptions m_options;
};
