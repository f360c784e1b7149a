#pragma once
// The part context's buffer handlers. The context handler keeps "vs.control" in step with
// the part mixer: what each part plays, its category, and what the shown part plays. The
// rhythm-key handler turns a note-on from the device into the rhythm key to select at the
// next idle pass.

#include <unordered_map>
#include <unordered_set>

#include "model/CTavLeafFilter.h"
#include "model/ITavBufferHandler.h"

namespace Brio {

class CTavBufferAccessor;

class CTavContextHandler : public ITavBufferHandler {
public:
    explicit CTavContextHandler(CTavBufferAccessor& accessor);

    bool AfterWrite(const TavValueList& values) override { return Handle(values); }
    bool AfterLoad(const TavValueList& values) override { return Handle(values); }
    bool AfterReceive(const TavValueList& values) override { return Handle(values); }

private:
    // A part's bank select or program number changed: its view state follows, falling
    // back to the first user patch when it plays neither a patch nor a rhythm set.
    bool Handle(const TavValueList& values);

    CTavBufferAccessor& m_accessor;
    // Each part's bank select MSB, LSB and program number, to its part.
    std::unordered_map<const CTavValue*, int32_t> m_programValues;
    CTavLeafFilter m_programLeaves;
};

class CTavRhythmKeyIdHandler : public ITavBufferHandler {
public:
    explicit CTavRhythmKeyIdHandler(CTavBufferAccessor& accessor);

    // A note-on that arrives, or that the on-screen keyboard plays, chooses its key.
    bool AfterReceive(const TavValueList& values) override;
    bool AfterWrite(const TavValueList& values) override { return AfterReceive(values); }

private:
    CTavBufferAccessor& m_accessor;
    std::unordered_set<const CTavValue*> m_notes;
    CTavLeafFilter m_noteLeaves;
};

} // namespace Brio
