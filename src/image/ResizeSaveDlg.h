#pragma once
#include "image/ResizeSave.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

// The dialog "更改尺寸保存": the new size of the picture in centimetres,
// inches or pixels, with the aspect ratio optionally locked. It shows what its
// model holds and hands the model only what the user does.
class CResizeSaveDlg : public QDialog {
    Q_OBJECT
public:
    // Opens with the picture's size; the resolution is the logical dots per
    // inch of the screen the dialog is on.
    CResizeSaveDlg(QWidget* parent, int width, int height);

    // The size chosen, read after OK.
    const CResizeSaveModel& Model() const { return m_model; }

private:
    void ShowSizes();
    void OnUnit(int unit);

    CResizeSaveModel m_model;
    QLineEdit* m_edWidth;  // edit 1046, "长度"
    QLineEdit* m_edHeight; // edit 1047, "宽度"
    QRadioButton* m_rbUnits[3];
    QCheckBox* m_chkKeepRatio;
};
