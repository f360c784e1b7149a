#include "view/CTavPopEditControl.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "app/CTavTextOut.h"
#include "model/CTavValue.h"
#include "script/CTavTable.h"
#include "view/TavSetValue.h"
#include "view/TavValueText.h"

// --- CTavPopEditControl -----------------------------------------------------------------

bool CTavPopEditControl::Associate(CTavPanel* parent) {
    if (!CTavPopControl::Associate(parent))
        return ReportFailure("Unable to create edit. : %s\n");
    return CheckPlaces();
}

bool CTavPopEditControl::CheckPlaces() const {
    const TavPoint position = ConfiguredTextPosition();
    const TavPoint size = ConfiguredTextSize();
    const TavPoint button = ConfiguredButtonPosition();
    if (position.x < 0 || position.y < 0)
        return ReportFailure("Text position is invalid for edit. : %s\n");
    if (size.x <= 0 || size.y <= 0)
        return ReportFailure("Text size is invalid for edit. : %s\n");
    if (HasButton() && (button.x < 0 || button.y < 0))
        return ReportFailure("Button position is invalid for edit. : %s\n");
    return true;
}

bool CTavPopEditControl::RunEditBox(const TavRect&, std::string&) {
    return false;
}

void CTavPopEditControl::Pop() {
    if (!GetValue(0))
        return;
    const TavRect& text = TextRect();
    const TavPoint topLeft = ToScreen({text.left, text.top});
    const TavPoint bottomRight = ToScreen({text.right, text.bottom});
    std::string typed = GetText();
    if (RunEditBox({topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, typed))
        SetText(typed);
}

void CTavPopEditControl::SetText(const std::string& text) {
    CTavValue* value = GetValue(0);
    CTavBufferManager* buffers = BufferManager();
    if (!value || !buffers)
        return;
    if (value->Kind() == kTavKindString) {
        TavSetValueText(*buffers, *value,
                        TavTypedString(text, static_cast<size_t>(std::max(value->Size(), 0))));
        return;
    }
    if (value->Kind() != kTavKindInteger)
        return;
    if (const CTavStringTable* table = StringTable()) {
        // Text naming no entry is no choice: the value stays as it was.
        const std::optional<int32_t> index = TavTypedTableEntry(text, *table);
        const int32_t count = OfferedCount();
        if (index && count > 0)
            SetValueIndex(0, std::min(*index, count - 1));
        return;
    }
    const CTavValueSpec& spec = value->Spec();
    WriteNearestRaw(TavTypedInteger(text, OffsetValue(), spec.minimum, spec.maximum));
}

// --- CTavEditDoubleControl --------------------------------------------------------------

bool CTavEditDoubleControl::Configure(TavItems& items) {
    if (!CTavPopEditControl::Configure(items))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        const std::string& text = it->second;
        long number = 0;
        if (it->first == "precision") {
            if (!TavScanLong(text, number) || number < 0 || number > 15)
                return ReportFailure("%s precision is invalid. : %s\n", text);
            m_precision = static_cast<int32_t>(number);
        } else if (it->first == "divisionValue") {
            if (!TavScanLong(text, number) || number <= 0 || number > std::numeric_limits<int32_t>::max())
                return ReportFailure("%s divisionValue is invalid. : %s\n", text);
            m_divisionValue = static_cast<int32_t>(number);
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    return true;
}

bool CTavEditDoubleControl::Associate(CTavPanel* parent) {
    CTavTextOut* errors = ErrorOutput();
    auto fail = [errors](const char* message) {
        if (errors)
            errors->Write(message);
        return false;
    };
    if (!CTavPopControl::Associate(parent))
        return fail("Unable to create edit double control.\n");
    if (m_valueRefs.empty())
        return fail("There is no value reference.\n");
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger)
        return fail("value type is not integer.\n");
    return CheckPlaces();
}

std::string CTavEditDoubleControl::GetText() const {
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger)
        return {};
    return TavQuotientText(int64_t{value->GetRaw()} + OffsetValue(), m_divisionValue, m_precision);
}

void CTavEditDoubleControl::SetText(const std::string& text) {
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger)
        return;
    const CTavValueSpec& spec = value->Spec();
    WriteNearestRaw(TavTypedQuotient(text, m_divisionValue, OffsetValue(), spec.minimum, spec.maximum));
}
