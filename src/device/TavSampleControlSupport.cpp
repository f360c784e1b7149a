#include "device/TavSampleControlSupport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "device/CTavBufferAccessor.h"
#include "device/CTavSampleEditor.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "view/CTavView.h"
#include "view/TavSetValue.h"
#include "view/TavValueText.h"

namespace Brio {

namespace {

constexpr double kFrameRate = 44100.0;
constexpr double kRatioUnit = 100000.0;

class CEditorOperations : public ITavSampleOperations {
public:
    void MoveMarker(int32_t marker, int64_t frame) override { Editor().MoveMarker(marker, frame); }
    void Scrub(int32_t n) override { Editor().Scrub(n); }
    bool Preview(int32_t mode, int64_t startFrame, int64_t endFrame) override {
        return Editor().Preview(mode, startFrame, endFrame);
    }
    bool SendChopPoint(int32_t index, int64_t frame) override { return Editor().SendChopPoint(index, frame); }

private:
    static CTavSampleEditor& Editor() { return CTavBufferAccessor::Instance().SampleEditor(); }
};

ITavSampleOperations* g_operations = nullptr;
TavEditBoxRunner g_editBox = nullptr;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// One "%d" of at most 9 digits at the front of text (blanks before it), consumed.
std::optional<int32_t> TakeInteger(std::string_view& text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    size_t used = 0;
    bool negative = false;
    if (used < text.size() && (text[used] == '+' || text[used] == '-'))
        negative = text[used++] == '-';
    const size_t digits = used;
    int32_t number = 0;
    while (used < text.size() && text[used] >= '0' && text[used] <= '9' && used - digits < 9)
        number = number * 10 + (text[used++] - '0');
    if (used == digits || (used < text.size() && text[used] >= '0' && text[used] <= '9'))
        return std::nullopt;
    text.remove_prefix(used);
    return negative ? -number : number;
}

bool TakeChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

int32_t Limited(double number, int32_t minimum, int32_t maximum) {
    if (!(number > minimum))
        return minimum;
    if (!(number < maximum))
        return maximum;
    return static_cast<int32_t>(std::llround(number));
}

} // namespace

ITavSampleOperations& TavSampleOperations() {
    static CEditorOperations editor;
    return g_operations ? *g_operations : editor;
}

void TavSetSampleOperations(ITavSampleOperations* operations) {
    g_operations = operations;
}

void TavSetDeviceEditBox(TavEditBoxRunner runner) {
    g_editBox = runner;
}

bool TavRunDeviceEditBox(CTavPopControl& control, const TavRect& screenRect, std::string& text) {
    return g_editBox && g_editBox(control, screenRect, text);
}

int TavFixedRef(CTavView& view, const char* path) {
    const int found = view.FindValueRef(std::string_view(path));
    return found >= 0 ? found : view.AddValueRef(path);
}

int64_t TavStretchTimeMs(int64_t endFrames, int64_t ratio) {
    const double seconds = static_cast<double>(endFrames) * static_cast<double>(ratio) / kRatioUnit / kFrameRate;
    return std::llround(seconds * 1000.0);
}

std::string TavStretchTimeText(int64_t endFrames, int64_t ratio) {
    const int64_t ms = std::max<int64_t>(TavStretchTimeMs(endFrames, ratio), 0);
    char text[48];
    std::snprintf(text, sizeof text, "%03lld'%02lld\"%03lld", static_cast<long long>(ms / 60000),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return text;
}

std::optional<int32_t> TavRatioForTimeMs(int64_t endFrames, double ms, int32_t minimum, int32_t maximum) {
    if (endFrames <= 0 || !std::isfinite(ms))
        return std::nullopt;
    return Limited(ms * 0.001 / static_cast<double>(endFrames) * kFrameRate * kRatioUnit, minimum, maximum);
}

std::optional<double> TavReadStretchTime(std::string_view text) {
    if (text.size() > kTavTypedMaxLength)
        return std::nullopt;
    const std::optional<int32_t> minutes = TakeInteger(text);
    if (!minutes || !TakeChar(text, '\''))
        return std::nullopt;
    const std::optional<int32_t> seconds = TakeInteger(text);
    if (!seconds || !TakeChar(text, '"'))
        return std::nullopt;
    const std::optional<int32_t> ms = TakeInteger(text);
    if (!ms || !Trimmed(text).empty())
        return std::nullopt;
    return (static_cast<double>(*minutes) * 60.0 + *seconds) * 1000.0 + *ms;
}

std::string TavStretchTempoText(int64_t tempo, int64_t ratio, int32_t scale, int32_t precision) {
    if (ratio == 0 || scale <= 0)
        return {};
    const double shown = static_cast<double>(tempo) / (static_cast<double>(ratio) / kRatioUnit) / scale;
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, shown, std::chars_format::fixed,
                                      std::clamp(precision, 0, 15));
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

std::optional<int32_t> TavTypedTempoRatio(std::string_view text, int64_t tempo, int32_t scale, int32_t tempoMinimum,
                                          int32_t tempoMaximum, int32_t ratioMinimum, int32_t ratioMaximum) {
    double typed = 0;
    if (text.size() > kTavTypedMaxLength || !TavReadLeadingDouble(text, typed))
        return std::nullopt;
    const double scaled = std::clamp(typed * scale, static_cast<double>(tempoMinimum), static_cast<double>(tempoMaximum));
    if (!(scaled > 0))
        return std::nullopt;
    return Limited(static_cast<double>(tempo) * kRatioUnit / scaled, ratioMinimum, ratioMaximum);
}

std::optional<int64_t> TavReadTypedFrame(std::string_view text, int64_t minimum, int64_t maximum) {
    if (text.size() > kTavTypedMaxLength)
        return std::nullopt;
    const std::optional<int32_t> frame = TakeInteger(text);
    if (!frame || !Trimmed(text).empty())
        return std::nullopt;
    return std::clamp<int64_t>(*frame, minimum, maximum);
}

std::optional<int64_t> TavNextBeatPoint(const int32_t* points, int32_t count, int64_t frame, int32_t direction) {
    std::optional<int64_t> next;
    for (int32_t i = count - 1; i >= 0; --i) {
        if (direction > 0) {
            if (points[i] <= frame)
                break;
            next = points[i];
        } else if (points[i] < frame) {
            return points[i];
        }
    }
    return next;
}

void TavWriteAndCommit(CTavBufferManager& buffers, std::initializer_list<std::pair<CTavValue*, int64_t>> writes) {
    TavIntegerWrites limited;
    for (const auto& [value, raw] : writes)
        if (value && value->Kind() == kTavKindInteger)
            limited.emplace_back(value, static_cast<int32_t>(std::clamp<int64_t>(raw, value->Spec().minimum,
                                                                                 value->Spec().maximum)));
    if (limited.empty())
        return;
    buffers.WriteIntegers(limited);
    TavCommitPending(buffers);
}

} // namespace Brio
