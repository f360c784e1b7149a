#include "device/CTavSampleEditor.h"

#include <algorithm>
#include <cstdio>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "device/CTavBufferAccessor.h"
#include "device/TavSampleWire.h"
#include "entity/CTavEntityRecords.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"

namespace Brio {

namespace {

template <class T> void AddOnce(std::vector<T*>& list, T* item) {
    if (item && std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

template <class T> void Remove(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

// Frames are 5 bytes of 7 bits on the wire.
constexpr int64_t kMaxFrame = (int64_t{1} << 35) - 1;

const char* const kMarkerPaths[] = {"com.utility.sample.sampleCommon.startIndex",
                                    "com.utility.sample.sampleCommon.loopIndex",
                                    "com.utility.sample.sampleCommon.endIndex"};

} // namespace

void CTavSampleEditor::AddWaveView(ITavWaveView* view) {
    AddOnce(m_views, view);
}
void CTavSampleEditor::RemoveWaveView(ITavWaveView* view) {
    Remove(m_views, view);
}
void CTavSampleEditor::AddSampleList(ITavSampleList* list) {
    AddOnce(m_lists, list);
}
void CTavSampleEditor::RemoveSampleList(ITavSampleList* list) {
    Remove(m_lists, list);
}

CTavValue* CTavSampleEditor::Value(std::string_view path) const {
    const auto& values = m_accessor.Bound().sampleValues;
    const auto found = values.find(path);
    return found == values.end() ? nullptr : found->second;
}

int32_t CTavSampleEditor::Raw(std::string_view path, int32_t fallback) const {
    const CTavValue* value = Value(path);
    return value ? value->GetRaw() : fallback;
}

void CTavSampleEditor::Notify(std::string_view path, int32_t raw) {
    m_accessor.Notify(Value(path), raw);
}

bool CTavSampleEditor::Send(std::string_view path, const std::vector<uint8_t>& bytes) {
    const CTavValue* value = Value(path);
    CTavWriter* writer = m_accessor.Writer();
    if (!value || !writer || !writer->Output())
        return false;
    return writer->SendData(static_cast<uint32_t>(value->AbsoluteRange().begin), bytes.data(), bytes.size());
}

// ---- Catalog --------------------------------------------------------------------------------

int32_t CTavSampleEditor::AreaOf(int32_t group) {
    return group == TavSampleGroup::User ? TavEntityArea::User
           : group == TavSampleGroup::Card ? TavEntityArea::Card
                                           : -1;
}

int32_t CTavSampleEditor::SampleKind(int32_t group, int32_t number) const {
    const int32_t area = AreaOf(group);
    if (area < 0 || number < 0)
        return TavSampleKind::None;
    const auto* sample = dynamic_cast<const CTavSampleInformation*>(
        &m_accessor.Entities().InformationOf({TavEntityType::Sample, area, 0, number}));
    if (!sample || sample->IsNull())
        return TavSampleKind::None;
    const int32_t kind = sample->Kind();
    return kind >= TavSampleKind::Mono && kind <= TavSampleKind::None ? kind : TavSampleKind::None;
}

bool CTavSampleEditor::RenameSample(int32_t group, int32_t number, const std::string& name) {
    const int32_t area = AreaOf(group);
    if (area < 0 || number < 0)
        return false;
    CTavEntityManager& entities = m_accessor.Entities();
    const auto* sample =
        dynamic_cast<const CTavSampleInformation*>(&entities.InformationOf({TavEntityType::Sample, area, 0, number}));
    if (!sample || sample->IsNull())
        return false;
    CTavSampleInformation renamed(*sample);
    renamed.SetName(name);
    entities.SetInformation({TavEntityType::Sample, area, 0, number}, renamed);
    if (number >= 1 && sample->Kind() != TavSampleKind::StereoRight)
        entities.SetInformation({TavEntityType::Patch, area == TavEntityArea::User ? TavEntityArea::UserSamplePatch
                                                                                    : TavEntityArea::CardSamplePatch,
                                 0, number - 1},
                                CCategoryInformation(name, TavEntityCategory::SamplePatch));
    return true;
}

void CTavSampleEditor::ForgetSample(int32_t group, int32_t number) {
    const int32_t area = AreaOf(group);
    if (area < 0 || number < 1)
        return;
    CTavEntityManager& entities = m_accessor.Entities();
    entities.SetInformation({TavEntityType::Sample, area, 0, number},
                            CTavSampleInformation("", TavSampleKind::None, 0, 0));
    entities.SetInformation({TavEntityType::Patch,
                             area == TavEntityArea::User ? TavEntityArea::UserSamplePatch
                                                         : TavEntityArea::CardSamplePatch,
                             0, number - 1},
                            CCategoryInformation("", TavEntityCategory::SamplePatch));
}

void CTavSampleEditor::MarkSampleInformation() {
    CTavValue* mark = m_accessor.Bound().sampleModifyMark;
    if (mark)
        m_accessor.Notify(mark, mark->GetRaw());
}

// ---- Exchanges ------------------------------------------------------------------------------

bool CTavSampleEditor::SelectSample(int32_t group, int32_t number) {
    if (group < 0 || group > 0x7F || number < 0 || number > 0x3FFF)
        return false;
    std::vector<uint8_t> bytes;
    TavPutSevenBits(bytes, group, 1);
    TavPutSevenBits(bytes, number, 2);
    return Send("com.utility.sampleEdit.select.sampleSelect", bytes);
}

bool CTavSampleEditor::RequestWave(int32_t group, int32_t number, int64_t firstFrame, int32_t framesPerPoint,
                                   int32_t count, std::vector<TavWavePoint>& points) {
    CTavReader* reader = m_accessor.Reader();
    if (!reader || !reader->Output() || group < 0 || group > 0x7F || number < 0 || number > 0x3FFF ||
        firstFrame < 0 || firstFrame > kMaxFrame || framesPerPoint < 1 || framesPerPoint > 0x1FFFFF || count < 1)
        return false;
    const TavWaveRequest request{group, number, firstFrame, framesPerPoint, std::min(count, kMaxWavePoints)};
    return reader->RequestWave(request, points);
}

bool CTavSampleEditor::CanExchange() {
    const CTavReader* reader = m_accessor.Reader();
    return reader && reader->CurrentState() == CTavMidiReader::kIdle && !m_accessor.IsBusy() &&
           !m_accessor.IsWaiting();
}

bool CTavSampleEditor::ShowSample(int32_t group, int32_t number) {
    CTavBufferManager* buffers = m_accessor.Buffers();
    if (!buffers)
        return false;
    if (SampleKind(group, number) == TavSampleKind::StereoRight && number > 0)
        --number;
    const int32_t right = SampleKind(group, number) == TavSampleKind::StereoLeft ? number + 1 : number;
    Notify("vs.sampleEdit.view.sampleGroupID", group);
    Notify("vs.sampleEdit.view.sampleNumberL", number);
    Notify("vs.sampleEdit.view.sampleNumberR", right);
    buffers->PublishPending();
    buffers->ClearPending();
    if (CTavReader* reader = m_accessor.Reader())
        reader->ClearFailure();
    if (RefreshSampleView(true))
        return true;
    // The message box says that the device did not answer; the error output says to what.
    CTavReader* reader = m_accessor.Reader();
    CTavSystem* system = m_accessor.System();
    if (reader && !reader->Failure().empty() && system && system->ErrorOutput())
        system->ErrorOutput()->Printf("Unable to show sample %d: %s\n", number, reader->Failure().c_str());
    return false;
}

bool CTavSampleEditor::RefreshSampleView(bool withWaves) {
    CTavReader* reader = m_accessor.Reader();
    if (!reader || !m_accessor.Buffers())
        return false;
    CTavWaitCursor wait(m_accessor);
    if (CTavValue* scrub = Value("vs.sampleEdit.view.scrubFrameId"); scrub && scrub->GetRaw() != 0) {
        m_accessor.Notify(scrub, std::min(scrub->Spec().minimum, scrub->Spec().maximum));
        Preview(0);
    }
    const int32_t number = Raw("vs.sampleEdit.view.sampleNumberL");
    const int32_t group = Raw("vs.sampleEdit.view.sampleGroupID");
    const int32_t kind = SampleKind(group, number);
    Notify("vs.sampleEdit.view.sampleState", kind);
    if (kind == TavSampleKind::None) {
        SelectSample(group, 0);
        m_accessor.Buffers()->PublishPending();
        // Nothing is asked for the empty entry, but the views drop what they showed (with
        // no sample they ask the device nothing) and the memory figures follow an Unload.
        if (withWaves)
            RequestViews();
        const bool ok = ReadMemory();
        m_accessor.Buffers()->PublishPending();
        return ok;
    }
    if (!SelectSample(group, number) || !reader->ReadBlocks(TavReadMask::Sample))
        return false;

    const CTavValue* end = Value("com.utility.sample.sampleCommon.absoluteEndIndex");
    int32_t upper = end ? end->GetRaw() : 0;
    if (end && upper == 0)
        upper = end->Spec().maximum;
    Notify("vs.sampleEdit.view.scrollRangeLo", 0);
    Notify("vs.sampleEdit.view.scrollRangeUp", upper);
    for (const char* path : {"vs.sampleEdit.view.viewRangeLo", "vs.sampleEdit.view.viewRangeUp"})
        if (const CTavValue* range = Value(path))
            Notify(path, std::clamp(range->GetRaw(), 0, std::max(upper, 0)));

    if (withWaves && !RequestViews())
        return false;
    const bool ok = ReadMemory();
    m_accessor.Buffers()->PublishPending();
    return ok;
}

bool CTavSampleEditor::RequestViews() {
    // A view may close while another waits for its data: each is looked up again.
    const std::vector<ITavWaveView*> views = m_views;
    for (bool overviews : {false, true})
        for (ITavWaveView* view : views)
            if (std::find(m_views.begin(), m_views.end(), view) != m_views.end() &&
                view->IsOverview() == overviews && !view->RequestWaveData())
                return false;
    return true;
}

bool CTavSampleEditor::ReadMemory() {
    CTavReader* reader = m_accessor.Reader();
    const CTavBoundTable& bound = m_accessor.Bound();
    if (!reader || !bound.sampleMemoryRemain || !bound.sampleMemoryWhole)
        return false;
    int64_t remain = 0, whole = 0;
    if (!reader->RequestMemory(bound.sampleMemoryRemain, remain))
        return false;
    Notify("vs.sampleEdit.view.remainMemory", static_cast<int32_t>(std::min<int64_t>(TavKilobytes(remain), INT32_MAX)));
    if (!reader->RequestMemory(bound.sampleMemoryWhole, whole))
        return false;
    Notify("vs.sampleEdit.view.wholeMemory", static_cast<int32_t>(std::min<int64_t>(TavKilobytes(whole), INT32_MAX)));
    return true;
}

bool CTavSampleEditor::ReadChopPoints() {
    CTavReader* reader = m_accessor.Reader();
    int32_t count = 0;
    if (!reader || !reader->RequestChopPointCount(count))
        return false;
    count = std::min(count, kMaxChopPoints);
    // The points read before a failed request are kept, and counted.
    int32_t read = 0;
    bool ok = true;
    char path[64];
    for (; read < count; ++read) {
        int64_t frame = 0;
        if (!reader->RequestChopPoint(read, frame)) {
            ok = false;
            break;
        }
        std::snprintf(path, sizeof path, "vs.sampleEdit.modify.chop.chopPoint[%d].frame", read);
        Notify(path, static_cast<int32_t>(std::min<int64_t>(frame, INT32_MAX)));
    }
    Notify("vs.sampleEdit.modify.chop.edit.chopPointCount", read);
    return ok;
}

bool CTavSampleEditor::Preview(int32_t mode, int64_t startFrame, int64_t endFrame) {
    if (mode < 0 || mode > 0x7F || startFrame > kMaxFrame || endFrame > kMaxFrame)
        return false;
    // Shown, never sent by itself: the message below carries the mode.
    if (CTavValue* shown = Value("com.utility.sampleEdit.preview.samplePreview"); shown && m_accessor.Buffers()) {
        m_accessor.Notify(shown, mode);
        m_accessor.Buffers()->ExcludeFromTransmission(*shown);
    }
    std::vector<uint8_t> bytes{static_cast<uint8_t>(mode)};
    if (startFrame >= 0)
        TavPutSevenBits(bytes, startFrame, 5);
    if (endFrame >= 0)
        TavPutSevenBits(bytes, endFrame, 5);
    return Send("com.utility.sampleEdit.preview.samplePreview", bytes);
}

// ---- Edits ----------------------------------------------------------------------------------

void CTavSampleEditor::MoveMarker(int32_t marker, int64_t frame) {
    CTavBufferManager* buffers = m_accessor.Buffers();
    if (!buffers || marker < TavSampleMarker::Start || marker > TavSampleMarker::End)
        return;
    CTavValue* value = Value(kMarkerPaths[marker]);
    if (!value)
        return;
    // Start <= loop <= end <= the sample's end.
    const int64_t lower = marker == TavSampleMarker::Start ? 0 : Raw(kMarkerPaths[marker - 1]);
    int64_t upper = Raw("com.utility.sample.sampleCommon.absoluteEndIndex");
    if (marker < TavSampleMarker::End)
        upper = std::min<int64_t>(upper, Raw(kMarkerPaths[marker + 1]));
    const int64_t clamped = std::clamp(frame, std::min(lower, upper), upper);
    buffers->WriteInteger(*value, static_cast<int32_t>(std::clamp<int64_t>(clamped, 0, INT32_MAX)));
    buffers->TransmitPending();
    buffers->PublishPending();
    buffers->ClearPending();
}

void CTavSampleEditor::Scrub(int32_t n) {
    CTavBufferManager* buffers = m_accessor.Buffers();
    if (!buffers)
        return;
    Notify("vs.sampleEdit.view.scrubFrameId", n);
    buffers->PublishPending();
    buffers->ClearPending();
    if (n >= 1 && n <= 3) {
        const int64_t half =
            (int64_t{Raw("vs.sampleEdit.view.viewRangeUp")} - Raw("vs.sampleEdit.view.viewRangeLo")) / 2;
        Preview(1, Raw(kMarkerPaths[n - 1]), std::max<int64_t>(half, 0));
    } else {
        Preview(0);
    }
}

bool CTavSampleEditor::SendChopPoint(int32_t index, int64_t frame) {
    if (index < 0 || index >= kMaxChopPoints || frame < 0 || frame > kMaxFrame)
        return false;
    std::vector<uint8_t> bytes{static_cast<uint8_t>(index)};
    TavPutSevenBits(bytes, frame, 5);
    return Send("com.utility.sampleEdit.modify.chopPoint", bytes);
}

bool CTavSampleEditor::ClearChopPoint(int32_t index) {
    if (index < 0 || index >= kMaxChopPoints)
        return false;
    return Send("com.utility.sampleEdit.modify.chopPointClear", {static_cast<uint8_t>(index)});
}

void CTavSampleEditor::CloseView() {
    if (CTavValue* scrub = Value("vs.sampleEdit.view.scrubFrameId"); scrub && scrub->GetRaw() != 0) {
        m_accessor.Notify(scrub, 0);
        Preview(0);
    }
    const CTavValue* request = m_accessor.Bound().pcModeRequest;
    CTavWriter* writer = m_accessor.Writer();
    if (request && writer && m_accessor.PortsReady()) {
        const uint8_t off = 0;
        writer->SendData(static_cast<uint32_t>(request->AbsoluteRange().begin), &off, 1);
    }
}

} // namespace Brio
