#pragma once
// What the sample editor's time, tempo, frame and preview controls share: the sample
// operations they call (replaceable, so tests watch them), the edit box their pop-up edits
// open, and the pure conversions between the values and the texts the user sees and types.
// Typed text is hostile: every reader bounds its length and refuses what does not read,
// and the value is then kept.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "view/TavViewTypes.h"

class CTavBufferManager;
class CTavPopControl;
class CTavValue;
class CTavView;

namespace Brio {

// The sample editor's operations the controls use.
class ITavSampleOperations {
public:
    virtual ~ITavSampleOperations() = default;
    virtual void MoveMarker(int32_t marker, int64_t frame) = 0;
    virtual void Scrub(int32_t n) = 0;
    virtual bool Preview(int32_t mode, int64_t startFrame, int64_t endFrame) = 0;
    virtual bool SendChopPoint(int32_t index, int64_t frame) = 0;
};

// The device layer's sample editor, unless other operations were set.
ITavSampleOperations& TavSampleOperations();
// Null goes back to the device layer's editor.
void TavSetSampleOperations(ITavSampleOperations* operations);

// The edit box of the device's pop-up edits: none in the core (a pop then changes
// nothing); the editor binds its in-place box.
using TavEditBoxRunner = bool (*)(CTavPopControl& control, const TavRect& screenRect, std::string& text);
void TavSetDeviceEditBox(TavEditBoxRunner runner);
bool TavRunDeviceEditBox(CTavPopControl& control, const TavRect& screenRect, std::string& text);

template <class T> class CTavDeviceEdit : public T {
protected:
    bool RunEditBox(const TavRect& screenRect, std::string& text) override {
        return TavRunDeviceEditBox(*this, screenRect, text);
    }
};

// Typed text longer than this is refused unread.
inline constexpr size_t kTavTypedMaxLength = 64;

// The reference of the view written exactly as path, added when it has none; its index.
int TavFixedRef(CTavView& view, const char* path);

// ---- Time of a stretched sample: ratio r in 1/100000 over e frames at 44100 Hz --------

// "%03d'%02d\"%03d": minutes, seconds and milliseconds (rounded to nearest).
std::string TavStretchTimeText(int64_t endFrames, int64_t ratio);
// The stretched length in milliseconds, rounded.
int64_t TavStretchTimeMs(int64_t endFrames, int64_t ratio);
// The ratio giving ms milliseconds over the frames, rounded and limited to minimum ...
// maximum; nothing without frames.
std::optional<int32_t> TavRatioForTimeMs(int64_t endFrames, double ms, int32_t minimum, int32_t maximum);
// Reads "%d'%d\"%d" (minutes, seconds, milliseconds; exactly three numbers, blanks allowed
// before each and at the end) into milliseconds; nothing for any other text.
std::optional<double> TavReadStretchTime(std::string_view text);

// ---- Tempo of a stretched sample: own tempo b and the tempo range, both scaled by s ----

// b / (r x 0.00001) / s with precision digits after the point; empty for a ratio of 0.
std::string TavStretchTempoText(int64_t tempo, int64_t ratio, int32_t scale, int32_t precision);
// The ratio for the typed tempo: tempo x s limited to tempoMinimum ... tempoMaximum gives n,
// then b x 100000 / n rounded and limited to ratioMinimum ... ratioMaximum. Nothing when
// no number reads or n is not above 0.
std::optional<int32_t> TavTypedTempoRatio(std::string_view text, int64_t tempo, int32_t scale, int32_t tempoMinimum,
                                          int32_t tempoMaximum, int32_t ratioMinimum, int32_t ratioMaximum);

// A typed frame number: one decimal integer (blanks around it), limited to minimum ...
// maximum; nothing for any other text.
std::optional<int64_t> TavReadTypedFrame(std::string_view text, int64_t minimum, int64_t maximum);

// The beat point next to frame in the direction (above for a positive one, else below),
// walking the points from the last downward as the device keeps them ascending; nothing
// when none lies that way.
std::optional<int64_t> TavNextBeatPoint(const int32_t* points, int32_t count, int64_t frame, int32_t direction);

// Writes the raw integers as one write followed by the commit, whether or not a value
// holds its number already. Values are limited to their ranges.
void TavWriteAndCommit(CTavBufferManager& buffers, std::initializer_list<std::pair<CTavValue*, int64_t>> writes);

} // namespace Brio
