#pragma once
// A report-style list whose every cell has its own tooltip with the cell's
// full text, so that texts cut off by narrow columns can still be read.
//
// Built on QTreeWidget: the columns are the tree's columns, and the list's
// groups are top-level items marked as group headings (MarkGroupHeading)
// whose children are the group's rows. The list's items are all the other
// items, numbered in display order as a list view numbers them.
#include "platform/WinTypes.h"

#include <QRect>
#include <QTreeWidget>

#include <optional>

struct ListTool
{
    UINT id = 0;
    QRect rect; // the sub-item's bounds, in viewport coordinates
};

class CListCtrlInfoTip : public QTreeWidget
{
    Q_OBJECT
public:
    explicit CListCtrlInfoTip(QWidget* parent = nullptr);

    static void MarkGroupHeading(QTreeWidgetItem* item);
    static bool IsGroupHeading(const QTreeWidgetItem* item);

    int GetItemCount() const;
    // Null past the last item.
    QTreeWidgetItem* GetItem(int index) const;
    // -1 for a group heading or an item of another list.
    int GetItemIndex(const QTreeWidgetItem* item) const;
    QString GetItemText(int index, int subItem) const;

    // The tool at a point of the viewport: none below the last item, on a
    // group heading or right of the last column.
    virtual std::optional<ListTool> OnToolHitTest(const QPoint& point) const;
    // The cell's text, cut to the tip's length; none for id 0. Every other
    // id resolves, the rows from 64 on included.
    std::optional<QString> GetToolTipText(UINT id) const;

protected:
    bool viewportEvent(QEvent* event) override;
};
