#include "device/CTavContextHandlers.h"

#include <bitset>

#include "device/CTavBufferAccessor.h"
#include "midi/CTavMidiStruct.h"
#include "model/CTavValue.h"

namespace Brio {

CTavContextHandler::CTavContextHandler(CTavBufferAccessor& accessor) : m_accessor(accessor) {
    const CTavBoundTable& bound = accessor.Bound();
    for (int32_t part = 0; part < kTavPartCount; ++part)
        for (const CTavValue* value :
             {bound.partBankSelectMsb[part], bound.partBankSelectLsb[part], bound.partProgramNumber[part]})
            if (value)
                m_programValues.emplace(value, part);
}

bool CTavContextHandler::Handle(const TavValueList& values) {
    const CTavBoundTable& bound = m_accessor.Bound();
    std::bitset<kTavPartCount> parts;
    bool handled = false;
    for (const CTavValue* value : values) {
        if (!value)
            continue;
        if (value == bound.partId) {
            m_accessor.SetCurrentPart(value->GetRaw());
            handled = true;
        } else if (value == bound.entityType) {
            m_accessor.Notify(bound.entityType, value->GetRaw());
            handled = true;
        } else if (auto found = m_programValues.find(value); found != m_programValues.end()) {
            parts.set(static_cast<size_t>(found->second));
        }
    }
    for (int32_t part = 0; part < kTavPartCount; ++part)
        if (parts.test(static_cast<size_t>(part)))
            UpdatePart(part);
    return handled || parts.any();
}

void CTavContextHandler::UpdatePart(int32_t part) {
    const CTavBoundTable& bound = m_accessor.Bound();
    CTavEntityId id = m_accessor.PartEntityId(part);
    const auto playable = [](const CTavEntityId& entity) {
        return entity.type == TavEntityType::Patch || entity.type == TavEntityType::RhythmSet;
    };
    if (!playable(id) && m_accessor.ApplyEntity(part, {TavEntityType::Patch, 0, 0, 0}, false, false))
        id = m_accessor.PartEntityId(part);
    int32_t plays = TavPartPlays::Nothing;
    if (id.type == TavEntityType::Patch)
        plays = TavPartPlays::Patch;
    else if (id.type == TavEntityType::RhythmSet)
        plays = TavPartPlays::RhythmSet;
    m_accessor.Notify(bound.partEntityType[part], plays);
    if (part == m_accessor.CurrentPart() && bound.entityType && bound.entityType->GetRaw() != 0)
        m_accessor.ShowEntity(id);
    const CTavEntityManager::IInformation& information = m_accessor.Entities().InformationOf(id);
    if (!information.IsNull())
        m_accessor.Notify(bound.partCategoryType[part], information.Category());
}

CTavRhythmKeyIdHandler::CTavRhythmKeyIdHandler(CTavBufferAccessor& accessor) : m_accessor(accessor) {
    for (const CTavValue* note : accessor.Bound().notes)
        if (note)
            m_notes.insert(note);
}

bool CTavRhythmKeyIdHandler::AfterReceive(const TavValueList& values) {
    bool handled = false;
    for (const CTavValue* value : values) {
        if (!m_notes.count(value))
            continue;
        const auto* note = dynamic_cast<const CTavMidiNoteValue*>(value);
        if (!note || note->RecentNotes().empty())
            continue;
        const int last = note->RecentNotes().back();
        if (note->State(last) <= 0)
            continue;
        m_accessor.SetPendingRhythmKey(last - CTavBufferAccessor::kFirstRhythmNote);
        handled = true;
    }
    return handled;
}

} // namespace Brio
