#pragma once
// Part parameters the device also knows as MIDI control changes: each part's level (7),
// pan (10), coarse tune (85), reverb send (91) and auto sync switch (87), on the part's
// own MIDI channel. The channel's controller value ("qvMidi.ch[%d].cc[%d]") and the part
// parameter show the same setting: an edit of the parameter updates the controller value,
// and a control change from the device updates the parameter. GUI thread only.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "model/CTavLeafFilter.h"
#include "model/ITavBufferHandler.h"

namespace Brio {

class CTavBufferAccessor;

class CCCSynchronizer : public ITavBufferHandler {
public:
    // The auto sync switch: sent as 127 (on) or 0 (off), received as any non-zero value
    // switching on.
    static constexpr int kAutoSyncControl = 87;

    // One triple per part and control whose part value and controller value the script
    // both define.
    explicit CCCSynchronizer(CTavBufferAccessor& accessor);

    size_t TripleCount() const { return m_triples.size(); }

    // An edited part value sets its controller value, which is shown but not sent.
    bool AfterWrite(const TavValueList& values) override;
    // A received controller value sets its part value, clamped to the part value's range.
    bool AfterReceive(const TavValueList& values) override;

private:
    struct Triple {
        CTavValue* part;
        CTavValue* controller;
        int control;
    };

    CTavBufferAccessor& m_accessor;
    std::vector<Triple> m_triples;
    // The first triple of each part value and of each controller value: every edit passes
    // through here, so the triples are found by value, never by walking them.
    std::unordered_map<const CTavValue*, uint32_t> m_byPart;
    std::unordered_map<const CTavValue*, uint32_t> m_byController;
    CTavLeafFilter m_controllerLeaves;
};

} // namespace Brio
