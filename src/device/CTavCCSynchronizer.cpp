#include "device/CTavCCSynchronizer.h"

#include "device/CTavBufferAccessor.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"

namespace Brio {

CCCSynchronizer::CCCSynchronizer(CTavBufferAccessor& accessor) : m_accessor(accessor) {
    const CTavBoundTable& bound = accessor.Bound();
    const std::pair<const CTavDeviceBindings::Values*, int> controls[] = {
        {&bound.partLevel, 7},
        {&bound.partPan, 10},
        {&bound.partCoarseTune, 85},
        {&bound.partReverbSendLevel, 91},
        {&bound.partAutoSyncSwitch, kAutoSyncControl},
    };
    for (int32_t part = 0; part < kTavPartCount; ++part) {
        for (const auto& [values, control] : controls) {
            CTavValue* value = (*values)[part];
            CTavValue* controller = bound.controllers[part][control];
            if (!value || !controller)
                continue;
            const auto index = static_cast<uint32_t>(m_triples.size());
            m_triples.push_back({value, controller, control});
            m_byPart.emplace(value, index);
            m_byController.emplace(controller, index);
            m_controllerLeaves.Watch(controller);
        }
    }
}

bool CCCSynchronizer::AfterWrite(const TavValueList& values) {
    CTavBufferManager* buffers = m_accessor.Buffers();
    if (!buffers || m_byPart.empty())
        return false;
    bool handled = false;
    for (CTavValue* value : values) {
        const auto found = m_byPart.find(value);
        if (found == m_byPart.end())
            continue;
        const Triple& triple = m_triples[found->second];
        int32_t raw = triple.part->GetRaw();
        if (triple.control == kAutoSyncControl)
            raw = raw != 0 ? 127 : 0;
        m_accessor.Notify(triple.controller, raw);
        // The device takes the edit as the part value's data set. Sending the control
        // change as well would apply the same change twice, so the controller value is
        // only shown: it stays out of this edit's transmission.
        buffers->ExcludeFromTransmission(*triple.controller);
        buffers->RecordChange(*triple.part);
        handled = true;
    }
    return handled;
}

bool CCCSynchronizer::AfterReceive(const TavValueList& values) {
    if (m_byController.empty())
        return false;
    bool handled = false;
    for (const CTavValue* value : values) {
        if (!value || !m_controllerLeaves.MayHold(value))
            continue;
        const auto found = m_byController.find(value);
        if (found == m_byController.end())
            continue;
        const Triple& triple = m_triples[found->second];
        // Notify clamps to the part value's range, so for the auto sync switch any
        // non-zero controller value switches on.
        m_accessor.Notify(triple.part, triple.controller->GetRaw());
        handled = true;
    }
    return handled;
}

} // namespace Brio
