#pragma once
// The program's table control: a fixed grid of equal cells with label cells
// from the string table (placed by a layout table) and value cells filled
// by the owning window. It paints through a cached picture, lets the user
// select a cell with the mouse or the arrow keys, and notifies its observers
// when the user asks to edit the selected cell (Enter, a click, a typed
// character); the observer then lays an in-place editor over the cell.
#include "CGridModel.h"
#include "EditTypes.h"
#include "GridCellEntry.h"
#include "foundation/CObservable.h"
#include "foundation/CResourceManager.h"
#include "platform/WinTypes.h"

#include <QPixmap>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class CDataGridView : public QWidget, public CObservable, private CResourceManager
{
    Q_OBJECT
public:
    explicit CDataGridView(QWidget* parent = nullptr);
    ~CDataGridView() override;

    // The third argument is a least last-row index, the fourth a least
    // column count. Keeps the value cells and the selection; the grid takes
    // its new size at once and repaints at the next paint.
    void SetLayout(const std::vector<GridCellEntry>& layout, UINT cellWidth, UINT leastLastRow,
                   UINT leastColumnCount);
    // A cell width for the layout: designWidth, widened so that each of its
    // labels shows whole in the grid's font, as far as the screen holds the
    // layout's columns.
    UINT FitCellWidth(const std::vector<GridCellEntry>& layout, UINT designWidth) const;
    // Owners refill a grid by clearing it, adding every value cell and
    // calling update().
    void AddValueCell(UINT column, UINT row, const QString& text);
    void ClearValueCells();
    bool IsLabelCell(UINT row, UINT column) const;

    QString GetEditText() const;
    // Records the edit text and start character, takes the focus and
    // notifies the observers. Character 0 stands for Enter or a click.
    void BeginEdit(UINT character);
    // Move the selection past label cells; they neither start an edit nor
    // notify.
    void MoveUp();
    void MoveDown();
    void MoveLeft();
    void MoveRight();
    // After an in-place edit that ended with a direction: moves that way and
    // starts editing the new cell at once. No direction does nothing.
    void MoveAndEdit(EditDirection direction);

    // Only the mouse looks at this: keys move and edit regardless.
    void SetSelectionEnabled(bool enabled);
    UINT GetSelectedRow() const { return m_model.SelectedRow(); }
    UINT GetSelectedColumn() const { return m_model.SelectedColumn(); }
    void SetSelectedCell(UINT row, UINT column);
    UINT GetCellWidth() const { return m_model.CellWidth(); }
    // Known from SetLayout on (from the font), 0 before.
    UINT GetCellHeight() const { return m_model.CellHeight(); }
    UINT GetStartCharacter() const { return m_model.StartCharacter(); }
    UINT GetColumnCount() const { return m_model.Columns(); }
    UINT GetRowCount() const { return m_model.Rows(); }
    const CGridModel& Model() const { return m_model; }

    // Label texts come from the string table; a test or a window without
    // string-table texts may supply its own.
    using LabelTextSource = std::function<QString(UINT id)>;
    void SetLabelTextSource(LabelTextSource source);

    // The tool tip's hit test and text, asked on each tool tip event.
    std::optional<GridTool> OnToolHitTest(const QPoint& point) const;
    std::optional<QString> GetToolTipText(UINT id) const;

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString LabelText(UINT id) const;
    int FontCellHeight() const;
    void ApplyLayout();
    void DrawCells();
    void DrawSelection(QPainter& painter) const;

    CGridModel m_model;
    LabelTextSource m_labelSource;
    QPixmap m_cache;
    bool m_layoutDirty = true;
    bool m_contentDirty = false;
    bool m_selectionEnabled = false;
};
