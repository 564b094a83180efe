#include "app/OptionsSheet.h"

#include "platform/PlatformUi.h"
#include "platform/QtUtil.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Repaints every box and sample of a page (a colour or a scheme changed).
void RepaintPage(QWidget* page) {
    for (QWidget* w : page->findChildren<QWidget*>())
        w->update();
}

// A widget whose painting is a function of the page's values.
class CSample : public QWidget {
public:
    CSample(QWidget* parent, QSize size, std::function<void(QPainter&, const QRect&)> paint)
        : QWidget(parent), m_paint(std::move(paint)) {
        setFixedSize(size);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        m_paint(p, rect());
    }

private:
    std::function<void(QPainter&, const QRect&)> m_paint;
};

// Radio buttons in a titled group; a click stores the chosen index.
QGroupBox* RadioGroup(QWidget* parent, const char* title,
                      const std::vector<std::pair<int, const char*>>& buttons, int& value) {
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(buttons[i].second), box);
        b->setObjectName(QString("Radio%1").arg(buttons[i].first));
        b->setChecked(int(i) == value);
        group->addButton(b, int(i));
        layout->addWidget(b);
    }
    QObject::connect(group, &QButtonGroup::idClicked, box, [&value](int id) { value = id; });
    return box;
}

// A drop-down list; choosing an item stores the value it stands for.
QComboBox* DropDown(QWidget* parent, int id, const QStringList& items, int index,
                    std::function<void(int)> chosen) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString("List%1").arg(id));
    combo->addItems(items);
    combo->setCurrentIndex(index);
    QObject::connect(combo, &QComboBox::activated, parent, std::move(chosen));
    return combo;
}

} // namespace

CColorBox::CColorBox(COLORREF& colour, QWidget* parent) : QFrame(parent), m_colour(colour) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFixedSize(40, 18);
}

void CColorBox::paintEvent(QPaintEvent* e) {
    QPainter(this).fillRect(contentsRect(), ToQColor(m_colour));
    QFrame::paintEvent(e);
}

void CColorBox::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return QFrame::mousePressEvent(e);
    if (std::optional<std::uint32_t> c = PlatformUi().ChooseColor(m_colour)) {
        m_colour = *c;
        if (onChanged)
            onChanged();
    }
}

CImageWndDlg::CImageWndDlg(COptions& o, QWidget* parent) : QWidget(parent) {
    setObjectName("DisplayPage");
    auto addBox = [this](int id, COLORREF& colour) {
        auto* box = new CColorBox(colour, this);
        box->setObjectName(QString("Box%1").arg(id));
        box->onChanged = [this] { RepaintPage(this); };
        return box;
    };
    // The sample: the left background up to 2 pixels before a quarter of its
    // width, the right background after it.
    auto* sample = new CSample(this, {200, 24}, [&o](QPainter& p, const QRect& r) {
        const int split = std::max(r.width() / 4 - 2, 0);
        p.fillRect(QRect(0, 0, split, r.height()), ToQColor(o.crLeft));
        p.fillRect(QRect(split, 0, r.width() - split, r.height()), ToQColor(o.crRight));
    });
    sample->setObjectName("Sample1036");

    QStringList delays;
    for (int s = kMinDelaySeconds; s <= kMaxDelaySeconds; ++s)
        delays << Q(DelayItemText(s));
    auto* delay = DropDown(this, 1012, delays, o.nDelay - kMinDelaySeconds,
                           [&o](int i) { o.nDelay = i + kMinDelaySeconds; });
    auto* interp = DropDown(this, 1062, {QStringLiteral("线性插值"), QStringLiteral("高斯模糊")},
                            o.nInterp, [&o](int i) { o.nInterp = i; });

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("右侧背景"), this), 0, 0);
    grid->addWidget(addBox(1018, o.crRight), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("幻灯片延迟"), this), 0, 2);
    grid->addWidget(delay, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("左侧背景"), this), 1, 0);
    grid->addWidget(addBox(1019, o.crLeft), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("插值方式"), this), 1, 2);
    grid->addWidget(interp, 1, 3);
    grid->addWidget(sample, 2, 0, 1, 4);
    grid->addWidget(
        RadioGroup(this, "显示方式", {{1020, "全幅图片"}, {1021, "图片实际尺寸"}}, o.nDisplayMode),
        3, 0, 1, 2);
    grid->addWidget(
        RadioGroup(this, "默认滚轴功能", {{1038, "上一张/下一张"}, {1039, "放大/缩小 "}}, o.nWheel),
        3, 2, 1, 2);
    grid->setRowStretch(4, 1);
}

CThumbnailsDlg::CThumbnailsDlg(COptions& o, QWidget* parent) : QWidget(parent), m_options(o) {
    setObjectName("ThumbnailsPage");
    auto* grid = new QGridLayout(this);
    const std::pair<const char*, COLORREF COptions::*> boxes[] = {
        {"背景颜色", &COptions::crTumBack},   {"选择边框", &COptions::crTumCrInfo},
        {"边框颜色", &COptions::crTumCrIndi}, {"标题颜色", &COptions::crTumTile},
        {"标题背景", &COptions::crTumTileBk},
    };
    int row = 0;
    for (const auto& [label, colour] : boxes) {
        auto* box = new CColorBox(m_options.*colour, this);
        box->setObjectName(QString::fromUtf8(label));
        box->onChanged = [this] { RepaintPage(this); };
        grid->addWidget(new QLabel(QString::fromUtf8(label), this), row, 0);
        grid->addWidget(box, row++, 1);
    }

    // The size, 40 to 160 each: no other value can be entered.
    auto* size = new QGroupBox(QStringLiteral("大小"), this);
    auto* sizeGrid = new QGridLayout(size);
    const std::pair<const char*, int COptions::*> sides[] = {{"宽度", &COptions::nCx},
                                                             {"高度", &COptions::nCy}};
    for (int i = 0; i < 2; ++i) {
        auto* spin = new QSpinBox(size);
        spin->setObjectName(i == 0 ? "Spin1003" : "Spin1005");
        spin->setRange(kMinThumbSide, kMaxThumbSide);
        spin->setValue(m_options.*sides[i].second);
        int& side = m_options.*sides[i].second;
        connect(spin, &QSpinBox::valueChanged, this, [&side](int v) { side = v; });
        sizeGrid->addWidget(new QLabel(QString::fromUtf8(sides[i].first), size), i, 0);
        sizeGrid->addWidget(spin, i, 1);
    }
    grid->addWidget(size, row++, 0, 1, 2);

    // The schemes: "方案1" is shown at first without being applied.
    QStringList schemes;
    for (int i = 0; i < kSchemeCount; ++i)
        schemes << Q(SchemeName(i));
    grid->addWidget(new QLabel(QStringLiteral("配色方案"), this), row, 0);
    grid->addWidget(DropDown(this, 1015, schemes, 0,
                             [this](int i) {
                                 ApplyColorScheme(i, m_options);
                                 RepaintPage(this);
                             }),
                    row++, 1);

    // The sample cell: the tile background with the selection frame on its
    // edge and the cell frame 2 pixels inside, a shaded box for the picture
    // 8 pixels in from the sides and 18 from top and bottom, and the caption.
    auto* example = new QGroupBox(QStringLiteral("示例"), this);
    auto* exampleLayout = new QVBoxLayout(example);
    auto* cell = new CSample(example, {84, 80}, [this](QPainter& p, const QRect& r) {
        const COptions& o = m_options;
        p.fillRect(r, ToQColor(o.crTumBack));
        p.setPen(ToQColor(o.crTumCrInfo));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(ToQColor(o.crTumCrIndi));
        p.drawRect(r.adjusted(2, 2, -3, -3));
        const QRect picture = r.adjusted(8, 18, -8, -18);
        for (int y = 0; y < picture.height(); ++y)
            p.fillRect(QRect(picture.left(), picture.top() + y, picture.width(), 1),
                       QColor(std::min(165 + y, 255), 140, 140));
    });
    cell->setObjectName("Sample1036");
    auto* caption = new CSample(example, {84, 18}, [this](QPainter& p, const QRect& r) {
        p.fillRect(r, ToQColor(m_options.crTumTileBk));
        p.setPen(ToQColor(m_options.crTumTile));
        p.setFont(SongFont(9));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("文件名"));
    });
    caption->setObjectName("Caption1042");
    exampleLayout->addWidget(cell);
    exampleLayout->addWidget(caption);
    grid->addWidget(example, 0, 2, row, 1, Qt::AlignTop);
    grid->setRowStretch(row, 1);
}

CMiscPage::CMiscPage(COptions& o, QWidget* parent) : QWidget(parent) {
    setObjectName("MiscPage");
    auto* layout = new QVBoxLayout(this);
    for (const MiscCheck& c : MiscChecks()) {
        auto* check = new QCheckBox(QString::fromUtf8(c.text), this);
        check->setObjectName(QString("Check%1").arg(c.id));
        check->setChecked(o.*c.value);
        bool& value = o.*c.value;
        connect(check, &QCheckBox::toggled, this, [&value](bool on) { value = on; });
        layout->addWidget(check);
    }
    layout->addStretch(1);
}

COptionsSheet::COptionsSheet(QWidget* parent, const COptions& start)
    : QDialog(parent), m_options(start) {
    setObjectName("OptionsSheet");
    setWindowTitle(QStringLiteral("选项"));
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("OptionsTabs");
    tabs->addTab(new CImageWndDlg(m_options, tabs), QStringLiteral("显示"));
    tabs->addTab(new CThumbnailsDlg(m_options, tabs), QStringLiteral("缩略图 "));
    tabs->addTab(new CMiscPage(m_options, tabs), QStringLiteral("杂项"));
    LayOutSheet(this, tabs);
}
