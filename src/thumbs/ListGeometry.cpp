#include "thumbs/ListGeometry.h"

#include "platform/ProgramFolder.h"

#include <algorithm>
#include <cstdlib>

ListRect NormalizeRect(const ListRect& r) {
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

bool RectsOverlap(const ListRect& a, const ListRect& b) {
    auto closer = [](std::int64_t lo1, std::int64_t hi1, std::int64_t lo2, std::int64_t hi2) {
        return std::llabs((lo1 + hi1) - (lo2 + hi2)) < (hi1 - lo1) + (hi2 - lo2);
    };
    return closer(a.left, a.right, b.left, b.right) && closer(a.top, a.bottom, b.top, b.bottom);
}

int CListLayout::Columns() const {
    return std::max(1, m_cxClient / kListCellWidth);
}

int CListLayout::Rows() const {
    if (m_nCount <= 0)
        return 0;
    const int cols = Columns();
    return m_nCount / cols + (m_nCount % cols != 0 ? 1 : 0);
}

int CListLayout::MaxTopRow() const {
    const int rows = Rows();
    return rows >= 3 ? rows - 2 : 0;
}

int CListLayout::ClampTopRow(int topRow) const {
    return std::clamp(topRow, 0, MaxTopRow());
}

int CListLayout::FirstVisible() const {
    const int cols = Columns();
    if (m_nCount > cols && m_nTopRow >= 0 && m_nTopRow < m_nCount / cols)
        return m_nTopRow * cols;
    return 0;
}

ListRect CListLayout::CellRect(int index) const {
    const int cols = Columns();
    const int k = index - FirstVisible();
    const int left = (k % cols) * kListCellWidth;
    const int top = (k / cols) * kListCellHeight;
    return {left, top, left + kListCellWidth, top + kListCellHeight};
}

ListRect CListLayout::BoxRect(int index) const {
    ListRect c = CellRect(index);
    return {c.left, c.top, c.left + kListBoxWidth, c.top + kListBoxHeight};
}

ListRect CListLayout::CaptionRect(int index) const {
    ListRect c = CellRect(index);
    return {c.left + 1, c.top + 65, c.left + 69, c.top + 85};
}

int CListLayout::HitTest(int x, int y) const {
    const int cols = Columns();
    if (x < 0 || y < 0 || x >= cols * kListCellWidth)
        return -1;
    const std::int64_t index = std::int64_t(FirstVisible()) +
                               std::int64_t(y / kListCellHeight) * cols + x / kListCellWidth;
    return index < m_nCount ? static_cast<int>(index) : -1;
}

std::vector<int> CListLayout::FilesInBand(const ListRect& band) const {
    std::vector<int> hits;
    const ListRect b = NormalizeRect(band);
    if (b.Width() <= kListMinBandWidth)
        return hits;
    for (int i = FirstVisible(); i < m_nCount; ++i) {
        if (RectsOverlap(BoxRect(i), b))
            hits.push_back(i);
        if (CellRect(i).top >= m_cyClient)
            break;
    }
    return hits;
}

void ThumbOriginInBox(const ListRect& box, int w, int h, int& x, int& y) {
    x = box.left + (kListBoxWidth - w) / 2;
    y = box.top + (kListBoxHeight - h) / 2;
}

int CaptionLimit(int averageCharWidth) {
    return averageCharWidth > 0 ? 68 / averageCharWidth : 68;
}

std::string CutCaption(const std::string& title, int maxWidth) {
    std::size_t cut = 0;    // bytes of the characters that fit in maxWidth - 1
    std::int64_t width = 0; // of the whole title
    for (std::size_t at = 0; at < title.size();) {
        const unsigned char lead = static_cast<unsigned char>(title[at]);
        const std::size_t n = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        at = std::min(at + n, title.size());
        width += lead < 0x80 ? 1 : 2;
        if (width <= maxWidth - 1)
            cut = at;
    }
    return width < maxWidth ? title : title.substr(0, cut) + ".";
}

std::string ListTitleOf(const std::string& path) {
    std::string name = FileNameOf(path);
    std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string BadgeTextOf(const std::string& path) {
    std::string name = FileNameOf(path);
    std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return ext;
}

int BadgeRight(int cellLeft, const std::string& badge, int averageCharWidth) {
    return cellLeft + 22 + static_cast<int>(badge.size()) * averageCharWidth;
}

void CItemStates::Reset(int n) {
    m_pItemState.assign(static_cast<std::size_t>(std::max(n, 0)), kNormal);
    m_nItemStates = static_cast<int>(m_pItemState.size());
}

void CItemStates::ClearMarks() {
    std::fill(m_pItemState.begin(), m_pItemState.end(), kNormal);
}

void CItemStates::SelectAll() {
    std::fill(m_pItemState.begin(), m_pItemState.end(), kSelected);
}

std::int32_t CItemStates::Get(int index) const {
    if (index < 0 || index >= m_nItemStates)
        return kNormal;
    return m_pItemState[static_cast<std::size_t>(index)];
}

void CItemStates::Set(int index, std::int32_t state) {
    if (index < 0 || index >= m_nItemStates)
        return;
    m_pItemState[static_cast<std::size_t>(index)] = state;
}
