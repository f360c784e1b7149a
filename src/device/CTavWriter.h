#pragma once
// The device writer: sends what a read mask names ("qv.setup", "qv.system", "qv.prti" and
// every part's patch or rhythm set) as one data set per leaf block. GUI thread only.

#include <cstdint>

#include "device/CTavDeviceBindings.h"
#include "midi/CTavMidiReader.h"

class CTavBufferManager;
class ITavProgress;

namespace Brio {

class ITavPartEntities;

class CTavWriter : public CTavMidiWriter {
public:
    explicit CTavWriter(CTavBufferManager& buffers, ITavClock& clock = TavSystemClock());

    void SetProgress(ITavProgress* progress) { m_progress = progress; }
    void SetPartEntities(const ITavPartEntities* parts) { m_parts = parts; }

    // Sends the structs of the mask's bits 0x1, 0x2, 0x4, 0x8 and 0x40000 in that order,
    // one step per block. False when a struct is missing, a part plays neither a patch nor
    // a rhythm set, or the output is not set.
    bool SendBlocks(uint32_t mask);

private:
    bool SendStruct(CTavStruct* structure);

    CTavDeviceBindings m_bound;
    ITavProgress* m_progress = nullptr;
    const ITavPartEntities* m_parts = nullptr;
};

} // namespace Brio
