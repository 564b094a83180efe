#include "platform/QtPlatformUi.h"

#include "platform/QtUtil.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

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
