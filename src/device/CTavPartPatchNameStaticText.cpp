#include "device/CTavPartPatchNameStaticText.h"

#include <algorithm>
#include <cstdio>

#include "app/CTavSystem.h"
#include "device/CTavFunctionManager.h"
#include "device/TavControlCatalog.h"
#include "entity/CTavEntityBanks.h"
#include "entity/CTavEntityManager.h"
#include "model/CTavValue.h"
#include "script/ITavResourceFactory.h"

namespace Brio {

namespace {

std::string TrimmedRight(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.pop_back();
    return text;
}

int32_t RawOf(const CTavValue* value) {
    return value && value->Kind() == kTavKindInteger ? value->GetRaw() : -1;
}

} // namespace

void CTavPartPatchNameStaticText::SetCatalog(const CTavEntityManager* catalog) {
    TavSetControlCatalog(catalog);
}

const CTavEntityManager& CTavPartPatchNameStaticText::Catalog() {
    return TavControlCatalog();
}

std::string TavPartPatchName(const CTavEntityManager& catalog, int32_t msb, int32_t lsb, int32_t pc) {
    const CTavEntityId id = catalog.EntityIdOf(CTavProgramId{msb, lsb, pc});
    if (!id.IsValid())
        return "---";
    std::string name = TrimmedRight(catalog.InformationOf(id).Name());
    if (!name.empty())
        return name;
    // Known by its place only: the area's letter and the number from 1.
    char area = '?';
    switch (id.bank) {
    case TavEntityArea::User:
        area = 'U';
        break;
    case TavEntityArea::Card:
        area = 'C';
        break;
    case TavEntityArea::UserSamplePatch:
    case TavEntityArea::CardSamplePatch:
        area = 'S';
        break;
    case TavEntityArea::Internal:
        area = 'I';
        break;
    default:
        break;
    }
    const bool samples = area == 'S';
    char text[32];
    std::snprintf(text, sizeof text, samples ? "%c:%04ld" : "%c:%03ld", area,
                  static_cast<long>(id.subBank) * 128 * !samples + id.number + 1L);
    return text;
}

std::pair<std::string, std::string> TavSplitName(const std::string& name, size_t fits) {
    const std::string text = TrimmedRight(name);
    if (text.size() <= fits || text.size() < 2)
        return {text, std::string()};
    const size_t middle = text.size() / 2;
    size_t best = std::string::npos;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] != ' ')
            continue;
        const auto distance = [middle](size_t at) { return at > middle ? at - middle : middle - at; };
        if (best == std::string::npos || distance(i) < distance(best))
            best = i;
    }
    if (best == std::string::npos)
        return {text.substr(0, middle), text.substr(middle)};
    size_t end = best;
    while (end > 0 && text[end - 1] == ' ')
        --end;
    size_t start = best;
    while (start < text.size() && text[start] == ' ')
        ++start;
    return {text.substr(0, end), text.substr(start)};
}

bool CTavPartPatchNameStaticText::Configure(TavItems& items) {
    if (!CTavStaticTextControl::Configure(items))
        return false;
    std::string msb, lsb, pc;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "msbValueRef")
            msb = it->second;
        else if (it->first == "lsbValueRef")
            lsb = it->second;
        else if (it->first == "pcValueRef")
            pc = it->second;
        else if (it->first == "function")
            m_function = it->second;
        else if (it->first == "arguments")
            m_arguments = it->second;
        else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    if (msb.empty() || lsb.empty() || pc.empty())
        return ReportFailure("There is no value reference for part patch name text. : %s\n");
    m_msbRef = AddValueRef(msb);
    m_lsbRef = AddValueRef(lsb);
    m_pcRef = AddValueRef(pc);
    return true;
}

bool CTavPartPatchNameStaticText::Associate(CTavPanel* parent) {
    if (!CTavStaticTextControl::Associate(parent))
        return ReportFailure("Unable to create part patch name text. : %s\n");
    for (int ref : {m_msbRef, m_lsbRef, m_pcRef}) {
        const CTavValue* value = GetValue(ref);
        if (!value || value->Kind() != kTavKindInteger)
            return ReportFailure("Referred value must be integer for part patch name text. : %s\n");
    }
    return true;
}

void CTavPartPatchNameStaticText::Refresh() {
    const CTavEntityManager& catalog = Catalog();
    m_generation = catalog.Generation();
    m_name = TavPartPatchName(catalog, RawOf(GetValue(m_msbRef)), RawOf(GetValue(m_lsbRef)),
                              RawOf(GetValue(m_pcRef)));
}

void CTavPartPatchNameStaticText::Draw(CTavDrawInfo& info) {
    CTavTextWriter* writer = Format().textWriter;
    if (!writer || !info.Intersects(m_rect))
        return;
    const int32_t lineHeight = std::max<int32_t>(writer->Height(), 1);
    const int32_t height = m_rect.bottom - m_rect.top;
    const int32_t width = m_rect.right - m_rect.left;
    if (height < 2 * lineHeight) {
        writer->DrawText(info, m_rect, m_name);
        return;
    }
    // About six tenths of the font's height per character.
    const size_t fits = static_cast<size_t>(std::max<int32_t>(width * 10 / (lineHeight * 6), 1));
    const auto [first, second] = TavSplitName(m_name, fits);
    if (second.empty()) {
        writer->DrawText(info, m_rect, first);
        return;
    }
    TavRect top = m_rect;
    top.bottom = m_rect.top + height / 2;
    TavRect bottom = m_rect;
    bottom.top = top.bottom;
    writer->DrawText(info, top, first);
    writer->DrawText(info, bottom, second);
}

bool CTavPartPatchNameStaticText::OnMouse(const CTavMouseInfo& info) {
    // The function opens a menu as a rule, so only the press counts: a double click's
    // second press would open it again.
    if (!IsOpen() || !m_rect.Contains(info.point) || info.kind != CTavMouseInfo::kPressed)
        return false;
    if (!m_function.empty())
        CTavSystem::Instance().FunctionManager().Call(m_function, m_arguments);
    return true;
}

bool CTavPartPatchNameStaticText::OnKey(const CTavKeyInfo& info) {
    // The press alone acts (it holds no capture), so the key-up has nothing to end.
    return HasFocus() && !m_function.empty() && info.kind == CTavKeyInfo::kDown &&
           ClickByKey(info, true);
}

bool CTavPartPatchNameStaticText::OnTimer(const CTavTimerInfo&) {
    if (IsOpen() && Catalog().Generation() != m_generation) {
        Refresh();
        Invalidate();
    }
    return false;
}

} // namespace Brio
