#pragma once
// The waveform views of the sample edit window. The base holds one (minimum, maximum)
// pair per screen column for each channel, requested from the device in chunks, maps
// frames and sample values to the screen, draws lanes, waveform, markers and the preview
// position, and edits by mouse what its mode edits: the start, loop and end markers
// (modes 0 and 1), the amp envelope (4) or the chop points (6). The sample view shows the
// visible range; the overview the whole sample with the visible range boxed. Open views
// register with the device layer so that a refresh reaches them.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/CTavSampleEditor.h"
#include "script/ITavResourceFactory.h"
#include "view/CTavControl.h"

namespace Brio {

// An 8-bit colour in the drawer's 16-bit components.
constexpr CTavGraphDrawer::Rgb16 TavRgb(int r, int g, int b) {
    return {uint16_t(r << 8), uint16_t(g << 8), uint16_t(b << 8)};
}

class CTavWaveDrawControl : public CTavControl, public ITavWaveView {
public:
    using Rgb16 = CTavGraphDrawer::Rgb16;
    static constexpr Rgb16 kWaveColor = TavRgb(43, 199, 178);
    static constexpr Rgb16 kLaneColor = TavRgb(71, 98, 91);
    static constexpr Rgb16 kMarkerColor = TavRgb(39, 255, 118);
    static constexpr Rgb16 kHighlightColor = TavRgb(255, 180, 54);
    static constexpr Rgb16 kPreviewColor = TavRgb(255, 0, 0);

    enum Mode : int32_t { kStartLoopEnd = 0, kStartLoopEndAlt = 1, kAmpEnvelope = 4, kChop = 6 };
    enum ChopEdit : int32_t { kChopMove = 0, kChopAdd = 1, kChopDelete = 2 };
    static constexpr int32_t kMaxBeatPoints = 100;
    // Markers the title strip holds (modes 0, 1 and 6), in pixels.
    static constexpr int32_t kTitleHeight = 8;
    // How near (in pixels) the mouse must come to pick a marker, chop or envelope point.
    static constexpr int32_t kHitDistance = 5;

    // The references by role; -1 when the script gives none.
    enum Role : int {
        kStart, kLoop, kEnd, kChopFrame, kChopPointId, kChopPreview, kPreviewFrame, kSamplePreview, kEnvMode,
        kA1, kA2, kA3, kA4, kR1, kR2, kR3, kR4,
        // The window state the view reads (fixed paths).
        kSampleNumber, kGroup, kSampleState, kDataScale, kDotSamples, kViewLo, kViewUp, kScrollLo, kScrollUp,
        kChopEditMode, kChopCount,
        kRoleCount
    };

    CTavWaveDrawControl();
    ~CTavWaveDrawControl() override;

    // The view's attributes, "mode", "useTipBar" and the role references by tag.
    bool Configure(TavItems& items) override;
    // Every reference must be an integer; the chop point frames and beat points found.
    bool Associate(CTavPanel* parent) override;
    bool Open() override;
    bool Close() override;
    void SetRect(const TavRect& rect) override;
    void Refresh() override;
    void Draw(CTavDrawInfo& info) override;
    // A press inside the plot takes the focus and the capture and begins a drag; a release
    // under capture ends it; moves hover, and drag under capture.
    bool OnMouse(const CTavMouseInfo& info) override;

    // ITavWaveView.
    bool IsOverview() const override { return false; }

    // Fills both channels from the device: frames from firstFrame, framesPerPoint frames
    // per column, in chunks of at most 117 columns; false when a request failed (what
    // arrived stays).
    virtual bool RequestWave(int32_t number, int32_t group, int64_t firstFrame, int32_t framesPerPoint);
    // The same for lo ... hi spread over the plot's columns.
    virtual bool RequestWaveRange(int32_t number, int32_t group, int64_t lo, int64_t hi);

    // A graphic telling the frames in view and the markers.
    void Describe(CTavControlDescription& description) const override;

    // ---- What the view shows ----------------------------------------------------------
    int32_t Mode() const { return m_mode; }
    bool UsesTipBar() const { return m_useTipBar; }
    int32_t Margin() const;
    // The plot's columns and area.
    int32_t PlotWidth() const;
    TavRect PlotRect() const;
    // One lane for a mono sample, two for stereo.
    std::vector<TavRect> Lanes() const;
    bool IsStereo() const;
    const std::vector<TavWavePoint>& Points(int channel) const { return m_points[channel]; }
    int64_t FirstFrame() const { return m_first; }
    int64_t LastFrame() const { return m_last; }
    int32_t FramesPerPoint() const { return m_framesPerPoint; }
    // Frame to screen x, and back (the frame under an x in the plot).
    int32_t FrameToX(int64_t frame) const;
    int64_t XToFrame(int32_t x) const;
    // A sample value to y in a lane, clipped to it.
    int32_t ValueToY(int32_t value, const TavRect& lane) const;
    // The vertical magnification (1 for the overview).
    virtual int32_t DataScale() const;
    // The chop point frames read now (count as read, at most 15).
    std::vector<int64_t> ChopFrames() const;
    // The envelope point of an index 0 ... 3 on the screen.
    TavPoint EnvelopePoint(int index) const;

protected:
    virtual void BeginDrag(const CTavMouseInfo& info);
    virtual void EndDrag(const CTavMouseInfo& info);
    virtual void Drag(const CTavMouseInfo& info);
    virtual void Hover(const CTavMouseInfo& info);
    // What the kind draws over the markers (the overview's box).
    virtual void DrawOverlay(CTavDrawInfo&) {}

    int32_t RawOf(int role, int32_t absent = 0) const;
    CTavValue* RoleValue(int role) const { return m_refs[role] < 0 ? nullptr : GetValue(m_refs[role]); }
    void FillLine(CTavDrawInfo& info, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgb16 color);
    CTavGraphDrawer* Drawer() const { return m_drawer.get(); }

    bool m_requesting = false;

private:
    bool RequestChannel(int channel, int32_t number, int32_t group);
    void DrawLanes(CTavDrawInfo& info, const std::vector<TavRect>& lanes);
    void DrawWave(CTavDrawInfo& info, const std::vector<TavWavePoint>& points, const TavRect& lane);
    void DrawMarkers(CTavDrawInfo& info);
    void VerticalMarker(CTavDrawInfo& info, int64_t frame, Rgb16 color, bool flag);
    int32_t Bottom() const;
    int32_t Top() const;

    // Editing by mode.
    void BeginChop(const CTavMouseInfo& info);
    void EndChop(const CTavMouseInfo& info);
    void BeginEnvelope(const CTavMouseInfo& info);
    void DragEnvelope(const CTavMouseInfo& info);
    int NearestChop(int32_t x) const;
    int32_t ChopMode() const { return RawOf(kChopEditMode); }
    void WriteRole(int role, int64_t raw);

    int32_t m_mode = -1;
    bool m_useTipBar = false;
    std::array<int, kRoleCount> m_refs;
    std::string m_chopFramePath;
    std::vector<int> m_chopRefs;
    // The beat points of the sample information, when the script has them.
    const CTavValue* m_beatCount = nullptr;
    std::vector<const CTavValue*> m_beatPoints;
    int64_t m_first = 0;
    int64_t m_last = 0;
    int32_t m_framesPerPoint = 1;
    std::array<std::vector<TavWavePoint>, 2> m_points;
    // What a drag moves: a marker, a chop index or an envelope point; -1 none.
    int m_dragTarget = -1;
    bool m_registered = false;
    std::unique_ptr<CTavGraphDrawer> m_drawer;
};

// The view of the visible range: on Refresh it follows "vs.sampleEdit.view.viewRangeLo"
// ... "viewRangeUp" and requests what it does not hold yet; the frames per column keep
// the upper end at lower end + plot width x "vs.sampleEdit.view.dotSamples".
class CTavSampleViewControl : public CTavWaveDrawControl {
public:
    std::string_view GetKind() const override { return "quasarSampleViewControl"; }
    void Refresh() override;
    bool RequestWaveData() override;

private:
    // Keeps the visible range's upper end at its lower end plus the plot's columns of
    // "vs.sampleEdit.view.dotSamples" frames, inside the scroll range.
    void FollowZoom();
    // What the data held were requested for: range, sample, group and sample kind.
    std::optional<std::array<int64_t, 5>> m_held;
    std::array<int64_t, 5> Wanted() const;
};

// The whole sample at scale 1, with the visible range as a box.
class CTavOverviewControl : public CTavWaveDrawControl {
public:
    static constexpr Rgb16 kRangeColor = kHighlightColor;

    std::string_view GetKind() const override { return "quasarOverviewControl"; }
    bool IsOverview() const override { return true; }
    bool RequestWaveData() override;
    int32_t DataScale() const override { return 1; }
    // The visible range in screen x, inside the plot.
    std::pair<int32_t, int32_t> RangeBox() const;

protected:
    void DrawOverlay(CTavDrawInfo& info) override;
};

} // namespace Brio
