#pragma once
// List controls: a header row over columns of text rows, a current row, a multiple
// selection with an anchor, keyboard navigation and automatic scrolling. The window onto
// the rows lives in values (first and last row, current row, first and last visible row),
// so the model and other controls can follow or drive it; a sixth value, when nonzero,
// hands the list the keyboard focus. Subclasses supply the rows' column texts.

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "view/CTavControl.h"
#include "view/TavRepeatTimer.h"

class CTavTextWriter;

class CTavListControl : public CTavControl {
public:
    // The value references, in this order.
    enum RowRef : int {
        kFirstRow = 0,
        kLastRow = 1,
        kCurrentRow = 2,
        kFirstVisibleRow = 3,
        kLastVisibleRow = 4,
        kActivate = 5,
    };
    // The text writers.
    enum Writer : int {
        kRowWriter,
        kCurrentWriter,
        kSelectWriter,
        kInactiveSelectWriter,
        kInactiveCurrentWriter,
        kHeaderWriter,
        kWriterCount
    };
    static constexpr int kFirstRepeatMs = 200;
    static constexpr int32_t kDefaultRowHeight = 16;
    // Bounds on what a script may ask for: columns, and rows that take texts at once.
    static constexpr size_t kMaxColumns = 64;
    static constexpr int32_t kMaxVisibleRows = 1024;

    CTavListControl();
    ~CTavListControl() override;

    std::string_view GetKind() const override { return "listControl"; }
    // The control's attributes, then "firstRowValueRef" ... "activateValueRef" (appended
    // as the value references when the control has no "valueRef"), the six text writers,
    // "headerTexts", "columnWidths" (every column but the last, which takes the rest of
    // the width) and "rowHeight".
    bool Configure(TavItems& items) override;
    // A row text writer and integer row values are required.
    bool Associate(CTavPanel* parent) override;
    bool Open() override;
    bool Close() override;
    // Then the activation: a nonzero activate value is set back to 0 at once (no
    // transaction) and the list takes the focus.
    bool OnValuesChanged(const CTavValueSet& changed) override;
    // Drops selected rows the rows no longer hold and takes the visible rows' texts.
    void Refresh() override;
    void Draw(CTavDrawInfo& info) override;
    // A press on a row selects (Shift: a range from the anchor, Ctrl: toggles), takes the
    // focus and the capture; a move under capture extends the selection and scrolls, and
    // keeps scrolling on the timer while the pointer is off the rows.
    bool OnMouse(const CTavMouseInfo& info) override;
    // While focused: Up, Down, Page Up, Page Down, Home and End move the current row
    // (Shift extends the selection from the anchor; Ctrl moves it and leaves the selection
    // alone). A held key repeats after kFirstRepeatMs, then at every timer event. Space
    // selects the current row alone, Ctrl+Space toggles it, so a Ctrl walk can pick rows.
    bool OnKey(const CTavKeyInfo& info) override;
    bool TakesKeyboardFocus() const override { return true; }
    bool OnTimer(const CTavTimerInfo& info) override;
    // Repaints, since the focus picks the writers; losing it ends a drag and a repeat.
    void SetFocus(bool focus) override;

    // The rows' values; 0 for a value that is not there.
    int32_t FirstRow() const { return RowValue(kFirstRow); }
    int32_t LastRow() const { return RowValue(kLastRow); }
    virtual int32_t CurrentRow() const { return RowValue(kCurrentRow); }
    virtual int32_t FirstVisibleRow() const { return RowValue(kFirstVisibleRow); }
    int32_t LastVisibleRow() const { return RowValue(kLastVisibleRow); }
    // Rows that fit the height, the header row included; rows below the header (at least 1).
    int32_t VisibleRowCount() const;
    int32_t BodyRowCount() const;

    // Selection.
    virtual void SelectRow(int32_t row);
    // Every row between from and to; from becomes the anchor.
    virtual void SelectRange(int32_t from, int32_t to);
    // Selects a row that was not selected (it becomes the anchor) or deselects it; true
    // when it is selected now.
    virtual bool ToggleRow(int32_t row);
    virtual void ClearSelection();
    // Writes the first visible row (with the last visible row that follows from it) and
    // the current row in one commit, each limited to the rows; true when anything changed.
    virtual bool SetFirstVisibleAndCurrentRow(int32_t firstVisible, int32_t current);

    const std::set<int32_t>& Selection() const { return m_selection; }
    bool IsSelected(int32_t row) const { return m_selection.count(row) != 0; }
    int32_t AnchorRow() const { return m_anchor; }
    int32_t RowHeight() const { return m_rowHeight; }
    const std::vector<std::string>& HeaderTexts() const { return m_headerTexts; }
    // Every column's width, the last one's included.
    const std::vector<int32_t>& ColumnWidths() const { return m_columnWidths; }
    CTavTextWriter* TextWriter(Writer writer) const { return m_writers[writer]; }
    // The column texts of the visible rows, from the first visible row on.
    const std::vector<std::vector<std::string>>& VisibleRowTexts() const { return m_rowTexts; }
    // A list telling its current row.
    void Describe(CTavControlDescription& description) const override;

protected:
    // The column texts of a row between the first and last row; false when it has none
    // (it draws empty cells). None in the base.
    virtual bool RowTexts(int32_t row, std::vector<std::string>& texts) const;
    // Told after every change of the selection.
    virtual void OnSelectionChanged() {}
    // While a held key or a drag outside the rows steps the list.
    bool IsRepeating() const { return m_repeat != Repeat::None; }
    // Writes the first and last row in one commit.
    bool SetRowRange(int32_t first, int32_t last);
    int32_t RowValue(int ref) const;

private:
    enum class Repeat { None, Mouse, Key };

    bool ConfigureLayout(bool hasHeaders, const std::string& headers, bool hasWidths, const std::string& widths);
    // The row under y, counted from the first visible row (above it for y over the header).
    int32_t RowAt(int32_t y) const;
    bool IsOnBodyRows(TavPoint point) const;
    void Press(const CTavMouseInfo& info);
    void DragTo(const CTavMouseInfo& info);
    // The row a navigation key moves the current row to; false for other keys.
    bool KeyTarget(int32_t code, int32_t& target) const;
    void Navigate(const CTavKeyInfo& info);
    void StopRepeat();
    void Activate();
    CTavTextWriter* WriterFor(int32_t row) const;

    std::array<CTavTextWriter*, kWriterCount> m_writers{};
    std::vector<std::string> m_headerTexts;
    std::vector<int32_t> m_columnWidths;
    int32_t m_rowHeight = kDefaultRowHeight;
    int m_activateRef = -1;
    std::set<int32_t> m_selection;
    int32_t m_anchor = -1;
    // The selection a press left, which a drag with Ctrl adds its range to.
    std::set<int32_t> m_pressSelection;
    std::vector<std::vector<std::string>> m_rowTexts;
    Repeat m_repeat = Repeat::None;
    CTavMouseInfo m_lastMouse;
    CTavKeyInfo m_lastKey;
    CTavRepeatTimer m_timer;
};

// A demonstration list for laying out panels: row r shows "r", "Test Item   r", "100"
// and "M".
class CTavProtoListControl : public CTavListControl {
public:
    std::string_view GetKind() const override { return "protoListControl"; }

protected:
    bool RowTexts(int32_t row, std::vector<std::string>& texts) const override;
};
