#pragma once
// Editing several tones at once. The tone pages select the tones an edit goes to with a
// bit mask: "vs.control.patchToneStateValue" for the four tones of a patch and
// "vs.control.rhythmWMTStateValue" for the four wave layers of a rhythm key. While more
// than one bit is set, an edit of a selected tone is copied to the same parameter of the
// other selected tones. Only the part shown ("vs.control.partId") and, for a rhythm set,
// the key shown ("vs.control.rhythmTone") take part. GUI thread only.

#include <array>
#include <memory>

#include "device/CTavBoundTable.h"
#include "model/CTavBufferSynchronizer.h"
#include "model/ITavBufferHandler.h"

namespace Brio {

class CTavBufferAccessor;

namespace CDomain {

class CToneSynchronizer : public ITavBufferHandler {
public:
    // Builds a synchroniser for each part's patch tones and for each rhythm key of each
    // part. A patch or key the script does not lay out completely gets none, and edits
    // there are not copied. The copies are shown to the clipper (not owned; may be null)
    // as a write of their own, so a copied range bound is kept within its range as the
    // edited one is.
    explicit CToneSynchronizer(CTavBufferAccessor& accessor, ITavBufferHandler* clipper = nullptr);

    // Copies a user edit to the other selected tones of the shown part's patch or shown
    // rhythm key; a write into several tones at once is left as it is. True when anything
    // was copied.
    bool AfterWrite(const TavValueList& values) override;

    // The synchronisers made (null where the layout was incomplete); for tests.
    const CTavBufferSynchronizer* PatchTones(int32_t part) const;
    const CTavBufferSynchronizer* RhythmKey(int32_t part, int32_t key) const;

    // Whether a mask edits one tone only: then nothing is copied.
    static bool IsSingleTone(int32_t mask) { return mask == 1 || mask == 2 || mask == 4 || mask == 8; }

private:
    std::unique_ptr<CTavBufferSynchronizer> MakePatchTones(int32_t part) const;
    std::unique_ptr<CTavBufferSynchronizer> MakeRhythmKey(int32_t part, int32_t key) const;
    // The synchroniser the current part context selects, or null.
    CTavBufferSynchronizer* Current() const;
    static bool SpansSeveralTones(const CTavBufferSynchronizer& sync, const TavValueList& values);

    CTavBufferAccessor& m_accessor;
    ITavBufferHandler* m_clipper;
    std::array<std::unique_ptr<CTavBufferSynchronizer>, kTavPartCount> m_patchTones;
    std::array<std::array<std::unique_ptr<CTavBufferSynchronizer>, kTavRhythmToneCount>, kTavPartCount>
        m_rhythmKeys;
};

} // namespace CDomain
} // namespace Brio
