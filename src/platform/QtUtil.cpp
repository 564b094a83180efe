#include "platform/QtUtil.h"

#include <QStringList>

QFont SongFont(double pointSize) {
    QFont f;
    f.setFamilies(QStringList{"宋体", "AR PL UMing CN", "AR PL UMing", "WenQuanYi Zen Hei"});
    f.setPointSizeF(pointSize);
    return f;
}
