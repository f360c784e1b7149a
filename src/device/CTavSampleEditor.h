#pragma once
// The sample edit window's device side: the exchanges that select a sample, fetch its
// reduced waveform, memory figures and chop points, start and stop previews, and the
// edits of its markers and chop points. The waveform views and sample lists that are
// open register here, so a refresh reaches them and the sample commands find the
// selection. Owned by the device layer's root; GUI thread only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CTavValue;

namespace Brio {

class CTavBufferAccessor;

// One screen column of a waveform: the smallest and largest sample value it covers.
struct TavWavePoint {
    int16_t minimum = 0;
    int16_t maximum = 0;
    bool operator==(const TavWavePoint&) const = default;
};

// The markers of the shown sample, as the marker operation numbers them.
namespace TavSampleMarker {
inline constexpr int32_t Start = 0;
inline constexpr int32_t Loop = 1;
inline constexpr int32_t End = 2;
} // namespace TavSampleMarker

// The sample groups of "vs.sampleEdit.view.sampleGroupID".
namespace TavSampleGroup {
inline constexpr int32_t User = 2;
inline constexpr int32_t Card = 3;
} // namespace TavSampleGroup

// An open waveform view: a refresh asks it for its data.
class ITavWaveView {
public:
    virtual ~ITavWaveView() = default;
    // Overviews are asked after every other view.
    virtual bool IsOverview() const = 0;
    // Requests the view's wave data from the device; false when a request failed.
    virtual bool RequestWaveData() = 0;
};

// An open sample list: its selection is what Emphasis, Normalize and Unload work on.
class ITavSampleList {
public:
    virtual ~ITavSampleList() = default;
    // The selected sample numbers, ascending.
    virtual std::vector<int32_t> SelectedSamples() const = 0;
    virtual void ClearSelection() = 0;
    // Rebuilds rows, selection and current row for the sample group now selected.
    virtual void Resync() = 0;
};

class CTavSampleEditor {
public:
    static constexpr int32_t kMaxWavePoints = 117;
    static constexpr int kWaveTimeoutMs = 10000;
    static constexpr int32_t kMaxChopPoints = 15;

    explicit CTavSampleEditor(CTavBufferAccessor& accessor) : m_accessor(accessor) {}
    CTavSampleEditor(const CTavSampleEditor&) = delete;
    CTavSampleEditor& operator=(const CTavSampleEditor&) = delete;

    // ---- Open views and lists ------------------------------------------------------------
    void AddWaveView(ITavWaveView* view);
    void RemoveWaveView(ITavWaveView* view);
    void AddSampleList(ITavSampleList* list);
    void RemoveSampleList(ITavSampleList* list);
    // In the order they opened; the first is the one the commands use.
    const std::vector<ITavSampleList*>& SampleLists() const { return m_lists; }
    const std::vector<ITavWaveView*>& WaveViews() const { return m_views; }

    // ---- Exchanges with the device -----------------------------------------------------
    // A data set to "com.utility.sampleEdit.select.sampleSelect": the group byte and the
    // number in two bytes of 7 bits. False offline or when the script lacks the value.
    bool SelectSample(int32_t group, int32_t number);
    // Asks for count (at most kMaxWavePoints) points of frames-per-point frames each from
    // firstFrame and appends what the answer holds to points. False on no answer (code 4)
    // or when offline; the points that arrived stay.
    bool RequestWave(int32_t group, int32_t number, int64_t firstFrame, int32_t framesPerPoint, int32_t count,
                     std::vector<TavWavePoint>& points);
    // Selects the shown sample on the device, reads its information, clamps the view range
    // and, with waves, has every open view request its data; then reads the memory figures.
    bool RefreshSampleView(bool withWaves);
    // "vs.sampleEdit.view.remainMemory" and "wholeMemory" in kilobytes, rounded.
    bool ReadMemory();
    // The chop points of the shown sample into "vs.sampleEdit.modify.chop.chopPoint[%d].frame"
    // and the count into "vs.sampleEdit.modify.chop.edit.chopPointCount".
    bool ReadChopPoints();
    // Mode 0 stops; a frame of -1 is left out of the message.
    bool Preview(int32_t mode, int64_t startFrame = -1, int64_t endFrame = -1);

    // ---- Edits -------------------------------------------------------------------------
    // Moves a marker (TavSampleMarker) of the shown sample to the frame, kept inside the
    // sample and in start <= loop <= end order, as a user edit (sent to the device).
    void MoveMarker(int32_t marker, int64_t frame);
    // The scrub operation: n 1, 2, 3 previews from the start, loop or end marker; any
    // other n stops the preview.
    void Scrub(int32_t n);
    // A data set to "com.utility.sampleEdit.modify.chopPoint" (index, frame in 5 bytes).
    bool SendChopPoint(int32_t index, int64_t frame);
    // A data set to "com.utility.sampleEdit.modify.chopPointClear".
    bool ClearChopPoint(int32_t index);

    // A sample editing value by its absolute path ("vs.sampleEdit.view.dotSamples"); null
    // when the script lacks it.
    CTavValue* Value(std::string_view path) const;

    // ---- Catalog and window state ----------------------------------------------------------
    // The catalog's kind of a sample (TavSampleKind); None for a group other than user or
    // card and for a sample the catalog does not hold.
    int32_t SampleKind(int32_t group, int32_t number) const;
    // The catalog area of a sample group; -1 for another group.
    static int32_t AreaOf(int32_t group);
    // Gives the sample's catalog entries (the sample and the sample seen as a patch) a new
    // name, keeping kind and size; false when the catalog does not hold the sample.
    bool RenameSample(int32_t group, int32_t number, const std::string& name);
    // Empties the sample's catalog entries (no name, kind None, size 0).
    void ForgetSample(int32_t group, int32_t number);
    // Tells everything that lists samples that the catalog's sample information changed.
    void MarkSampleInformation();
    // The window closed: a preview stops and the device leaves PC mode.
    void CloseView();
    // Shows the sample: the left half of a stereo pair for its right half, the pair's
    // right number beside it, then the view refreshed with its waves. False when the
    // refresh failed.
    bool ShowSample(int32_t group, int32_t number);
    // Whether an exchange may start now: the layer has a reader, no request of it waits and
    // no command or procedure runs (a timer that fires while a transfer pumps the events
    // must not start another).
    bool CanExchange();

private:
    // Every open view asks for its data, the overviews last; false at the first that failed.
    bool RequestViews();
    // A data set of the bytes to the value's address; false offline or without the value.
    bool Send(std::string_view path, const std::vector<uint8_t>& bytes);
    int32_t Raw(std::string_view path, int32_t fallback = 0) const;
    void Notify(std::string_view path, int32_t raw);

    CTavBufferAccessor& m_accessor;
    std::vector<ITavWaveView*> m_views;
    std::vector<ITavSampleList*> m_lists;
};

} // namespace Brio
