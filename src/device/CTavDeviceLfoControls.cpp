#include "device/CTavDeviceLfoControls.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "model/CTavValue.h"

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double Fraction(double u) {
    return u - std::floor(u);
}

} // namespace

// --- shared -----------------------------------------------------------------------------

double TavLfoCycleHeight(uint32_t draw) {
    return (draw % 101) * 0.01;
}

double CTavDeviceLfoControl::CVSin::Value(double x) {
    if (x < m_shape.start)
        return 0;
    const double u = m_shape.Phase(x);
    const auto cycle = static_cast<int64_t>(std::floor(u));
    if (cycle != m_cycle) {
        m_cycle = cycle;
        m_height = TavLfoCycleHeight(static_cast<uint32_t>(m_random()));
    }
    return m_shape.offset + m_shape.amplitude * m_height * std::sin(kTwoPi * u);
}

CTavDeviceLfoControl::CTavDeviceLfoControl(std::vector<std::string> roleTags)
    : CTavLfoControl(std::move(roleTags)) {}

bool CTavDeviceLfoControl::Configure(TavItems& items) {
    if (!CTavLfoControl::Configure(items))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "move") {
            ++it;
            continue;
        }
        long move = 0;
        m_move = TavScanLong(it->second, move) ? static_cast<int32_t>(move) : 0;
        it = items.erase(it);
    }
    return true;
}

bool CTavDeviceLfoControl::Associate(CTavPanel* parent) {
    if (!AssociateGraph(parent))
        return ReportFailure("Unable to create LFO control %s.\n");
    bool complete = HasExtraValues();
    for (size_t role = 0; role < RoleTags().size(); ++role)
        complete = complete && RoleValue(static_cast<int>(role)) != nullptr;
    if (!complete)
        return ReportFailure("There is no value reference for LFO control %s.\n");
    Refresh();
    return true;
}

void CTavDeviceLfoControl::Refresh() {
    CTavLfoControl::Refresh();
    m_markers = {m_rect.left + 1, Picture().delayX, Picture().fadeEndX};
}

void CTavDeviceLfoControl::Draw(CTavDrawInfo& info) {
    if (!ShouldDraw(info))
        return;
    CTavGraphDrawer& drawer = *Drawer();
    drawer.BeginClip(info, m_rect);
    drawer.FillRect(info, m_rect, kFill);
    drawer.SetLineStyle(CTavGraphDrawer::kSolid);
    const int32_t x0 = m_rect.left + 1, x1 = m_rect.right - 1, yt = m_rect.top + 1, yb = m_rect.bottom - 1;
    const int32_t yc = Picture().centreY;
    drawer.MoveTo(info, {x0, yc});
    drawer.LineTo(info, {x1 - 1, yc}, 1, kMarker);
    for (const int32_t x : m_markers) {
        drawer.MoveTo(info, {x, yt});
        drawer.LineTo(info, {x, yb - 1}, 1, kMarker);
    }
    if (!Picture().curve.empty()) {
        drawer.Polyline(info, Picture().curve, 3, Glow(kFill, kLine));
        drawer.Polyline(info, Picture().curve, 1, kLine);
    }
    drawer.EndClip(info);
}

// --- the device's control ---------------------------------------------------------------

namespace Brio {

double TavLfoStepLevel(int32_t raw) {
    return (raw - 64) / 36.0;
}

std::optional<double> TavLfoStepShape(const TavLfoSteps& steps, int64_t type, double d) {
    const double position = std::clamp(d, 0.0, 1.0) * 16;
    const int k = std::min(static_cast<int>(position), 15);
    const double level = TavLfoStepLevel(steps[k]);
    if (type == 0)
        return level;
    if (type != 1)
        return std::nullopt;
    const double next = TavLfoStepLevel(steps[(k + 1) % 16]);
    return level + (next - level) * (position - k);
}

double CTavLfoControl::CStep::Value(double x) {
    if (x < m_shape.start)
        return 0;
    const double d = Fraction(m_shape.Phase(x) / 2);
    return m_shape.offset + m_shape.amplitude * TavLfoStepShape(m_steps, m_type, d).value_or(0);
}

CTavLfoControl::CTavLfoControl()
    : CTavDeviceLfoControl({"waveformValueRef", "rateValueRef", "offsetValueRef", "delayTimeValueRef",
                            "fadeModeValueRef", "fadeTimeValueRef", "stepTypeValueRef"}) {}

bool CTavLfoControl::Configure(TavItems& items) {
    if (!CTavDeviceLfoControl::Configure(items))
        return false;
    std::vector<std::string> paths;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "stepValueRef") {
            ++it;
            continue;
        }
        paths.push_back(it->second);
        it = items.erase(it);
    }
    // One path with "%d" stands for all 16.
    if (paths.size() == 1 && paths.front().find("%d") != std::string::npos) {
        const std::string pattern = paths.front();
        const size_t at = pattern.find("%d");
        paths.clear();
        for (int step = 0; step < kStepCount; ++step)
            paths.push_back(pattern.substr(0, at) + std::to_string(step) + pattern.substr(at + 2));
    }
    for (const std::string& path : paths)
        m_stepRefs.push_back(AddValueRef(path));
    return true;
}

bool CTavLfoControl::HasExtraValues() const {
    if (m_stepRefs.size() != kStepCount)
        return false;
    for (const int ref : m_stepRefs) {
        const CTavValue* value = GetValue(ref);
        if (!value || value->Kind() != kTavKindInteger)
            return false;
    }
    return true;
}

TavLfoSteps CTavLfoControl::Steps() const {
    TavLfoSteps steps;
    steps.fill(64);
    for (size_t step = 0; step < steps.size() && step < m_stepRefs.size(); ++step)
        if (const CTavValue* value = GetValue(m_stepRefs[step]); value && value->Kind() == kTavKindInteger)
            steps[step] = value->GetRaw();
    return steps;
}

std::unique_ptr<CTavLfoControl::IWaveForm> CTavLfoControl::MakeWaveFormFor(int64_t kind, const CShape& shape) {
    if (kind == kVSin)
        return std::make_unique<CVSin>(shape, Random());
    if (kind != kStep)
        return ::CTavLfoControl::MakeWaveForm(kind, shape, Random());
    const int64_t type = RoleRatio(kStepType).index;
    if (type != 0 && type != 1)
        return nullptr;
    return std::make_unique<CStep>(shape, Steps(), type);
}

} // namespace Brio

// --- the sibling's control --------------------------------------------------------------

namespace Vale {

double TavLfoXSin(double u) {
    const double s = std::sin(kTwoPi * u);
    return s * std::abs(s);
}

double TavLfoTwm(double u) {
    // sin a + sin 2a peaks where cos a = (sqrt 33 - 1) / 8.
    static const double peak = [] {
        const double c = (std::sqrt(33.0) - 1) / 8;
        const double s = std::sqrt(1 - c * c);
        return s + 2 * s * c;
    }();
    return (std::sin(kTwoPi * u) + std::sin(2 * kTwoPi * u)) / peak;
}

double TavLfoStairs(double u) {
    const int step = std::min(static_cast<int>(Fraction(u) * 4), 3);
    return -1 + 2 * step / 3.0;
}

double TavLfoMorphing(double u) {
    const double weight = Fraction(u / 4);
    const double triangle = 1 - 4 * std::abs(Fraction(u + 0.25) - 0.5);
    return (1 - weight) * std::sin(kTwoPi * u) + weight * triangle;
}

CTavLfoControl::CTavLfoControl()
    : CTavDeviceLfoControl({"waveformValueRef", "rateValueRef", "offsetValueRef", "delayTimeValueRef",
                            "fadeModeValueRef", "fadeTimeValueRef"}) {}

std::unique_ptr<CTavLfoControl::IWaveForm> CTavLfoControl::MakeWaveFormFor(int64_t kind, const CShape& shape) {
    switch (kind) {
    case kVSin:
        return std::make_unique<CVSin>(shape, Random());
    case kXSin:
        return std::make_unique<CXSin>(shape);
    case kTwm:
        return std::make_unique<CTwm>(shape);
    case kStairs:
        return std::make_unique<CStairs>(shape);
    case kMorphing:
        return std::make_unique<CMorphing>(shape);
    default:
        return ::CTavLfoControl::MakeWaveForm(kind, shape, Random());
    }
}

} // namespace Vale
