#include "view/CTavListControl.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string_view>

#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "script/CTavTable.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

constexpr const char* kRowRefTags[] = {"firstRowValueRef",        "lastRowValueRef",
                                       "currentRowValueRef",      "firstVisibleRowValueRef",
                                       "lastVisibleRowValueRef",  "activateValueRef"};
// The first five are needed to have rows at all.
constexpr int kRequiredRowRefs = 5;

struct CWriterTag {
    const char* tag;
    const char* missing;
};
constexpr CWriterTag kWriterTags[CTavListControl::kWriterCount] = {
    {"textWriterRef", "Unable to find text writer for list control. : %s : %s\n"},
    {"currentWriterRef", "Unable to find current text writer for list control. : %s : %s\n"},
    {"selectWriterRef", "Unable to find select text writer for list control. : %s : %s\n"},
    {"inactiveSelectWriterRef", "Unable to find inactive select text writer for list control. : %s : %s\n"},
    {"inactiveCurrentWriterRef", "Unable to find inactive current text writer for list control. : %s : %s\n"},
    {"headerWriterRef", "Unable to find header text writer for list control. : %s : %s\n"},
};

// The comma-separated pieces of a list attribute, blanks around each removed.
std::vector<std::string> SplitList(std::string_view text) {
    std::vector<std::string> pieces;
    for (size_t start = 0;;) {
        const size_t comma = text.find(',', start);
        std::string_view piece = text.substr(start, comma == std::string_view::npos ? comma : comma - start);
        while (!piece.empty() && static_cast<unsigned char>(piece.front()) <= ' ')
            piece.remove_prefix(1);
        while (!piece.empty() && static_cast<unsigned char>(piece.back()) <= ' ')
            piece.remove_suffix(1);
        pieces.emplace_back(piece);
        if (comma == std::string_view::npos)
            return pieces;
        start = comma + 1;
    }
}

int32_t FloorDiv(int64_t a, int32_t b) {
    const int64_t q = a / b;
    return static_cast<int32_t>((a % b != 0 && a < 0) ? q - 1 : q);
}

bool IsNavigationKey(int32_t code) {
    switch (code) {
    case kTavKeyUp:
    case kTavKeyDown:
    case kTavKeyPageUp:
    case kTavKeyPageDown:
    case kTavKeyHome:
    case kTavKeyEnd:
        return true;
    default:
        return false;
    }
}

} // namespace

CTavListControl::CTavListControl() = default;
CTavListControl::~CTavListControl() = default;

bool CTavListControl::Configure(TavItems& items) {
    if (!CTavControl::Configure(items))
        return false;
    std::array<std::string, std::size(kRowRefTags)> rowPaths;
    std::array<bool, std::size(kRowRefTags)> hasRowPath{};
    bool hasHeaders = false;
    bool hasWidths = false;
    std::string headers;
    std::string widths;
    CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr;
    for (auto it = items.begin(); it != items.end();) {
        const std::string& tag = it->first;
        bool taken = false;
        for (size_t i = 0; i < std::size(kRowRefTags) && !taken; ++i) {
            if (tag == kRowRefTags[i]) {
                rowPaths[i] = it->second;
                hasRowPath[i] = taken = true;
            }
        }
        for (int w = 0; w < kWriterCount && !taken; ++w) {
            if (tag != kWriterTags[w].tag)
                continue;
            m_writers[w] = resources ? resources->FindTextWriter(it->second) : nullptr;
            if (!m_writers[w])
                return ReportFailure(kWriterTags[w].missing, it->second);
            taken = true;
        }
        if (!taken && tag == "headerTexts") {
            headers = it->second;
            hasHeaders = taken = true;
        } else if (!taken && tag == "columnWidths") {
            widths = it->second;
            hasWidths = taken = true;
        } else if (!taken && tag == "rowHeight") {
            long height = 0;
            if (!TavScanLong(it->second, height) || height <= 0 || height > (1L << 16))
                return ReportFailure("Row height is invalid for list control. : %s : %s\n", it->second);
            m_rowHeight = static_cast<int32_t>(height);
            taken = true;
        }
        it = taken ? items.erase(it) : std::next(it);
    }
    if (m_valueRefs.empty()) {
        for (size_t i = 0; i < std::size(kRowRefTags); ++i) {
            if (hasRowPath[i])
                AddValueRef(rowPaths[i]);
            else if (static_cast<int>(i) < kRequiredRowRefs)
                return ReportFailure("There is no row value reference for list control. : %s : %s\n",
                                     kRowRefTags[i]);
            else
                break;
        }
    }
    m_activateRef = m_valueRefs.size() > static_cast<size_t>(kActivate) ? static_cast<int>(kActivate) : -1;
    return ConfigureLayout(hasHeaders, headers, hasWidths, widths);
}

bool CTavListControl::ConfigureLayout(bool hasHeaders, const std::string& headers, bool hasWidths,
                                      const std::string& widths) {
    m_headerTexts.clear();
    m_columnWidths.clear();
    if (hasHeaders)
        for (const std::string& text : SplitList(headers))
            m_headerTexts.push_back(TavDecodeEntities(text));
    else if (!hasWidths)
        m_headerTexts.emplace_back(); // one column without a heading
    if (hasWidths) {
        for (const std::string& text : SplitList(widths)) {
            int32_t width = 0;
            if (!TavParseDecimal(text, width) || width < 0)
                return ReportFailure("Column width is invalid for list control. : %s : %s\n", widths);
            m_columnWidths.push_back(width);
        }
    }
    if (m_columnWidths.size() + 1 != m_headerTexts.size() || m_headerTexts.size() > kMaxColumns)
        return ReportFailure("Column width count + 1 must be header string count for list control. : %s\n");
    int64_t rest = m_rect.Width();
    for (int32_t width : m_columnWidths)
        rest -= width;
    if (rest <= 0)
        return ReportFailure("Sum of column width must be less than control width. : %s\n");
    m_columnWidths.push_back(static_cast<int32_t>(rest));
    return true;
}

bool CTavListControl::Associate(CTavPanel* parent) {
    if (!CTavControl::Associate(parent))
        return ReportFailure("Unable to create list control. : %s\n");
    if (!m_writers[kRowWriter])
        return ReportFailure("There is no text writer reference for list control. : %s\n");
    for (int ref = 0; ref < kRequiredRowRefs; ++ref) {
        const CTavValue* value = GetValue(ref);
        if (!value || value->Kind() != kTavKindInteger)
            return ReportFailure("Row values must be integers for list control. : %s\n");
    }
    // Writers not given fall back: current and select to the row writer, the inactive
    // ones to their active counterparts, the header to the row writer.
    for (Writer w : {kCurrentWriter, kSelectWriter, kHeaderWriter})
        if (!m_writers[w])
            m_writers[w] = m_writers[kRowWriter];
    if (!m_writers[kInactiveSelectWriter])
        m_writers[kInactiveSelectWriter] = m_writers[kSelectWriter];
    if (!m_writers[kInactiveCurrentWriter])
        m_writers[kInactiveCurrentWriter] = m_writers[kCurrentWriter];
    return true;
}

bool CTavListControl::Open() {
    const bool resolved = CTavControl::Open();
    // The window values follow this list's height and rows from the start.
    SetFirstVisibleAndCurrentRow(FirstVisibleRow(), CurrentRow());
    Activate();
    return resolved;
}

bool CTavListControl::Close() {
    StopRepeat();
    return CTavControl::Close();
}

bool CTavListControl::OnValuesChanged(const CTavValueSet& changed) {
    if (!CTavControl::OnValuesChanged(changed))
        return false;
    Activate();
    return true;
}

void CTavListControl::Activate() {
    CTavValue* value = m_activateRef >= 0 ? GetValue(m_activateRef) : nullptr;
    if (!value || value->Kind() != kTavKindInteger || value->GetRaw() == 0)
        return;
    // Directly, so that nothing is sent or published: the request is the list's alone.
    value->SetRaw(0);
    SetFocus(true);
}

int32_t CTavListControl::RowValue(int ref) const {
    const CTavValue* value = GetValue(ref);
    return value && value->Kind() == kTavKindInteger ? value->GetRaw() : 0;
}

int32_t CTavListControl::VisibleRowCount() const {
    return std::max(0, m_rect.Height()) / m_rowHeight;
}

int32_t CTavListControl::BodyRowCount() const {
    return std::clamp(VisibleRowCount() - 1, 1, kMaxVisibleRows);
}

bool CTavListControl::RowTexts(int32_t, std::vector<std::string>&) const {
    return false;
}

void CTavListControl::Refresh() {
    const int32_t first = FirstRow();
    const int32_t last = LastRow();
    const size_t before = m_selection.size();
    std::erase_if(m_selection, [first, last](int32_t row) { return row < first || row > last; });
    if (m_anchor >= 0 && (m_anchor < first || m_anchor > last))
        m_anchor = -1;
    if (m_selection.size() != before)
        OnSelectionChanged();
    m_rowTexts.assign(static_cast<size_t>(BodyRowCount()), {});
    const int64_t top = FirstVisibleRow();
    for (size_t i = 0; i < m_rowTexts.size(); ++i) {
        const int64_t row = top + static_cast<int64_t>(i);
        if (row >= first && row <= last && !RowTexts(static_cast<int32_t>(row), m_rowTexts[i]))
            m_rowTexts[i].clear();
    }
}

CTavTextWriter* CTavListControl::WriterFor(int32_t row) const {
    const bool focused = HasFocus();
    if (row == CurrentRow())
        return m_writers[focused ? kCurrentWriter : kInactiveCurrentWriter];
    if (IsSelected(row))
        return m_writers[focused ? kSelectWriter : kInactiveSelectWriter];
    return m_writers[kRowWriter];
}

void CTavListControl::Draw(CTavDrawInfo& info) {
    if (!m_writers[kRowWriter] || !info.Intersects(m_rect))
        return;
    auto cellsOf = [this](int32_t top, auto&& draw) {
        int32_t left = m_rect.left;
        for (size_t c = 0; c < m_columnWidths.size(); ++c) {
            draw(c, TavRect{left, top, left + m_columnWidths[c], top + m_rowHeight});
            left += m_columnWidths[c];
        }
    };
    cellsOf(m_rect.top, [&](size_t c, const TavRect& cell) {
        const std::string text = c < m_headerTexts.size() ? m_headerTexts[c] : std::string();
        m_writers[kHeaderWriter]->DrawText(info, {cell.left, cell.top, cell.right - 2, cell.bottom - 1}, " " + text);
    });
    const int32_t first = FirstVisibleRow();
    for (size_t i = 0; i < m_rowTexts.size(); ++i) {
        const int32_t row = first + static_cast<int32_t>(i);
        const int32_t top = m_rect.top + m_rowHeight * static_cast<int32_t>(i + 1);
        CTavTextWriter* writer = WriterFor(row);
        const std::vector<std::string>& texts = m_rowTexts[i];
        cellsOf(top, [&](size_t c, const TavRect& cell) {
            writer->DrawText(info, cell, c < texts.size() ? " " + texts[c] : std::string());
        });
    }
}

// --- Selection and the window onto the rows --------------------------------------------

void CTavListControl::SelectRow(int32_t row) {
    m_selection = {row};
    m_anchor = row;
    OnSelectionChanged();
    Invalidate();
}

void CTavListControl::SelectRange(int32_t from, int32_t to) {
    m_selection.clear();
    for (int32_t row = std::min(from, to), end = std::max(from, to); row <= end; ++row)
        m_selection.insert(row);
    m_anchor = from;
    OnSelectionChanged();
    Invalidate();
}

bool CTavListControl::ToggleRow(int32_t row) {
    const bool selected = m_selection.erase(row) == 0;
    if (selected) {
        m_selection.insert(row);
        m_anchor = row;
    }
    OnSelectionChanged();
    Invalidate();
    return selected;
}

void CTavListControl::ClearSelection() {
    m_selection.clear();
    m_anchor = -1;
    OnSelectionChanged();
    Invalidate();
}

namespace {

// Writes the values that change, limited to their ranges, as one commit.
bool WriteRows(CTavBufferManager* buffers, std::initializer_list<std::pair<CTavValue*, int64_t>> writes) {
    TavIntegerWrites changed;
    for (const auto& [value, wanted] : writes) {
        if (!value || value->Kind() != kTavKindInteger)
            continue;
        const int32_t raw = static_cast<int32_t>(std::clamp<int64_t>(wanted, value->Spec().minimum,
                                                                      value->Spec().maximum));
        if (value->GetRaw() != raw)
            changed.emplace_back(value, raw);
    }
    if (!buffers || changed.empty())
        return false;
    buffers->WriteIntegers(changed);
    TavCommitPending(*buffers);
    return true;
}

} // namespace

bool CTavListControl::SetFirstVisibleAndCurrentRow(int32_t firstVisible, int32_t current) {
    const int32_t first = FirstRow();
    const int32_t last = std::max(first, LastRow());
    const int64_t top = std::clamp(firstVisible, first, last);
    const bool changed = WriteRows(BufferManager(), {{GetValue(kFirstVisibleRow), top},
                                                     {GetValue(kLastVisibleRow), top + BodyRowCount() - 1},
                                                     {GetValue(kCurrentRow), std::clamp(current, first, last)}});
    Invalidate();
    return changed;
}

bool CTavListControl::SetRowRange(int32_t first, int32_t last) {
    return WriteRows(BufferManager(), {{GetValue(kFirstRow), first}, {GetValue(kLastRow), last}});
}

// --- Mouse -----------------------------------------------------------------------------

int32_t CTavListControl::RowAt(int32_t y) const {
    return static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{FirstVisibleRow()} + FloorDiv(int64_t{y} - m_rect.top - m_rowHeight, m_rowHeight),
                            INT32_MIN, INT32_MAX));
}

bool CTavListControl::IsOnBodyRows(TavPoint point) const {
    const int64_t body = point.y - int64_t{m_rect.top} - m_rowHeight;
    return m_rect.Contains(point) && body >= 0 && body < int64_t{BodyRowCount()} * m_rowHeight;
}

bool CTavListControl::OnMouse(const CTavMouseInfo& info) {
    switch (info.kind) {
    case CTavMouseInfo::kPressed:
    case CTavMouseInfo::kDoubleClick:
        if (!m_rect.Contains(info.point))
            return false;
        Press(info);
        return true;
    case CTavMouseInfo::kMove:
        if (!m_captured)
            return false;
        // Off the rows the move is replayed at every timer event, so the list keeps
        // scrolling while the button is held still.
        if (IsOnBodyRows(info.point)) {
            m_repeat = Repeat::None;
        } else {
            m_repeat = Repeat::Mouse;
            m_lastMouse = info;
        }
        DragTo(info);
        return true;
    case CTavMouseInfo::kReleased:
        if (!m_captured)
            return false;
        Capture(false);
        if (m_repeat == Repeat::Mouse)
            m_repeat = Repeat::None;
        return true;
    }
    return false;
}

void CTavListControl::Press(const CTavMouseInfo& info) {
    if (!HasFocus())
        SetFocus(true);
    const int32_t row = RowAt(info.point.y);
    const int32_t first = FirstVisibleRow();
    if (!IsOnBodyRows(info.point) || row > LastRow())
        return;
    Capture(true);
    int32_t current = row;
    if (info.modifiers & kTavShift)
        SelectRange(m_selection.empty() || m_anchor < 0 ? row : m_anchor, row);
    else if (info.modifiers & kTavCtrl)
        current = ToggleRow(row) ? row : CurrentRow();
    else
        SelectRow(row);
    m_pressSelection = m_selection;
    SetFirstVisibleAndCurrentRow(first, current);
}

void CTavListControl::DragTo(const CTavMouseInfo& info) {
    const int32_t lastRow = LastRow();
    if (lastRow < FirstRow())
        return;
    const int32_t row = std::clamp(RowAt(info.point.y), FirstRow(), lastRow);
    const int32_t body = BodyRowCount();
    int32_t first = FirstVisibleRow();
    if (row < first)
        first = row;
    else if (row > first + body - 1)
        first = row - std::max(0, body - 2); // the row becomes the last but one shown
    // A pointer still on the current row changes nothing (a click's jitter keeps its
    // selection); otherwise the range from the anchor, added to what a Ctrl press kept.
    if (row != CurrentRow()) {
        const int32_t anchor = m_anchor >= 0 ? m_anchor : row;
        SelectRange(anchor, row);
        if (info.modifiers & kTavCtrl) {
            m_selection.insert(m_pressSelection.begin(), m_pressSelection.end());
            OnSelectionChanged();
        }
    }
    SetFirstVisibleAndCurrentRow(first, row);
}

// --- Keys and the timer ----------------------------------------------------------------

bool CTavListControl::KeyTarget(int32_t code, int32_t& target) const {
    const int64_t current = CurrentRow();
    const int64_t top = FirstVisibleRow();
    const int64_t bottom = top + BodyRowCount() - 1; // the last fully visible row
    const int64_t page = std::max(1, VisibleRowCount() - 2);
    int64_t wanted = current;
    switch (code) {
    case kTavKeyUp: wanted = current - 1; break;
    case kTavKeyDown: wanted = current + 1; break;
    case kTavKeyPageUp: wanted = current != top ? top : current - page; break;
    case kTavKeyPageDown: wanted = current != bottom ? bottom : current + page; break;
    case kTavKeyHome: wanted = FirstRow(); break;
    case kTavKeyEnd: wanted = LastRow(); break;
    default: return false;
    }
    target = static_cast<int32_t>(std::clamp<int64_t>(wanted, FirstRow(), std::max(FirstRow(), LastRow())));
    return true;
}

void CTavListControl::Navigate(const CTavKeyInfo& info) {
    int32_t target = 0;
    if (LastRow() < FirstRow() || !KeyTarget(info.code, target))
        return;
    // Ctrl moves the current row alone, so a selection can be walked past and kept.
    if (info.modifiers & kTavShift)
        SelectRange(m_anchor >= 0 ? m_anchor : CurrentRow(), target);
    else if (!(info.modifiers & kTavCtrl))
        SelectRow(target);
    const int32_t body = BodyRowCount();
    int32_t first = FirstVisibleRow();
    if (target < first)
        first = target;
    else if (target > first + body - 1)
        first = target - body + 1;
    SetFirstVisibleAndCurrentRow(first, target);
}

bool CTavListControl::OnKey(const CTavKeyInfo& info) {
    if (HasFocus() && info.code == kTavKeySpace) {
        const int32_t current = CurrentRow();
        if (info.kind == CTavKeyInfo::kDown && current >= FirstRow() && current <= LastRow()) {
            if (info.modifiers & kTavCtrl)
                ToggleRow(current);
            else
                SelectRow(current);
        }
        return true;
    }
    if (!HasFocus() || !IsNavigationKey(info.code))
        return false;
    if (info.kind == CTavKeyInfo::kUp) {
        if (m_repeat == Repeat::Key && m_lastKey.code == info.code)
            StopRepeat();
        return true;
    }
    // The platform's own key repeat is not needed: the timer repeats a held key.
    if (m_repeat == Repeat::Key && m_lastKey.code == info.code)
        return true;
    Navigate(info);
    m_repeat = Repeat::Key;
    m_lastKey = info;
    m_timer.Start(Clock(), kFirstRepeatMs);
    return true;
}

bool CTavListControl::OnTimer(const CTavTimerInfo&) {
    switch (m_repeat) {
    case Repeat::Key:
        // Once due, the timer stays due: one step at every timer event until key-up.
        if (!HasFocus() || !m_timer.Expired(Clock()))
            return false;
        Navigate(m_lastKey);
        return true;
    case Repeat::Mouse:
        if (!m_captured)
            return false;
        DragTo(m_lastMouse);
        return true;
    case Repeat::None:
        break;
    }
    return false;
}

void CTavListControl::StopRepeat() {
    m_repeat = Repeat::None;
    m_timer.Stop();
}

void CTavListControl::SetFocus(bool focus) {
    const bool had = HasFocus();
    CTavControl::SetFocus(focus);
    if (had == HasFocus())
        return;
    if (!focus) {
        StopRepeat();
        if (m_captured)
            Capture(false);
    }
    Invalidate();
}

// --- CTavProtoListControl --------------------------------------------------------------

bool CTavProtoListControl::RowTexts(int32_t row, std::vector<std::string>& texts) const {
    char number[16];
    char item[32];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(row));
    std::snprintf(item, sizeof item, "Test Item %3d", static_cast<int>(row));
    texts = {number, item, "100", "M"};
    return true;
}
