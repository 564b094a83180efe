#include "image/ResizeSaveDlg.h"

#include "platform/QtUtil.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QValidator>
#include <cmath>

namespace {

// Lets into an edit only what reads as a number of the dialog's current unit.
class CSizeValidator : public QValidator {
public:
    CSizeValidator(const CResizeSaveModel& model, QObject* parent)
        : QValidator(parent), m_model(model) {}
    State validate(QString& text, int&) const override {
        return ParseSizeText(S(text), m_model.m_nDpiX, m_model.m_nUnit) ? Acceptable : Invalid;
    }

private:
    const CResizeSaveModel& m_model;
};

int LogicalDpi(const QWidget* w, bool x) {
    const QScreen* s = w->screen();
    if (!s)
        return 96;
    return static_cast<int>(std::lround(x ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY()));
}

} // namespace

CResizeSaveDlg::CResizeSaveDlg(QWidget* parent, int width, int height)
    : QDialog(parent), m_model(width, height, LogicalDpi(parent ? parent : this, true),
                               LogicalDpi(parent ? parent : this, false)) {
    setObjectName("ResizeSaveDlg");
    setWindowTitle(QStringLiteral("更改尺寸保存"));

    auto* validator = new CSizeValidator(m_model, this);
    m_edWidth = new QLineEdit(this);
    m_edWidth->setObjectName("WidthEdit");
    m_edHeight = new QLineEdit(this);
    m_edHeight->setObjectName("HeightEdit");
    for (QLineEdit* e : {m_edWidth, m_edHeight}) {
        e->setValidator(validator);
        e->setMaxLength(24);
    }

    const char* unitTexts[] = {"厘米 ", "英寸 ", "像素"};
    auto* units = new QButtonGroup(this);
    for (int u = kUnitCm; u <= kUnitPixel; ++u) {
        m_rbUnits[u] = new QRadioButton(QString::fromUtf8(unitTexts[u]), this);
        m_rbUnits[u]->setObjectName(QString("Unit%1").arg(u));
        units->addButton(m_rbUnits[u], u);
    }
    m_chkKeepRatio = new QCheckBox(QStringLiteral("保持宽、高比例"), this);
    m_chkKeepRatio->setObjectName("KeepRatio");
    auto* save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName("SaveButton");
    save->setDefault(true);
    auto* reset = new QPushButton(QStringLiteral("复位"), this);
    reset->setObjectName("ResetButton");
    reset->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("长度"), this), 0, 0);
    grid->addWidget(m_edWidth, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("宽度"), this), 1, 0);
    grid->addWidget(m_edHeight, 1, 1);
    for (int u = kUnitCm; u <= kUnitPixel; ++u)
        grid->addWidget(m_rbUnits[u], u, 2);
    grid->addWidget(m_chkKeepRatio, 3, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(reset);
    grid->addLayout(buttons, 4, 0, 1, 3);

    // Only what the user does reaches the model: textEdited is not emitted
    // for the texts the dialog sets itself, so a recomputed size never
    // recomputes the size it came from.
    connect(m_edWidth, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (m_model.OnWidthTyped(S(t)))
            m_edHeight->setText(Q(m_model.HeightText()));
    });
    connect(m_edHeight, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (m_model.OnHeightTyped(S(t)))
            m_edWidth->setText(Q(m_model.WidthText()));
    });
    connect(units, &QButtonGroup::idClicked, this, &CResizeSaveDlg::OnUnit);
    connect(m_chkKeepRatio, &QCheckBox::clicked, this, [this](bool on) {
        m_model.SetKeepRatio(on);
        if (on)
            m_edHeight->setText(Q(m_model.HeightText()));
    });
    connect(reset, &QPushButton::clicked, this, [this] {
        m_model.Reset();
        ShowSizes();
    });
    connect(save, &QPushButton::clicked, this, &QDialog::accept);

    m_rbUnits[m_model.m_nUnit]->setChecked(true);
    m_chkKeepRatio->setChecked(m_model.m_bKeepRatio);
    ShowSizes();
}

void CResizeSaveDlg::OnUnit(int unit) {
    m_model.SetUnit(unit);
    ShowSizes();
}

void CResizeSaveDlg::ShowSizes() {
    m_edWidth->setText(Q(m_model.WidthText()));
    m_edHeight->setText(Q(m_model.HeightText()));
}
