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
            if (value) {
                m_programValues.emplace(value, part);
                m_programLeaves.Watch(value);
            }
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
        } else if (m_programLeaves.MayHold(value)) {
            if (auto found = m_programValues.find(value); found != m_programValues.end())
                parts.set(static_cast<size_t>(found->second));
        }
    }
    for (int32_t part = 0; part < kTavPartCount; ++part)
        if (parts.test(static_cast<size_t>(part)))
            m_accessor.RefreshPart(part, true);
    return handled || parts.any();
}

CTavRhythmKeyIdHandler::CTavRhythmKeyIdHandler(CTavBufferAccessor& accessor) : m_accessor(accessor) {
    for (const CTavValue* note : accessor.Bound().notes)
        if (note) {
            m_notes.insert(note);
            m_noteLeaves.Watch(note);
        }
}

bool CTavRhythmKeyIdHandler::AfterReceive(const TavValueList& values) {
    bool handled = false;
    for (const CTavValue* value : values) {
        if (!value || !m_noteLeaves.MayHold(value) || !m_notes.count(value))
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
