#include "platform/QtPlatformUi.h"

#include "platform/QtUtil.h"
#include "thumbs/FolderChooser.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <vector>

int CQtPlatformUi::MessageBox(const std::string& text, const std::string& caption, Buttons buttons,
                              Icon icon) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(Q(caption.empty() ? std::string(kAppTitle) : caption));
    box.setText(Q(text));
    switch (icon) {
    case Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Question:
        box.setIcon(QMessageBox::Question);
        break;
    case NoIcon:
        break;
    }
    switch (buttons) {
    case Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return AnswerCancel;
    case QMessageBox::Yes:
        return AnswerYes;
    case QMessageBox::No:
        return AnswerNo;
    default:
        return buttons == OkCancel && box.clickedButton() == nullptr ? AnswerCancel : AnswerOk;
    }
}

void CQtPlatformUi::BeginWaitCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void CQtPlatformUi::EndWaitCursor() {
    QGuiApplication::restoreOverrideCursor();
}

namespace {

struct FilterEntry {
    QString description, pattern;
};

// "desc|pattern|desc|pattern|" as pairs.
std::vector<FilterEntry> ParseFilter(const std::string& filter) {
    QStringList parts = Q(filter).split('|');
    std::vector<FilterEntry> out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty())
            out.push_back({parts[i], parts[i + 1]});
    return out;
}

// Qt's form of a filter; "*.*" means every file here.
QString QtFilter(const std::vector<FilterEntry>& entries) {
    QStringList list;
    for (const FilterEntry& e : entries)
        list << QString("%1 (%2)").arg(e.description, e.pattern == "*.*" ? "*" : e.pattern);
    return list.join(";;");
}

} // namespace

std::string CQtPlatformUi::GetOpenFileName(const std::string& filter,
                                           const std::string& startFolder) {
    QFileDialog dlg(QApplication::activeWindow(), {}, PathText(startFolder));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilter(QtFilter(ParseFilter(filter)));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return PathBytes(dlg.selectedFiles().front());
}

std::string CQtPlatformUi::GetSaveFileName(const std::string& filter,
                                           const std::string& startFolder) {
    auto entries = ParseFilter(filter);
    QFileDialog dlg(QApplication::activeWindow(), {}, PathText(startFolder));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilter(QtFilter(entries));
    // A name typed without an extension takes the chosen type's.
    auto suffixFor = [&](const QString& qtFilter) {
        for (const FilterEntry& e : entries)
            if (qtFilter.startsWith(e.description))
                return e.pattern.section('.', -1);
        return QString();
    };
    if (!entries.empty())
        dlg.setDefaultSuffix(entries.front().pattern.section('.', -1));
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg,
                     [&](const QString& f) { dlg.setDefaultSuffix(suffixFor(f)); });
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return PathBytes(dlg.selectedFiles().front());
}

std::string CQtPlatformUi::ChooseFolder(const std::string& title, const std::string& startFolder) {
    // The program's own chooser: the folder tree, or a typed path that is
    // checked and, when the user agrees, made.
    CFolderChooser dlg(title, {}, startFolder, QApplication::activeWindow());
    if (dlg.DoModal() != 1)
        return {};
    std::string folder = dlg.GetPath();
    return folder.back() == '/' ? folder : folder + "/";
}

std::optional<std::uint32_t> CQtPlatformUi::ChooseColor(std::uint32_t initial) {
    QColorDialog dlg(ToQColor(initial), QApplication::activeWindow());
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    QColor c = dlg.selectedColor();
    return RGB(c.red(), c.green(), c.blue());
}
