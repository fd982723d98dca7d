#include "CListCtrlInfoTip.h"

#include "ToolTipIds.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>

namespace {

constexpr int kGroupHeadingRole = Qt::UserRole + 0x4C47;

} // namespace

CListCtrlInfoTip::CListCtrlInfoTip(QWidget* parent)
    : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
}

void CListCtrlInfoTip::MarkGroupHeading(QTreeWidgetItem* item)
{
    item->setData(0, kGroupHeadingRole, true);
}

bool CListCtrlInfoTip::IsGroupHeading(const QTreeWidgetItem* item)
{
    return item && item->data(0, kGroupHeadingRole).toBool();
}

int CListCtrlInfoTip::GetItemCount() const
{
    int count = 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem* top = topLevelItem(i);
        count += IsGroupHeading(top) ? top->childCount() : 1;
    }
    return count;
}

QTreeWidgetItem* CListCtrlInfoTip::GetItem(int index) const
{
    if (index < 0)
        return nullptr;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = topLevelItem(i);
        if (!IsGroupHeading(top)) {
            if (index == 0)
                return top;
            --index;
        } else if (index < top->childCount()) {
            return top->child(index);
        } else {
            index -= top->childCount();
        }
    }
    return nullptr;
}

int CListCtrlInfoTip::GetItemIndex(const QTreeWidgetItem* item) const
{
    if (!item || IsGroupHeading(item) || item->treeWidget() != this)
        return -1;
    int index = 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem* top = topLevelItem(i);
        if (!IsGroupHeading(top)) {
            if (top == item)
                return index;
            ++index;
            continue;
        }
        const int child = top->indexOfChild(const_cast<QTreeWidgetItem*>(item));
        if (child >= 0)
            return index + child;
        index += top->childCount();
    }
    return -1;
}

QString CListCtrlInfoTip::GetItemText(int index, int subItem) const
{
    const QTreeWidgetItem* item = GetItem(index);
    return item ? item->text(subItem) : QString();
}

std::optional<ListTool> CListCtrlInfoTip::OnToolHitTest(const QPoint& point) const
{
    QTreeWidgetItem* item = itemAt(point);
    const int subItem = header()->logicalIndexAt(point.x());
    const int index = GetItemIndex(item);
    if (index < 0 || subItem < 0)
        return std::nullopt;
    const QRect rect = visualRect(indexFromItem(item, subItem));
    return ListTool{MakeToolTipId(static_cast<std::uint32_t>(index), static_cast<std::uint32_t>(subItem)), rect};
}

std::optional<QString> CListCtrlInfoTip::GetToolTipText(UINT id) const
{
    const std::optional<ToolTipCell> cell = ToolTipCellFromId(id);
    if (!cell)
        return std::nullopt;
    return CutToolTipText(GetItemText(static_cast<int>(cell->row), static_cast<int>(cell->column)));
}

bool CListCtrlInfoTip::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<ListTool> tool = OnToolHitTest(help->pos());
        const QString text = tool ? GetToolTipText(tool->id).value_or(QString()) : QString();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport(), tool->rect);
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}
