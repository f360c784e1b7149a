#include "view/CTavTipBarOperator.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/CTavTextOut.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "script/CTavTable.h"
#include "view/CTavControl.h"
#include "view/CTavViewManager.h"
#include "view/ITavTipBar.h"

int CTavSingleTipBarOperator::Configure(TavItems& items) {
    auto fail = [this](const char* format, const std::string& text) {
        m_control.ReportFailure(format, text);
        return kConfigureFailed;
    };
    long useTipBar = 1;
    for (auto it = items.begin(); it != items.end();) {
        const std::string& text = it->second;
        if (it->first == "useTipBar") {
            if (!TavScanLong(text, useTipBar))
                return fail("Use tip bar description is invalid. : %s : %s\n", text);
            if (useTipBar != 0 && useTipBar != 1)
                return fail("Use tip bar value must be 0 or 1. : %s : %s\n", text);
        } else if (it->first == "offsetValue") {
            long offset = 0;
            if (!TavScanLong(text, offset))
                return fail("Offset value is invalid for tip bar. : %s : %s\n", text);
            m_offsetValue = static_cast<int32_t>(offset);
        } else if (it->first == "stringTableRef") {
            CTavViewManager* manager = m_control.ViewManager();
            CTavResourceManager* resources = manager ? manager->ResourceManager() : nullptr;
            m_stringTable = resources ? resources->FindStringTable(text) : nullptr;
            if (!m_stringTable)
                return fail("Unable to find string table for tip bar. : %s : %s\n", text);
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    return useTipBar ? kTipBarWanted : kTipBarNotWanted;
}

bool CTavSingleTipBarOperator::Associate() {
    if (!m_stringTable)
        return true;
    const CTavValue* value = m_control.GetValue(0);
    if (value && value->Kind() == kTavKindInteger)
        return true;
    if (CTavTextOut* errors = m_control.Errors())
        errors->Printf(
            "Referred value type must be integer when string table is referred for tip bar. : %s\n",
            m_control.Path().c_str());
    return false;
}

void CTavSingleTipBarOperator::SetFocus(bool focus) {
    ITavTipBar* tipBar = m_control.TipBar();
    if (!tipBar)
        return;
    if (focus) {
        const TavRect& rect = m_control.Rect();
        tipBar->SetAnchor(m_control.ToScreen({rect.left, rect.bottom}));
        tipBar->MarkChanged();
        Refresh();
    }
    tipBar->Show(focus);
}

void CTavSingleTipBarOperator::Refresh() {
    ITavTipBar* tipBar = m_control.TipBar();
    const CTavValue* value = m_control.GetValue(0);
    if (!tipBar || !value || !m_control.HasFocus())
        return;
    std::string text;
    if (value->Kind() == kTavKindString) {
        text = value->GetText();
    } else if (m_stringTable) {
        if (m_stringTable->Count() > 0)
            text = m_stringTable->ElementAt(std::clamp(value->GetPosition(), 0, m_stringTable->Count() - 1));
    } else {
        text = std::to_string(value->GetRaw() + m_offsetValue);
    }
    tipBar->SetLines({std::move(text)});
}
