#pragma once
#include "app/Settings.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string S(const QString& s) {
    return s.toStdString();
}
inline QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The program's Song face ("宋体") at a point size, with its stand-ins on this
// desktop.
QFont SongFont(double pointSize);
