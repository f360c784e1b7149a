#include "device/CTavSampleEditor.h"

#include <algorithm>

#include "device/CTavBufferAccessor.h"

namespace Brio {

namespace {

template <class T> void AddOnce(std::vector<T*>& list, T* item) {
    if (item && std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

template <class T> void Remove(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

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

// The exchanges below are filled in by the sample editing model.
bool CTavSampleEditor::SelectSample(int32_t, int32_t) {
    return false;
}
bool CTavSampleEditor::RequestWave(int32_t, int32_t, int64_t, int32_t, int32_t, std::vector<TavWavePoint>&) {
    return false;
}
bool CTavSampleEditor::RefreshSampleView(bool) {
    return false;
}
bool CTavSampleEditor::ReadMemory() {
    return false;
}
bool CTavSampleEditor::ReadChopPoints() {
    return false;
}
bool CTavSampleEditor::Preview(int32_t, int64_t, int64_t) {
    return false;
}
void CTavSampleEditor::MoveMarker(int32_t, int64_t) {}
void CTavSampleEditor::Scrub(int32_t) {}
bool CTavSampleEditor::SendChopPoint(int32_t, int64_t) {
    return false;
}
bool CTavSampleEditor::ClearChopPoint(int32_t) {
    return false;
}

} // namespace Brio
