#include "CCompareList.h"

#include "ColumnWidths.h"
#include "controls/CGridModel.h"
#include "foundation/CStringTable.h"
#include "foundation/DialogHelpers.h"
#include "params/CParameterEnumerationInterface.h"
#include "params/CSettings.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int IDS_GROUP = 2450;
constexpr int IDS_NAME = 2451;
constexpr int IDS_PC = 2452;

// Roles on column 0 of a row: its item data and its row number.
constexpr int kItemDataRole = Qt::UserRole + 1;
constexpr int kRowRole = Qt::UserRole + 2;

constexpr int kValueColumnWidth = 100;
const QColor kPink(255, 150, 150);

struct Column
{
    int heading; // string id; 0 for the title
    Qt::Alignment alignment;
    int width;
};

const std::vector<Column> kUngroupedColumns = {
    {IDS_GROUP, Qt::AlignLeft, 120}, {IDS_NAME, Qt::AlignLeft, 140},
    {IDS_PC, Qt::AlignRight, kValueColumnWidth}, {0, Qt::AlignRight, kValueColumnWidth}};
const std::vector<Column> kGroupedColumns = {
    {IDS_NAME, Qt::AlignLeft, 220}, {IDS_PC, Qt::AlignRight, kValueColumnWidth}, {0, Qt::AlignRight, kValueColumnWidth}};

// Paints each cell in the colours the list gives it, its text with the room
// on both sides that the grids give theirs: right-aligned values of one
// column would otherwise run into those of the next.
class CompareCellDelegate : public QStyledItemDelegate
{
public:
    explicit CompareCellDelegate(CCompareList* list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QString text = cell.text;
        cell.text.clear();
        const QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

        const QRect room = cell.rect.adjusted(CGridModel::kTextRoom, 0, -CGridModel::kTextRoom, 0);
        const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (cell.state & QStyle::State_Active)                                ? QPalette::Active
                                                                                 : QPalette::Inactive;
        painter->save();
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(
            group, (cell.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(room, static_cast<int>(cell.displayAlignment) | Qt::TextSingleLine,
                          cell.fontMetrics.elidedText(text, cell.textElideMode, room.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(static_cast<int>(std::ceil(QFontMetricsF(cell.font).horizontalAdvance(cell.text)))
                      + 2 * CGridModel::kTextRoom);
        return size;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant row = index.sibling(index.row(), 0).data(kRowRole);
        if (!row.isValid())
            return; // a group heading
        const auto [text, background] = m_list->GetCellColors(row.toInt(), index.column());
        option->backgroundBrush = background;
        option->palette.setColor(QPalette::Text, text);
    }

private:
    const CCompareList* m_list;
};

} // namespace

CCompareList::CCompareList(QWidget* parent)
    : CListCtrlInfoTip(parent)
{
    setItemDelegate(new CompareCellDelegate(this));
    setItemsExpandable(false);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    // The columns' text widths count every row, not only those in view.
    header()->setResizeContentsPrecision(-1);
}

bool CCompareList::UseGroups() const
{
    return IsOsVersionAtLeast(5, 1);
}

void CCompareList::SetupColumns()
{
    m_grouped = UseGroups();
    m_referenceColumn = m_grouped ? 1 : 2;
    m_comparedColumn = m_grouped ? 2 : 3;
    m_firstDifference = -1;

    clear();
    const std::vector<Column>& columns = m_grouped ? kGroupedColumns : kUngroupedColumns;
    setColumnCount(static_cast<int>(columns.size()));
    QTreeWidgetItem* headerItem = this->headerItem();
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        headerItem->setText(c, columns[c].heading ? CStringTable::LoadString(columns[c].heading) : m_title);
        headerItem->setTextAlignment(c, columns[c].alignment | Qt::AlignVCenter);
        setColumnWidth(c, columns[c].width);
    }

    const CParameterEnumerationInterface catalogue;
    QTreeWidgetItem* group = nullptr;
    QString previousGroup;
    QList<QTreeWidgetItem*> topLevel;
    for (int n = 0; n >= 0; n = catalogue.NextIndex(n)) {
        const QString groupText = catalogue.GetGroupName(n);
        QTreeWidgetItem* row = nullptr;
        if (m_grouped) {
            if (groupText != previousGroup) {
                previousGroup = groupText;
                group = new QTreeWidgetItem(QStringList{groupText});
                MarkGroupHeading(group);
                group->setFlags(Qt::ItemIsEnabled);
                topLevel.append(group);
            }
            row = new QTreeWidgetItem(QStringList{catalogue.GetParameterName(n)});
            if (group)
                group->addChild(row);
            else
                topLevel.append(row);
        } else {
            row = new QTreeWidgetItem(QStringList{groupText, catalogue.GetParameterName(n)});
            topLevel.append(row);
        }
        row->setData(0, kItemDataRole, 1u);
        row->setTextAlignment(m_referenceColumn, Qt::AlignRight | Qt::AlignVCenter);
        row->setTextAlignment(m_comparedColumn, Qt::AlignRight | Qt::AlignVCenter);
    }
    addTopLevelItems(topLevel);
    for (QTreeWidgetItem* item : topLevel) {
        if (IsGroupHeading(item))
            item->setFirstColumnSpanned(true);
    }
    expandAll();
    NumberRows();
    MeasureTexts();
    AdjustValueColumns();
}

void CCompareList::NumberRows()
{
    const int count = GetItemCount();
    for (int r = 0; r < count; ++r)
        GetItem(r)->setData(0, kRowRole, r);
}

void CCompareList::MeasureTexts()
{
    m_textWidths.clear();
    for (int c = 0; c < columnCount(); ++c)
        m_textWidths.push_back(std::max(sizeHintForColumn(c), header()->sectionSizeHint(c)));
}

std::vector<int> CCompareList::ColumnWidths(int available) const
{
    const std::vector<Column>& columns = m_grouped ? kGroupedColumns : kUngroupedColumns;
    std::vector<int> designed;
    for (const Column& column : columns)
        designed.push_back(column.width);
    return SplitValueColumns(designed, m_textWidths, available);
}

void CCompareList::AdjustValueColumns()
{
    // Known only once the list has its size: until then the table's width stands.
    const std::vector<int> widths = ColumnWidths(viewport()->width());
    for (int c = 0; c < static_cast<int>(widths.size()); ++c)
        setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
}

int CCompareList::GetFittingWidth() const
{
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int column : ColumnWidths(0))
        width += column;
    return width;
}

void CCompareList::resizeEvent(QResizeEvent* event)
{
    CListCtrlInfoTip::resizeEvent(event);
    AdjustValueColumns();
}

void CCompareList::SetValueColumn(int column, const CSettings& settings)
{
    const CParameterEnumerationInterface catalogue;
    int r = 0;
    for (int n = 0; n >= 0; n = catalogue.NextIndex(n), ++r) {
        if (QTreeWidgetItem* row = GetItem(r))
            row->setText(column, catalogue.GetValueText(n, settings));
    }
}

void CCompareList::Fill(const CSettings& reference, const CSettings& compared, bool comparing)
{
    SetValueColumn(m_referenceColumn, reference);
    if (comparing)
        SetValueColumn(m_comparedColumn, compared);

    const CParameterEnumerationInterface catalogue;
    m_differenceCount = 0;
    m_firstDifference = -1;
    std::uint32_t groupKey = 0;
    QString previousGroup;
    int r = 0;
    for (int n = 0; n >= 0; n = catalogue.NextIndex(n), ++r) {
        const QString groupText = catalogue.GetGroupName(n);
        if (groupText != previousGroup) {
            groupKey += 0x10000;
            previousGroup = groupText;
        }
        const int state = comparing ? catalogue.CompareParameter(n, reference, compared)
                                    : catalogue.GetApplicability(n, reference);
        SetItemData(r, groupKey + static_cast<std::uint32_t>(state));
        if (state == StateDifferent)
            ++m_differenceCount;
    }
    MeasureTexts();
    AdjustValueColumns();
    ScrollToFirstDifference();
}

void CCompareList::ScrollToFirstDifference()
{
    m_firstDifference = -1;
    if (m_differenceCount == 0)
        return;
    const int count = GetItemCount();
    for (int r = 0; r < count && m_firstDifference < 0; ++r) {
        if ((GetItemData(r) & 0xFFFF) == StateDifferent)
            m_firstDifference = r;
    }
    if (m_firstDifference >= 0)
        scrollToItem(GetItem(m_firstDifference), QAbstractItemView::EnsureVisible);
}

void CCompareList::RemoveEmptyRows()
{
    for (int r = GetItemCount() - 1; r >= 0; --r) {
        const bool empty = GetItemText(r, m_referenceColumn).isEmpty() && GetItemText(r, m_comparedColumn).isEmpty();
        if (empty && (GetItemData(r) & 0xFFFF) == StateNotApplicable)
            delete GetItem(r);
    }
    // A group left without rows is not shown, as the list's groups are not.
    for (int i = topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* top = topLevelItem(i);
        if (IsGroupHeading(top) && top->childCount() == 0)
            delete top;
    }
    NumberRows();
    // The rows above the first difference moved: scroll to where it is now.
    ScrollToFirstDifference();
}

std::uint32_t CCompareList::GetItemData(int row) const
{
    const QTreeWidgetItem* item = GetItem(row);
    return item ? item->data(0, kItemDataRole).toUInt() : 0;
}

void CCompareList::SetItemData(int row, std::uint32_t data)
{
    if (QTreeWidgetItem* item = GetItem(row))
        item->setData(0, kItemDataRole, data);
}

QColor CCompareList::AdjustColor(const QColor& color, double factor)
{
    const int r = color.red();
    const int g = color.green();
    const int b = color.blue();
    const auto shade = [&](int channel) {
        if (r + g + b >= 384)
            return static_cast<int>(std::max(0.0, channel * (1.0 - factor)));
        return static_cast<int>(std::min(255.0, channel * (1.0 + factor)));
    };
    return QColor(shade(r), shade(g), shade(b));
}

std::pair<QColor, QColor> CCompareList::GetCellColors(int row, int column) const
{
    const QPalette& colors = palette();
    const QColor window = colors.color(QPalette::Active, QPalette::Base);
    const QColor windowText = colors.color(QPalette::Active, QPalette::Text);
    const QColor grayText = colors.color(QPalette::Disabled, QPalette::Text);
    const QColor buttonFace = colors.color(QPalette::Active, QPalette::Button);

    const std::uint32_t data = GetItemData(row);
    const std::uint32_t state = data & 0xFFFF;
    if (!m_grouped) {
        const bool oddGroup = ((data >> 16) & 1) != 0;
        if (column == 0)
            return {windowText, AdjustColor(window, oddGroup ? 0.1 : 0.05)};
        if (column == 1)
            return {windowText, AdjustColor(window, oddGroup ? 0.05 : 0.1)};
        if (state == StateNotApplicable)
            return {grayText, buttonFace};
        if (state == StateDifferent)
            return {windowText, kPink};
        return {windowText, window};
    }
    if (state == StateDifferent)
        return {windowText, kPink};
    const QColor text = state == StateNotApplicable ? grayText : windowText;
    const bool oddRow = (row & 1) != 0;
    if (column == 0)
        return {text, AdjustColor(window, oddRow ? 0.1 : 0.05)};
    return {text, oddRow ? AdjustColor(window, 0.05) : window};
}
