#pragma once
// What the waveform views and their scroll and zoom controls ask of the device layer: the
// sample editor's wave requests, refresh, marker, scrub and chop point operations and its
// registry of open views. The controls reach it through TavWaveSource(), which is the
// device layer's sample editor unless another source was installed (a test's fake).
// Also the small helpers those controls share: their "useTipBar" and "requestWave"
// attributes and the tip bar that follows the mouse.

#include <cstdint>
#include <string>
#include <vector>

#include "device/CTavSampleEditor.h"
#include "script/CTavElementDefinition.h"
#include "view/TavViewTypes.h"

class CTavControl;

namespace Brio {

class ITavWaveSource {
public:
    virtual ~ITavWaveSource() = default;
    virtual bool RequestWave(int32_t group, int32_t number, int64_t firstFrame, int32_t framesPerPoint,
                             int32_t count, std::vector<TavWavePoint>& points) = 0;
    virtual bool RefreshSampleView(bool withWaves) = 0;
    virtual void MoveMarker(int32_t marker, int64_t frame) = 0;
    virtual void Scrub(int32_t n) = 0;
    virtual bool SendChopPoint(int32_t index, int64_t frame) = 0;
    virtual bool ClearChopPoint(int32_t index) = 0;
    virtual bool ReadChopPoints() = 0;
    virtual void AddWaveView(ITavWaveView* view) = 0;
    virtual void RemoveWaveView(ITavWaveView* view) = 0;
    // Whether a view may ask for data of its own accord now: not while another exchange
    // waits or a command runs (the refresh that runs then asks every view afterwards).
    virtual bool CanExchange() { return true; }
};

// The source the controls use now.
ITavWaveSource& TavWaveSource();
// Installs a source; null goes back to the device layer's sample editor.
void TavSetWaveSource(ITavWaveSource* source);

// Takes "useTipBar" (0 or 1) out of items into useTipBar; false with the message.
bool TavTakeUseTipBar(TavItems& items, const CTavControl& control, bool& useTipBar);
// Takes a 0-or-1 flag by tag; text that does not read or another number fails with the
// format (path, text) when one is given, and reads as 0 without one.
bool TavTakeFlag(TavItems& items, const char* tag, const CTavControl& control, const char* format, bool& flag);

// The tip bar 5 pixels right of and 15 pixels above the mouse (root client point),
// showing the text; TavHideMouseTip hides it.
inline constexpr TavPoint kTavMouseTipOffset{5, -15};
void TavShowMouseTip(const CTavControl& control, TavPoint point, std::string text);
void TavHideMouseTip(const CTavControl& control);

} // namespace Brio
