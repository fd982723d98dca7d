#include "CDataGridView.h"

#include "foundation/CStringTable.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

// Single line, right and bottom aligned, cut with an ellipsis at the end.
void DrawCellText(QPainter& painter, const QRect& rect, const QString& text)
{
    if (rect.width() <= 0 || rect.height() <= 0 || text.isEmpty())
        return;
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine, shown);
}

QColor SystemColor(const QWidget* widget, QPalette::ColorRole role)
{
    return widget->palette().color(QPalette::Active, role);
}

// The characters that start an edit: printable ones and Backspace, which
// arrive as character messages; shortcuts, Esc and Tab stay the dialog's.
bool IsEditCharacter(const QKeyEvent* event, char32_t& character)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QList<uint> codes = event->text().toUcs4();
    if (codes.isEmpty())
        return false;
    character = codes.front();
    return character == 8 || (character >= 0x20 && character != 0x7F);
}

} // namespace

CDataGridView::CDataGridView(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_cache = QPixmap(1, 1);
}

CDataGridView::~CDataGridView() = default;

void CDataGridView::SetLayout(const std::vector<GridCellEntry>& layout, UINT cellWidth, UINT leastLastRow,
                              UINT leastColumnCount)
{
    m_model.SetLayout(layout, cellWidth, leastLastRow, leastColumnCount);
    m_layoutDirty = true;
    // The size is taken now rather than at the next paint, so that clicks,
    // tooltips and editors placed before that paint see the real cells.
    ApplyLayout();
}

void CDataGridView::AddValueCell(UINT column, UINT row, const QString& text)
{
    m_model.AddValueCell(column, row, text);
    m_contentDirty = true;
}

void CDataGridView::ClearValueCells()
{
    m_model.ClearValueCells();
    m_contentDirty = true;
}

bool CDataGridView::IsLabelCell(UINT row, UINT column) const
{
    return m_model.IsLabelCell(row, column);
}

QString CDataGridView::GetEditText() const
{
    return m_model.EditText();
}

void CDataGridView::BeginEdit(UINT character)
{
    m_model.PrepareEdit(character);
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
    update();
    NotifyObservers();
}

void CDataGridView::MoveUp()
{
    m_model.MoveUp();
    update();
}

void CDataGridView::MoveDown()
{
    m_model.MoveDown();
    update();
}

void CDataGridView::MoveLeft()
{
    m_model.MoveLeft();
    update();
}

void CDataGridView::MoveRight()
{
    m_model.MoveRight();
    update();
}

void CDataGridView::MoveAndEdit(EditDirection direction)
{
    switch (direction) {
    case EditDirection::Down:
        MoveDown();
        break;
    case EditDirection::Up:
        MoveUp();
        break;
    case EditDirection::Left:
        MoveLeft();
        break;
    case EditDirection::Right:
        MoveRight();
        break;
    default:
        return;
    }
    BeginEdit(0);
}

void CDataGridView::SetSelectionEnabled(bool enabled)
{
    m_selectionEnabled = enabled;
    update();
}

void CDataGridView::SetSelectedCell(UINT row, UINT column)
{
    m_model.SetSelection(row, column);
    update();
}

void CDataGridView::SetLabelTextSource(LabelTextSource source)
{
    m_labelSource = std::move(source);
    m_contentDirty = true;
    update();
}

std::optional<GridTool> CDataGridView::OnToolHitTest(const QPoint& point) const
{
    return m_model.ToolAt(point.x(), point.y());
}

std::optional<QString> CDataGridView::GetToolTipText(UINT id) const
{
    return m_model.ToolTipText(id);
}

UINT CDataGridView::FitCellWidth(const std::vector<GridCellEntry>& layout, UINT designWidth) const
{
    // Whole pixels up: a text a fraction wider than its room is cut.
    const QFontMetricsF metrics(font());
    UINT columns = 1;
    for (const GridCellEntry& entry : layout)
        columns = std::max<UINT>(columns, entry.column + 1);
    const QScreen* shown = screen();
    const int screenWidth = shown ? shown->availableGeometry().width() : 0;
    const auto limit = static_cast<UINT>(std::max(screenWidth - 1, 0)) / columns;
    UINT width = designWidth;
    for (const GridCellEntry& entry : layout) {
        const GridLabelText label = CGridModel::ParseLabelText(LabelText(entry.itemId));
        if (!label.shown)
            continue;
        const auto textWidth = static_cast<int>(std::ceil(metrics.horizontalAdvance(label.text)));
        width = std::max(width, CGridModel::FitCellWidth(designWidth, textWidth, label.columns, limit));
    }
    return width;
}

QSize CDataGridView::sizeHint() const
{
    return QSize(m_model.PixelWidth(), std::max(m_model.PixelHeight(), 1));
}

QString CDataGridView::LabelText(UINT id) const
{
    return m_labelSource ? m_labelSource(id) : CStringTable::LoadString(static_cast<int>(id));
}

int CDataGridView::FontCellHeight() const
{
    return QFontMetrics(font()).height() + 2;
}

void CDataGridView::ApplyLayout()
{
    m_model.SetCellHeight(static_cast<std::uint32_t>(FontCellHeight()));
    const QSize size(m_model.PixelWidth(), m_model.PixelHeight());
    updateGeometry();
    if (this->size() != size)
        resize(size);
    const qreal ratio = devicePixelRatioF();
    m_cache = QPixmap(size * ratio);
    m_cache.setDevicePixelRatio(ratio);
    m_layoutDirty = false;
    m_contentDirty = true;
}

void CDataGridView::DrawCells()
{
    const bool enabled = isEnabled();
    const int w = static_cast<int>(m_model.CellWidth());
    const int h = static_cast<int>(m_model.CellHeight());
    const int width = m_model.PixelWidth();
    const int height = m_model.PixelHeight();
    const QColor buttonFace = SystemColor(this, QPalette::Button);

    QPainter painter(&m_cache);
    painter.setFont(font());
    painter.fillRect(QRect(0, 0, width, height), enabled ? QColor(Qt::white) : buttonFace);

    painter.setPen(QPen(SystemColor(this, QPalette::ButtonText), 1));
    for (std::uint32_t i = 0; i <= m_model.Columns(); ++i) {
        const int x = static_cast<int>(i) * w;
        painter.drawLine(x, 0, x, height - 1);
    }
    for (std::uint32_t i = 0; i <= m_model.Rows(); ++i) {
        const int y = static_cast<int>(i) * h;
        painter.drawLine(0, y, width - 1, y);
    }

    const QColor textColor = enabled ? SystemColor(this, QPalette::WindowText)
                                     : palette().color(QPalette::Disabled, QPalette::Text);
    painter.setPen(textColor);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(buttonFace);
    for (const GridCellEntry& entry : m_model.LabelCells()) {
        const GridLabelText label = CGridModel::ParseLabelText(LabelText(entry.itemId));
        if (!label.shown)
            continue;
        QRect rect = m_model.InnerCellRect(entry.row, entry.column);
        rect.setWidth(rect.width() + w * static_cast<int>(label.columns - 1));
        rect.setHeight(rect.height() + h * static_cast<int>(label.rows - 1));
        painter.fillRect(rect, buttonFace);
        rect.setWidth(rect.width() - (CGridModel::kTextInset - 1));
        DrawCellText(painter, rect, label.text);
    }

    painter.setBackground(enabled ? SystemColor(this, QPalette::Base) : buttonFace);
    for (const GridValueCell& cell : m_model.ValueCells())
        DrawCellText(painter, m_model.ValueTextRect(cell.row, cell.column), cell.text);
}

void CDataGridView::DrawSelection(QPainter& painter) const
{
    const UINT row = m_model.SelectedRow();
    const UINT column = m_model.SelectedColumn();
    const QRect inner = m_model.InnerCellRect(row, column);
    const QColor highlightText = SystemColor(this, QPalette::HighlightedText);
    painter.fillRect(inner, SystemColor(this, QPalette::Highlight));
    painter.setFont(font());
    painter.setPen(highlightText);
    if (const QString* text = m_model.FindValueText(row, column))
        DrawCellText(painter, m_model.ValueTextRect(row, column), *text);
    if (inner.width() > 1 && inner.height() > 1) {
        painter.setPen(QPen(highlightText, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(inner.adjusted(0, 0, -1, -1));
    }
}

void CDataGridView::paintEvent(QPaintEvent*)
{
    if (m_layoutDirty || static_cast<int>(m_model.CellHeight()) != FontCellHeight())
        ApplyLayout();
    if (m_contentDirty) {
        m_contentDirty = false;
        DrawCells();
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_cache);
    if (m_selectionEnabled && hasFocus())
        DrawSelection(painter);
}

void CDataGridView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (m_selectionEnabled) {
        const QPoint point = event->position().toPoint();
        const std::optional<GridCell> cell = m_model.CellAt(point.x(), point.y());
        if (cell && m_model.IsSelectable(cell->row, cell->column)) {
            m_model.SetSelection(cell->row, cell->column);
            BeginEdit(0);
        }
    }
    event->accept();
}

void CDataGridView::keyPressEvent(QKeyEvent* event)
{
    // Keys that the in-place editors (our children) pass on are not ours.
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        BeginEdit(0);
        return;
    case Qt::Key_Left:
        MoveLeft();
        return;
    case Qt::Key_Up:
        MoveUp();
        return;
    case Qt::Key_Right:
        MoveRight();
        return;
    case Qt::Key_Down:
        MoveDown();
        return;
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        event->ignore();
        return;
    default:
        break;
    }
    char32_t character = 0;
    if (IsEditCharacter(event, character)) {
        BeginEdit(character);
        return;
    }
    event->ignore();
}

void CDataGridView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void CDataGridView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void CDataGridView::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::PaletteChange:
        m_contentDirty = true;
        update();
        break;
    case QEvent::FontChange:
        // The cell height follows the font; resize now rather than in a paint.
        ApplyLayout();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

bool CDataGridView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<GridTool> tool = OnToolHitTest(help->pos());
        const QString text = tool ? GetToolTipText(tool->id).value_or(QString()) : QString();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this, tool->rect);
        return true;
    }
    return QWidget::event(event);
}
