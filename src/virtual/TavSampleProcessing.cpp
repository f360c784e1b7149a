#include "virtual/TavSampleProcessing.h"

#include <aubio/aubio.h>
#include <rubberband/RubberBandStretcher.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

int16_t Clip(double value) {
    return static_cast<int16_t>(std::clamp(std::lround(value), -32768L, 32767L));
}

template <typename F> void ForEachChannel(TavAudio& audio, F&& f) {
    f(audio.left);
    if (audio.Stereo())
        f(audio.right);
}

// Both channels mixed to one, as floats of full scale 1.
std::vector<float> Mono(const TavAudio& audio) {
    std::vector<float> mono(audio.left.size());
    for (size_t i = 0; i < mono.size(); ++i) {
        const float l = audio.left[i] / 32768.0f;
        mono[i] = audio.Stereo() ? (l + audio.right[i] / 32768.0f) / 2 : l;
    }
    return mono;
}

void ClampRange(const TavAudio& audio, uint32_t& from, uint32_t& to) {
    to = std::min(to, audio.Frames());
    from = std::min(from, to);
}

} // namespace

TavAudio TavCutAudio(const TavAudio& audio, uint32_t from, uint32_t to) {
    ClampRange(audio, from, to);
    TavAudio cut;
    cut.left.assign(audio.left.begin() + from, audio.left.begin() + to);
    if (audio.Stereo())
        cut.right.assign(audio.right.begin() + from, audio.right.begin() + to);
    return cut;
}

int32_t TavPeak(const TavAudio& audio) {
    int32_t peak = 0;
    for (const auto* channel : {&audio.left, &audio.right})
        for (int16_t s : *channel)
            peak = std::max(peak, std::abs(static_cast<int32_t>(s)));
    return peak;
}

void TavNormalize(TavAudio& audio) {
    const int32_t peak = TavPeak(audio);
    if (peak == 0)
        return;
    const double gain = 32767.0 / peak;
    ForEachChannel(audio, [&](std::vector<int16_t>& channel) {
        for (int16_t& s : channel)
            s = Clip(s * gain);
    });
}

void TavEmphasis(TavAudio& audio, bool deEmphasis) {
    // H(s) = (1 + s t1) / (1 + s t2) lifts the highs; de-emphasis swaps the two.
    double t1 = 50e-6, t2 = 15e-6;
    if (deEmphasis)
        std::swap(t1, t2);
    const double k = 2.0 * CVirtualSampleMemory::kSampleRate;
    const double a0 = 1 + k * t2;
    const double b0 = (1 + k * t1) / a0, b1 = (1 - k * t1) / a0, a1 = (1 - k * t2) / a0;
    ForEachChannel(audio, [&](std::vector<int16_t>& channel) {
        double x1 = 0, y1 = 0;
        for (int16_t& s : channel) {
            const double x = s;
            const double y = b0 * x + b1 * x1 - a1 * y1;
            x1 = x;
            y1 = y;
            s = Clip(y);
        }
    });
}

void TavAmpEnvelope(TavAudio& audio, std::vector<TavAmpPoint> points) {
    if (points.empty())
        return;
    std::stable_sort(points.begin(), points.end(),
                     [](const TavAmpPoint& a, const TavAmpPoint& b) { return a.frame < b.frame; });
    auto gainAt = [&](size_t frame) {
        if (frame <= points.front().frame)
            return points.front().percent / 100.0;
        for (size_t i = 1; i < points.size(); ++i)
            if (frame < points[i].frame) {
                const TavAmpPoint& a = points[i - 1];
                const TavAmpPoint& b = points[i];
                const double t = static_cast<double>(frame - a.frame) / (b.frame - a.frame);
                return (a.percent + t * (b.percent - a.percent)) / 100.0;
            }
        return points.back().percent / 100.0;
    };
    for (size_t i = 0; i < audio.left.size(); ++i) {
        const double gain = gainAt(i);
        audio.left[i] = Clip(audio.left[i] * gain);
        if (audio.Stereo())
            audio.right[i] = Clip(audio.right[i] * gain);
    }
}

bool TavTimeStretch(const TavAudio& audio, double ratio, int type, TavAudio& out, std::string& why) {
    using Stretcher = RubberBand::RubberBandStretcher;
    if (!(ratio >= 0.25 && ratio <= 4.0)) {
        why = "the stretch ratio is out of range";
        return false;
    }
    const size_t frames = audio.left.size();
    if (frames == 0 || frames * ratio > CVirtualSampleMemory::kMaxFrames) {
        why = frames == 0 ? "the sample is empty" : "the stretched sample would be too long";
        return false;
    }
    const size_t channels = audio.Stereo() ? 2 : 1;
    const Stretcher::Options transients = type <= 3   ? Stretcher::OptionTransientsSmooth
                                          : type <= 6 ? Stretcher::OptionTransientsMixed
                                                      : Stretcher::OptionTransientsCrisp;
    Stretcher stretcher(CVirtualSampleMemory::kSampleRate, channels,
                        Stretcher::OptionProcessOffline | transients | Stretcher::OptionChannelsTogether, ratio);
    stretcher.setDebugLevel(0);
    constexpr size_t kBlock = 4096;
    stretcher.setExpectedInputDuration(frames);
    stretcher.setMaxProcessSize(kBlock);

    std::vector<std::vector<float>> input(channels, std::vector<float>(kBlock));
    std::vector<std::vector<float>> output(channels, std::vector<float>(kBlock));
    const std::vector<int16_t>* source[2] = {&audio.left, &audio.right};
    std::vector<std::vector<int16_t>> result(channels);
    auto feed = [&](bool study) {
        for (size_t at = 0; at < frames; at += kBlock) {
            const size_t n = std::min(kBlock, frames - at);
            float* in[2] = {};
            for (size_t c = 0; c < channels; ++c) {
                for (size_t i = 0; i < n; ++i)
                    input[c][i] = (*source[c])[at + i] / 32768.0f;
                in[c] = input[c].data();
            }
            const bool final = at + n == frames;
            if (study)
                stretcher.study(in, n, final);
            else
                stretcher.process(in, n, final);
            if (study)
                continue;
            for (int available; (available = stretcher.available()) > 0;) {
                float* outs[2] = {};
                for (size_t c = 0; c < channels; ++c)
                    outs[c] = output[c].data();
                const size_t got = stretcher.retrieve(outs, std::min<size_t>(kBlock, static_cast<size_t>(available)));
                for (size_t c = 0; c < channels; ++c)
                    for (size_t i = 0; i < got; ++i)
                        result[c].push_back(Clip(output[c][i] * 32768.0));
            }
        }
    };
    feed(true);
    feed(false);
    if (result[0].empty() || result[0].size() > CVirtualSampleMemory::kMaxFrames) {
        why = "the stretch gave no usable audio";
        return false;
    }
    out.left = std::move(result[0]);
    out.right = channels == 2 ? std::move(result[1]) : std::vector<int16_t>{};
    return true;
}

std::vector<uint32_t> TavLevelPoints(const TavAudio& audio, int level, uint32_t from, uint32_t to, size_t count) {
    ClampRange(audio, from, to);
    const int32_t threshold = std::max(1, std::clamp(level, 1, 127) * 32767 / 127);
    // A rise counts after this long below the threshold, so one hit gives one point.
    constexpr uint32_t kQuiet = CVirtualSampleMemory::kSampleRate / 100;
    std::vector<uint32_t> points;
    uint32_t quiet = kQuiet; // the range's start counts as after a pause, and is no point
    for (uint32_t i = from; i < to && points.size() < count; ++i) {
        int32_t magnitude = std::abs(static_cast<int32_t>(audio.left[i]));
        if (audio.Stereo())
            magnitude = std::max(magnitude, std::abs(static_cast<int32_t>(audio.right[i])));
        if (magnitude < threshold) {
            ++quiet;
            continue;
        }
        if (quiet >= kQuiet && i > from)
            points.push_back(i);
        quiet = 0;
    }
    return points;
}

std::vector<uint32_t> TavBeatPoints(const TavAudio& audio, double minInterval, uint32_t from, uint32_t to,
                                    size_t count) {
    ClampRange(audio, from, to);
    constexpr uint_t kWindow = 1024, kHop = 256;
    std::vector<uint32_t> points;
    if (to - from < kWindow)
        return points;
    struct Free {
        void operator()(aubio_onset_t* o) const { del_aubio_onset(o); }
        void operator()(fvec_t* v) const { del_fvec(v); }
    };
    std::unique_ptr<aubio_onset_t, Free> onset(
        new_aubio_onset(const_cast<char*>("default"), kWindow, kHop, CVirtualSampleMemory::kSampleRate));
    std::unique_ptr<fvec_t, Free> in(new_fvec(kHop)), found(new_fvec(1));
    if (!onset || !in || !found)
        return points;
    aubio_onset_set_minioi_s(onset.get(), static_cast<smpl_t>(std::clamp(minInterval, 0.01, 10.0)));
    // An onset is confirmed a few hops late, and aubio drops it when that hop is silent: a
    // short hit followed by digital silence would never count. A dither far below any
    // sample's level (-100 dB) keeps the hops above the silence gate.
    aubio_onset_set_silence(onset.get(), -130);
    const std::vector<float> mono = Mono(audio);
    for (uint32_t at = from; at < to && points.size() < count; at += kHop) {
        for (uint_t i = 0; i < kHop; ++i)
            in->data[i] = (at + i < to ? mono[at + i] : 0.0f) + (i % 2 ? 1e-5f : -1e-5f);
        aubio_onset_do(onset.get(), in.get(), found.get());
        if (found->data[0] == 0)
            continue;
        // Onsets are counted from the range's start, moved back by the detection delay (which
        // underflows at the very start); one at or just after the start is no cut.
        const uint_t last = aubio_onset_get_last(onset.get());
        if (last > at - from + kHop)
            continue;
        const uint32_t frame = from + last;
        if (frame > from + kHop && frame < to && (points.empty() || frame > points.back()))
            points.push_back(frame);
    }
    return points;
}

std::vector<uint32_t> TavDividePoints(uint32_t from, uint32_t to, int parts, size_t count) {
    std::vector<uint32_t> points;
    if (to <= from || parts < 2)
        return points;
    const uint64_t length = to - from;
    for (int i = 1; i < parts && points.size() < count; ++i) {
        const uint32_t frame = from + static_cast<uint32_t>(length * static_cast<uint64_t>(i) / parts);
        if (frame > from && (points.empty() || frame > points.back()))
            points.push_back(frame);
    }
    return points;
}
