#include "device/TavWaveSource.h"

#include "device/CTavBufferAccessor.h"
#include "view/CTavControl.h"
#include "view/ITavTipBar.h"

namespace Brio {

namespace {

// The device layer's sample editor behind the source interface.
class CEditorSource : public ITavWaveSource {
public:
    bool RequestWave(int32_t group, int32_t number, int64_t firstFrame, int32_t framesPerPoint, int32_t count,
                     std::vector<TavWavePoint>& points) override {
        return Editor().RequestWave(group, number, firstFrame, framesPerPoint, count, points);
    }
    bool RefreshSampleView(bool withWaves) override { return Editor().RefreshSampleView(withWaves); }
    void MoveMarker(int32_t marker, int64_t frame) override { Editor().MoveMarker(marker, frame); }
    void Scrub(int32_t n) override { Editor().Scrub(n); }
    bool SendChopPoint(int32_t index, int64_t frame) override { return Editor().SendChopPoint(index, frame); }
    bool ClearChopPoint(int32_t index) override { return Editor().ClearChopPoint(index); }
    bool ReadChopPoints() override { return Editor().ReadChopPoints(); }
    void AddWaveView(ITavWaveView* view) override { Editor().AddWaveView(view); }
    void RemoveWaveView(ITavWaveView* view) override { Editor().RemoveWaveView(view); }
    bool CanExchange() override { return Editor().CanExchange(); }

private:
    static CTavSampleEditor& Editor() { return CTavBufferAccessor::Instance().SampleEditor(); }
};

CEditorSource g_editorSource;
ITavWaveSource* g_source = nullptr;

} // namespace

ITavWaveSource& TavWaveSource() {
    return g_source ? *g_source : g_editorSource;
}

void TavSetWaveSource(ITavWaveSource* source) {
    g_source = source;
}

bool TavTakeUseTipBar(TavItems& items, const CTavControl& control, bool& useTipBar) {
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "useTipBar") {
            ++it;
            continue;
        }
        long number = 0;
        if (!TavScanLong(it->second, number))
            return control.ReportFailure("Use tip bar description is invalid. : %s : %s\n", it->second);
        if (number != 0 && number != 1)
            return control.ReportFailure("Use tip bar value must be 0 or 1. : %s : %s\n", it->second);
        useTipBar = number == 1;
        it = items.erase(it);
    }
    return true;
}

bool TavTakeFlag(TavItems& items, const char* tag, const CTavControl& control, const char* format, bool& flag) {
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != tag) {
            ++it;
            continue;
        }
        long number = 0;
        const bool read = TavScanLong(it->second, number);
        if (format && (!read || (number != 0 && number != 1)))
            return control.ReportFailure(format, it->second);
        flag = read && number != 0;
        it = items.erase(it);
    }
    return true;
}

void TavShowMouseTip(const CTavControl& control, TavPoint point, std::string text) {
    ITavTipBar* tipBar = control.TipBar();
    if (!tipBar)
        return;
    tipBar->SetLines({std::move(text)});
    tipBar->SetAnchor(control.ToScreen(point));
    tipBar->SetOffset(kTavMouseTipOffset);
    tipBar->Show(true);
}

void TavHideMouseTip(const CTavControl& control) {
    if (ITavTipBar* tipBar = control.TipBar())
        tipBar->Show(false);
}

} // namespace Brio
