#pragma once
#include "app/Settings.h"

#include <QColor>
#include <QFile>
#include <QFont>
#include <QString>
#include <QUrl>
#include <string>

class QDialog;
class QTabWidget;

// The program's own texts (UTF-8) as Qt strings and back.
inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string S(const QString& s) {
    return s.toStdString();
}

// A path stays the bytes the file system gave it; only what is drawn is made
// a text (a name that is no valid UTF-8 shows replacement characters, but the
// path behind it still opens).
inline QString PathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
// A path the user typed or chose as text, as the file system's bytes.
inline std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
// A file URL that carries every byte of the path.
inline QUrl FileUrl(const std::string& path) {
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"),
                             QUrl::StrictMode);
}
inline QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The program's Song face ("宋体") at a point size, with its stand-ins on this
// desktop.
QFont SongFont(double pointSize);

// Lays out a property sheet: its pages, and under them "确定" and "取消",
// which accept and reject it.
void LayOutSheet(QDialog* sheet, QTabWidget* pages);
