#pragma once
// A wave source for the waveform controls' tests: it answers wave requests at once with as
// many points as asked (or fewer, when told), keeps chop points that a re-read copies into
// the script's values, and logs every call as text.

#include <algorithm>
#include <string>
#include <vector>

#include "device/TavWaveSource.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "view/TavSetValue.h"

namespace test {

class FakeWaveSource : public Brio::ITavWaveSource {
public:
    explicit FakeWaveSource(CTavBufferManager& buffers) : m_buffers(buffers) {}

    struct Request {
        int32_t group, number;
        int64_t first;
        int32_t perPoint, count;
        bool operator==(const Request&) const = default;
    };

    bool RequestWave(int32_t group, int32_t number, int64_t first, int32_t perPoint, int32_t count,
                     std::vector<Brio::TavWavePoint>& points) override {
        requests.push_back({group, number, first, perPoint, count});
        const int32_t given = shortAnswer >= 0 ? std::min(count, shortAnswer) : count;
        for (int32_t i = 0; i < given; ++i)
            points.push_back({int16_t(-1000 * (i % 8)), int16_t(1000 * (i % 8))});
        return answer;
    }
    bool RefreshSampleView(bool withWaves) override { return Log(withWaves ? "refresh waves" : "refresh"); }
    void MoveMarker(int32_t marker, int64_t frame) override { Log("marker " + std::to_string(marker) + " " + std::to_string(frame)); }
    void Scrub(int32_t n) override { Log("scrub " + std::to_string(n)); }
    bool SendChopPoint(int32_t index, int64_t frame) override {
        if (index >= static_cast<int32_t>(chops.size()))
            chops.push_back(frame);
        else
            chops[index] = frame;
        std::sort(chops.begin(), chops.end());
        return Log("chop " + std::to_string(index) + " " + std::to_string(frame));
    }
    bool ClearChopPoint(int32_t index) override {
        if (index >= 0 && index < static_cast<int32_t>(chops.size()))
            chops.erase(chops.begin() + index);
        return Log("clear " + std::to_string(index));
    }
    bool ReadChopPoints() override {
        for (size_t i = 0; i < chops.size(); ++i)
            TavSetValueInteger(m_buffers, *m_buffers.FindValue("vs.sampleEdit.modify.chop.chopPoint[" + std::to_string(i) + "].frame"),
                               static_cast<int32_t>(chops[i]));
        TavSetValueInteger(m_buffers, *m_buffers.FindValue("vs.sampleEdit.modify.chop.edit.chopPointCount"),
                           static_cast<int32_t>(chops.size()));
        return true;
    }
    void AddWaveView(Brio::ITavWaveView* view) override { views.push_back(view); }
    void RemoveWaveView(Brio::ITavWaveView* view) override { std::erase(views, view); }
    bool CanExchange() override { return !busy; }

    std::vector<Request> requests;
    std::vector<std::string> log;
    std::vector<int64_t> chops;
    std::vector<Brio::ITavWaveView*> views;
    int32_t shortAnswer = -1; // points per answer at most; -1 as many as asked
    bool answer = true;
    bool busy = false; // another exchange waits

private:
    bool Log(std::string line) {
        log.push_back(std::move(line));
        return true;
    }
    CTavBufferManager& m_buffers;
};

} // namespace test
