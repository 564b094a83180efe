#pragma once
#include <QWidget>
#include <string>
#include <vector>

class QTreeWidget;

// The EXIF page of the file-information sheet, "Exif信息": one row of a label
// and a value for each fact of the picture's EXIF block. The two lists are
// filled before the page is shown; the page only displays them.
class CJpgExifInfo : public QWidget {
    Q_OBJECT
public:
    explicit CJpgExifInfo(QWidget* parent = nullptr);
    // Puts the columns "标记" and "值" and one row per label into the list.
    void OnInitDialog();

    std::vector<std::string> m_arrTags, m_arrValues;
    QTreeWidget* m_list;
};
