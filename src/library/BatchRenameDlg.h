#pragma once
#include "thumbs/SmallDialogs.h"

class QComboBox;

// "批量命名": the description of a batch rename and where its running number
// goes (0 after it, 1 in place of its first "*", 2 before it).
class CBatchRenameDlg : public CSmallDialog {
    Q_OBJECT
public:
    explicit CBatchRenameDlg(QWidget* parent = nullptr);
    void UpdateData(bool bSaveAndValidate) override;

    std::string m_strDesc = "NO_";
    int m_nPosition = 0;
    QComboBox* m_cbPosition;
    QLineEdit* m_editDesc;
};
