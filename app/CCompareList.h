#pragma once
// The list of the parameter report: one row per catalogue parameter with its
// name (and group), the value text in the reference set and in the compared
// set; each row's state (equal, different, not applicable), the count of
// differences, and the cell colours.
//
// Grouped mode (the list's groups as headings): columns Name, PC, title.
// Ungrouped mode: Group, Name, PC, title.
#include "controls/CListCtrlInfoTip.h"

#include <QColor>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

class CSettings;

class CCompareList : public CListCtrlInfoTip
{
    Q_OBJECT
public:
    enum State { StateEqual = 0, StateDifferent = 1, StateNotApplicable = 2 };

    explicit CCompareList(QWidget* parent = nullptr);

    // Chooses the mode, clears the list, builds columns and rows (group and name texts).
    void SetupColumns();
    // Value columns, states, difference count, and a scroll to the first
    // difference. The compared column is filled and compared only when comparing.
    void Fill(const CSettings& reference, const CSettings& compared, bool comparing);
    void SetValueColumn(int column, const CSettings& settings);
    // Removes the rows that apply to neither set, and scrolls to the first
    // difference again.
    void RemoveEmptyRows();
    // The width at which the columns show their texts whole and no wider.
    int GetFittingWidth() const;

    // A lighter (dark colour) or darker (light colour) shade by factor.
    static QColor AdjustColor(const QColor& color, double factor);
    // Text and background colour of one cell.
    std::pair<QColor, QColor> GetCellColors(int row, int column) const;

    QString GetTitle() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }
    std::uint32_t GetDifferenceCount() const { return m_differenceCount; }
    bool IsGrouped() const { return m_grouped; }
    int GetReferenceColumn() const { return m_referenceColumn; }
    int GetComparedColumn() const { return m_comparedColumn; }
    // The item data of a row: group key (ordinal << 16) plus state.
    std::uint32_t GetItemData(int row) const;
    // The row the list scrolled to last (-1: none).
    int GetFirstDifferenceRow() const { return m_firstDifference; }

protected:
    // Groups are shown whenever the platform has them.
    virtual bool UseGroups() const;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetItemData(int row, std::uint32_t data);
    // The texts' widths, column by column (headings included).
    void MeasureTexts();
    std::vector<int> ColumnWidths(int available) const;
    void AdjustValueColumns();
    void NumberRows();
    void ScrollToFirstDifference();

    std::uint32_t m_differenceCount = 0;
    int m_referenceColumn = 1;
    int m_comparedColumn = 2;
    bool m_grouped = true;
    QString m_title;
    int m_firstDifference = -1;
    std::vector<int> m_textWidths;
};
