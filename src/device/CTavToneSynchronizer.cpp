#include "device/CTavToneSynchronizer.h"

#include <algorithm>

#include "device/CTavBufferAccessor.h"
#include "model/CTavStruct.h"
#include "model/CTavValue.h"

namespace Brio::CDomain {

CToneSynchronizer::CToneSynchronizer(CTavBufferAccessor& accessor, ITavBufferHandler* clipper)
    : m_accessor(accessor), m_clipper(clipper) {
    for (int32_t part = 0; part < kTavPartCount; ++part) {
        m_patchTones[part] = MakePatchTones(part);
        for (int32_t key = 0; key < kTavRhythmToneCount; ++key)
            m_rhythmKeys[part][key] = MakeRhythmKey(part, key);
    }
}

// Bit i of the mask must select tone i, so a patch with a tone missing gets no synchroniser
// rather than one whose bits point at the wrong tones.
std::unique_ptr<CTavBufferSynchronizer> CToneSynchronizer::MakePatchTones(int32_t part) const {
    const CTavBoundTable& bound = m_accessor.Bound();
    CTavBufferManager* buffers = m_accessor.Buffers();
    if (!buffers || !bound.patchToneStateValue)
        return nullptr;
    auto sync = std::make_unique<CTavBufferSynchronizer>(*buffers);
    for (CTavStruct* tone : bound.patchTones[part])
        if (!tone || !sync->AddEntry(*tone))
            return nullptr;
    sync->SetMaskValue(bound.patchToneStateValue);
    sync->SetCopiesHandler(m_clipper);
    return sync;
}

// The four wave layers of a key share one leaf and are laid out alike: layer j runs from
// its wave switch to the next layer's. The last layer is as long as the one before it,
// which ends it where the key's own parameters after the layers begin.
std::unique_ptr<CTavBufferSynchronizer> CToneSynchronizer::MakeRhythmKey(int32_t part, int32_t key) const {
    const CTavBoundTable& bound = m_accessor.Bound();
    CTavBufferManager* buffers = m_accessor.Buffers();
    CTavStruct* leaf = bound.rhythmTones[part][key];
    if (!buffers || !bound.rhythmWmtStateValue || !leaf || !leaf->Bytes())
        return nullptr;
    std::array<int32_t, kTavLayerCount + 1> begins{};
    for (int32_t layer = 0; layer < kTavLayerCount; ++layer) {
        const CTavValue* waveSwitch = bound.wmtWaveSwitch[part][key][layer];
        if (!waveSwitch || waveSwitch->Parent() != leaf)
            return nullptr;
        begins[layer] = waveSwitch->Range().begin;
        if (layer > 0 && begins[layer] <= begins[layer - 1])
            return nullptr;
    }
    const int32_t size = static_cast<int32_t>(leaf->Bytes()->size());
    const int32_t last = kTavLayerCount - 1;
    begins[kTavLayerCount] = std::min(size, begins[last] + (begins[last] - begins[last - 1]));
    auto sync = std::make_unique<CTavBufferSynchronizer>(*buffers);
    for (int32_t layer = 0; layer < kTavLayerCount; ++layer)
        if (!sync->AddEntry(*leaf, TavRange{begins[layer], begins[layer + 1]}))
            return nullptr;
    sync->SetMaskValue(bound.rhythmWmtStateValue);
    sync->SetCopiesHandler(m_clipper);
    return sync;
}

const CTavBufferSynchronizer* CToneSynchronizer::PatchTones(int32_t part) const {
    return part >= 0 && part < kTavPartCount ? m_patchTones[part].get() : nullptr;
}

const CTavBufferSynchronizer* CToneSynchronizer::RhythmKey(int32_t part, int32_t key) const {
    if (part < 0 || part >= kTavPartCount || key < 0 || key >= kTavRhythmToneCount)
        return nullptr;
    return m_rhythmKeys[part][key].get();
}

CTavBufferSynchronizer* CToneSynchronizer::Current() const {
    const CTavBoundTable& bound = m_accessor.Bound();
    const int32_t part = m_accessor.CurrentPart();
    if (!bound.entityType || part < 0 || part >= kTavPartCount)
        return nullptr;
    switch (bound.entityType->GetRaw()) {
    case TavPartPlays::Patch:
        if (!bound.patchToneStateValue || IsSingleTone(bound.patchToneStateValue->GetRaw()))
            return nullptr;
        return m_patchTones[part].get();
    case TavPartPlays::RhythmSet: {
        if (!bound.rhythmWmtStateValue || IsSingleTone(bound.rhythmWmtStateValue->GetRaw()) ||
            !bound.rhythmTone)
            return nullptr;
        const int32_t key = bound.rhythmTone->GetRaw();
        return key >= 0 && key < kTavRhythmToneCount ? m_rhythmKeys[part][key].get() : nullptr;
    }
    default:
        return nullptr;
    }
}

bool CToneSynchronizer::AfterWrite(const TavValueList& values) {
    CTavBufferSynchronizer* sync = Current();
    return sync && !SpansSeveralTones(*sync, values) && sync->AfterWrite(values);
}

// A write that reaches into several tones at once (initialising or pasting a patch or a
// key) brings each tone its own contents; copying between them would make the tones alike.
bool CToneSynchronizer::SpansSeveralTones(const CTavBufferSynchronizer& sync, const TavValueList& values) {
    int32_t first = -1;
    for (const CTavValue* value : values) {
        const int32_t entry = value ? sync.EntryOf(*value) : -1;
        if (entry < 0)
            continue;
        if (first < 0)
            first = entry;
        else if (entry != first)
            return true;
    }
    return false;
}

} // namespace Brio::CDomain
