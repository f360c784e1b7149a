#include "view/CTavLfoControl.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

// A random level in -1 ... 1 in hundredths.
double RandomLevel(CTavLfoControl::RandomEngine& random) {
    return (static_cast<int64_t>(random() % 201) - 100) * 0.01;
}

// The whole periods before x, limited so a stored sequence stays bounded.
int64_t Step(double phase) {
    return static_cast<int64_t>(std::clamp(std::floor(phase), 0.0, double(CTavLfoControl::kMaxSteps)));
}

// Rounds halves away from zero and holds the result within lo ... hi (either order).
int64_t RoundWithin(double value, int64_t lo, int64_t hi) {
    const double low = double(std::min(lo, hi)), high = double(std::max(lo, hi));
    return static_cast<int64_t>(std::clamp(std::round(value), low, high));
}

} // namespace

// --- waveforms --------------------------------------------------------------------------

double CTavLfoControl::CSin::Value(double x) {
    if (x < m_shape.start)
        return 0;
    return m_shape.offset + m_shape.amplitude * std::sin(2 * std::numbers::pi * m_shape.Phase(x));
}

double CTavLfoControl::CSaw::Value(double x) {
    if (x < m_shape.start)
        return 0;
    double b = std::fmod(2 * m_shape.Phase(x), 2.0);
    if (b < 0)
        b += 2;
    return m_shape.offset + m_shape.amplitude * (m_rising ? b - 1 : 1 - b);
}

double CTavLfoControl::CTrapezoid::Value(double x) {
    if (x < m_shape.start)
        return 0;
    const double c = (m_q - m_p) / m_q * 0.5;
    // 2u reduced into [c, c + 2).
    double h = std::fmod(2 * m_shape.Phase(x) - c, 2.0);
    if (h < 0)
        h += 2;
    h += c;
    double m = 0;
    if (h < 1 - c)
        m = 1;
    else if (h < 1 + c) // falling: only reached when c > 0
        m = 1 - (h - (1 - c)) / c;
    else if (h < 2 - c)
        m = -1;
    else // rising: only reached when c > 0
        m = -1 + (h - (2 - c)) / c;
    return m_shape.offset + m_shape.amplitude * m;
}

double CTavLfoControl::CBend::Value(double x) {
    if (x < m_shape.start)
        return 0;
    const double a = m_shape.Phase(x);
    double d = 0;
    if (a < 1)
        d = m_rising ? a - 1 : 1 - a;
    return m_shape.offset + m_shape.amplitude * d;
}

double CTavLfoControl::CChaos::Value(double x) {
    if (x < m_shape.start)
        return 0;
    return m_shape.offset + m_shape.amplitude * RandomLevel(m_random);
}

double CTavLfoControl::CRandom::Value(double x) {
    if (x < m_shape.start)
        return 0;
    const double u = m_shape.Phase(x);
    const int64_t n = Step(u);
    while (static_cast<int64_t>(m_points.size()) <= n + 1)
        m_points.push_back(RandomLevel(m_random));
    const double within = std::clamp(u - double(n), 0.0, 1.0);
    const double level = m_points[n] + (m_points[n + 1] - m_points[n]) * within;
    return m_shape.offset + m_shape.amplitude * level;
}

double CTavLfoControl::CSampleHold::Value(double x) {
    if (x < m_shape.start)
        return 0;
    const int64_t k = Step(m_shape.Phase(x));
    while (static_cast<int64_t>(m_steps.size()) <= k)
        m_steps.push_back(RandomLevel(m_random));
    return m_shape.offset + m_shape.amplitude * m_steps[k];
}

double CTavLfoControl::CFader::Value(double t) const {
    if (t < m_ta)
        return m_la;
    if (t >= m_tb)
        return m_lb;
    return m_la + (m_lb - m_la) * (t - m_ta) / (m_tb - m_ta);
}

// --- the picture ------------------------------------------------------------------------

int64_t CTavLfoControl::EffectiveRate(int64_t rate) {
    return rate < 128 ? rate : (149 - rate) * 127 / 21;
}

int64_t CTavLfoControl::Period(int64_t effectiveRate, int64_t plotWidth) {
    const double pixels = 1 / (double(effectiveRate) * 0.23622047244094488 + 2) * double(plotWidth) / kTimeSpan;
    // Rates far beyond the range make the cycle rate zero or negative: the shortest period.
    if (!(pixels >= double(kMinPeriod)))
        return kMinPeriod;
    return static_cast<int64_t>(std::round(std::min(pixels, double(kMaxPlotWidth) * 2)));
}

std::unique_ptr<CTavLfoControl::IWaveForm> CTavLfoControl::MakeWaveForm(int64_t kind, CShape shape,
                                                                       RandomEngine& random) {
    switch (kind) {
    case kSine:
        return std::make_unique<CSin>(shape);
    case kTriangle:
        return std::make_unique<CTrapezoid>(shape, 0, 1);
    case kSawUp:
        return std::make_unique<CSaw>(shape, true);
    case kSawDown:
        return std::make_unique<CSaw>(shape, false);
    case kSquare:
        return std::make_unique<CTrapezoid>(shape, 1, 1);
    case kRandom:
        return std::make_unique<CRandom>(shape, random);
    case kBendUp:
        return std::make_unique<CBend>(shape, true);
    case kBendDown:
        return std::make_unique<CBend>(shape, false);
    case kTrapezoid:
        return std::make_unique<CTrapezoid>(shape, 1, 2);
    case kSampleHold:
        return std::make_unique<CSampleHold>(shape, random);
    case kChaos:
        return std::make_unique<CChaos>(shape, random);
    default:
        return nullptr;
    }
}

std::optional<CTavLfoControl::CFader> CTavLfoControl::MakeFader(int64_t mode, double delay, double fadeEnd) {
    switch (mode) {
    case 0:
    case 2:
        return CFader(delay, fadeEnd, 0, 1);
    case 1:
    case 3:
        return CFader(delay, fadeEnd, 1, 0);
    default:
        return std::nullopt;
    }
}

CTavLfoControl::CPicture CTavLfoControl::Build(const TavRect& rect, const CParams& params, RandomEngine& random) {
    return Build(rect, params, [&random](int64_t kind, const CShape& shape) { return MakeWaveForm(kind, shape, random); });
}

CTavLfoControl::CPicture CTavLfoControl::Build(const TavRect& rect, const CParams& params, const WaveFormMaker& make) {
    CPicture picture;
    const int64_t x0 = int64_t(rect.left) + 1, x1 = int64_t(rect.right) - 1;
    const int64_t yb = int64_t(rect.bottom) - 1, yt = int64_t(rect.top) + 1;
    const int64_t yc = (yt + yb) / 2;
    const int64_t width = x1 - x0;
    picture.centreY = static_cast<int32_t>(yc);

    picture.period = Period(EffectiveRate(params.rate), width);
    CShape shape;
    shape.frequency = 1.0 / double(picture.period);
    shape.start = double(x0);
    shape.amplitude = double((yt - yb) * 100 / 400);
    // In floating point: an offset index far beyond its range must not overflow.
    shape.offset = double(yc) - std::round(double(yt - yb) * double(100 - 50 * params.offset) / 400);
    picture.waveForm = make(params.waveForm, shape);

    const double delay = double(params.delayTime) / 254;
    const double fadeEnd = delay + double(params.fadeTime) / 254;
    picture.fader = MakeFader(params.fadeMode, delay, fadeEnd);

    // The markers where t reaches the delay and the fade end, held inside the control.
    const auto markerX = [&](double t) {
        const double x = double(x0) + (width > 0 ? t * double(width) / kTimeSpan : 0);
        return static_cast<int32_t>(std::clamp(std::round(x), double(rect.left), double(rect.right)));
    };
    picture.delayX = markerX(delay);
    picture.fadeEndX = markerX(fadeEnd);

    if (!picture.waveForm || width <= 0)
        return picture;
    const int64_t end = x0 + std::min(width, kMaxPlotWidth);
    picture.curve.reserve(static_cast<size_t>(end - x0));
    for (int64_t x = x0; x < end; ++x) {
        const int64_t v = RoundWithin(picture.waveForm->Value(double(x)), yt, yb);
        const double t = double(x - x0) * kTimeSpan / double(width);
        const double level = picture.fader ? picture.fader->Value(t) : 1.0;
        const int64_t y = RoundWithin(level * double(v - yc) + double(yc), yt, yb);
        picture.curve.push_back({static_cast<int32_t>(x), static_cast<int32_t>(y)});
    }
    return picture;
}

// --- the control ------------------------------------------------------------------------

CTavLfoControl::CTavLfoControl()
    : CTavLfoControl({"waveFormValueRef", "rateValueRef", "offsetValueRef", "delayTimeValueRef", "fadeModeValueRef",
                      "fadeTimeValueRef"}) {}

CTavLfoControl::CTavLfoControl(std::vector<std::string> roleTags)
    : CTavGraphControl(std::move(roleTags)),
      m_random(static_cast<RandomEngine::result_type>(std::chrono::steady_clock::now().time_since_epoch().count())) {}

CTavLfoControl::~CTavLfoControl() = default;

bool CTavLfoControl::Associate(CTavPanel* parent) {
    // The LFO reports in the bias control's words.
    if (!AssociateGraph(parent))
        return ReportFailure("Unable to create bias control %s.\n");
    bool complete = OwnValueRefCount() == kRoleCount;
    for (int role = 0; role < kRoleCount; ++role)
        complete = complete && HasRole(role);
    if (!complete)
        return ReportFailure("There is no value reference for bias control %s.\n");
    Refresh();
    return true;
}

CTavLfoControl::CParams CTavLfoControl::ReadParams() const {
    CParams params;
    params.waveForm = RoleRatio(kWaveForm).index;
    params.rate = RoleRatio(kRate).index;
    params.offset = RoleRatio(kOffset).index;
    params.delayTime = RoleRatio(kDelayTime).index;
    params.fadeMode = RoleRatio(kFadeMode).index;
    params.fadeTime = RoleRatio(kFadeTime).index;
    return params;
}

std::unique_ptr<CTavLfoControl::IWaveForm> CTavLfoControl::MakeWaveFormFor(int64_t kind, const CShape& shape) {
    return MakeWaveForm(kind, shape, m_random);
}

void CTavLfoControl::Refresh() {
    m_picture = Build(m_rect, ReadParams(),
                      [this](int64_t kind, const CShape& shape) { return MakeWaveFormFor(kind, shape); });
}

void CTavLfoControl::Draw(CTavDrawInfo& info) {
    if (!ShouldDraw(info))
        return;
    CTavGraphDrawer& drawer = *Drawer();
    drawer.BeginClip(info, m_rect);
    drawer.FillRect(info, m_rect, kBackground);
    const int32_t x0 = m_rect.left + 1, x1 = m_rect.right - 1, yt = m_rect.top + 1, yb = m_rect.bottom - 1;
    DrawGuide(info, {x0, m_picture.centreY}, {x1 - 1, m_picture.centreY});
    DrawGuide(info, {m_picture.delayX, yt}, {m_picture.delayX, yb - 1});
    DrawGuide(info, {m_picture.fadeEndX, yt}, {m_picture.fadeEndX, yb - 1});
    DrawCurve(info, m_picture.curve);
    drawer.EndClip(info);
}
