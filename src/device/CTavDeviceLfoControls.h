#pragma once
// The LFO pictures of the device's tone windows and of the sibling device's: the generic
// LFO control with more waveforms, three markers (the plot's start, the delay and the
// fade end) and the script attribute "move". The device's own control adds the step
// waveform over 16 step values; the sibling's its own set of shapes.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "view/CTavLfoControl.h"

// What both device LFO controls share.
class CTavDeviceLfoControl : public CTavLfoControl {
public:
    // (43, 19, 88), (222, 0, 255) and (0, 255, 222) in 16-bit components.
    static constexpr Rgb16 kFill{43 << 8, 19 << 8, 88 << 8};
    static constexpr Rgb16 kMarker{222 << 8, 0 << 8, 255 << 8};
    static constexpr Rgb16 kLine{0 << 8, 255 << 8, 222 << 8};

    // A sine whose every cycle has its own random height between 0 and 1, drawn when the
    // cycle is first reached.
    class CVSin : public IWaveForm {
    public:
        CVSin(CShape shape, RandomEngine& random) : m_shape(shape), m_random(random) {}
        double Value(double x) override;

    private:
        CShape m_shape;
        RandomEngine& m_random;
        std::optional<int64_t> m_cycle;
        double m_height = 0;
    };

    // The control's and the roles' attributes, then "move" (one integer; text that does
    // not read leaves 0).
    bool Configure(TavItems& items) override;
    // Every role is required.
    bool Associate(CTavPanel* parent) override;
    void Refresh() override;
    // Fill, the centre line and the three markers, the curve over its glow.
    void Draw(CTavDrawInfo& info) override;

    int32_t Move() const { return m_move; }
    // The x of the plot's start, the delay and the fade end.
    const std::array<int32_t, 3>& Markers() const { return m_markers; }

protected:
    explicit CTavDeviceLfoControl(std::vector<std::string> roleTags);
    // What else the kind needs beyond its roles; true in the base.
    virtual bool HasExtraValues() const { return true; }

private:
    int32_t m_move = 0;
    std::array<int32_t, 3> m_markers{};
};

// The height of a cycle of the varying sine from one random draw: 0 ... 1 in hundredths.
double TavLfoCycleHeight(uint32_t draw);

namespace Brio {

// The step values, 16 raw values 0 ... 127, 64 meaning 0.
using TavLfoSteps = std::array<int32_t, 16>;

// A step's level: (raw - 64) / 36.
double TavLfoStepLevel(int32_t raw);
// The step shape at d (0 <= d < 1, the fraction of the step cycle): type 0 holds step k =
// floor(16 d); type 1 runs straight from step k at d = k / 16 to step k + 1 (step 0 after
// step 15) at d = (k + 1) / 16; other types have no shape.
std::optional<double> TavLfoStepShape(const TavLfoSteps& steps, int64_t type, double d);

// Waveforms 0 ... 10 as the generic control, 11 the varying sine and 12 the steps.
// Attributes: "waveformValueRef", "rateValueRef", "offsetValueRef", "delayTimeValueRef",
// "fadeModeValueRef", "fadeTimeValueRef", "stepTypeValueRef" (references in this order,
// after any "valueRef"), then the 16 step values by "stepValueRef": given 16 times, or once
// with "%d" standing for the step number 0 ... 15; and "move".
class CTavLfoControl : public CTavDeviceLfoControl {
public:
    enum : int64_t { kVSin = 11, kStep = 12 };
    enum : int { kStepType = kRoleCount };
    static constexpr int kStepCount = 16;

    // Half the LFO's frequency over the 16 steps.
    class CStep : public IWaveForm {
    public:
        CStep(CShape shape, TavLfoSteps steps, int64_t type) : m_shape(shape), m_steps(steps), m_type(type) {}
        double Value(double x) override;

    private:
        CShape m_shape;
        TavLfoSteps m_steps;
        int64_t m_type;
    };

    CTavLfoControl();
    std::string_view GetKind() const override { return "quasarLfoControl"; }
    bool Configure(TavItems& items) override;

    // The step values as they are now; 64 for a step without a value.
    TavLfoSteps Steps() const;

protected:
    bool HasExtraValues() const override;
    std::unique_ptr<IWaveForm> MakeWaveFormFor(int64_t kind, const CShape& shape) override;

private:
    std::vector<int> m_stepRefs;
};

} // namespace Brio

namespace Vale {

// The sibling's shapes over the phase u in cycles, each -1 ... 1 and periodic in u.
// A sine with pointed crests: s |s| for s = sin 2 pi u.
double TavLfoXSin(double u);
// Twin crests: (sin 2 pi u + sin 4 pi u) scaled to reach 1.
double TavLfoTwm(double u);
// Four stairs up from -1 to 1 over a cycle.
double TavLfoStairs(double u);
// A sine turning into a triangle over four cycles, then again.
double TavLfoMorphing(double u);

// Waveforms 0 ... 10 as the generic control, 11 the varying sine, 12 the pointed sine, 13
// twin crests, 14 stairs, 15 morphing. Attributes: "waveformValueRef", "rateValueRef",
// "offsetValueRef", "delayTimeValueRef", "fadeModeValueRef", "fadeTimeValueRef" (in this
// order) and "move".
class CTavLfoControl : public CTavDeviceLfoControl {
public:
    enum : int64_t { kVSin = 11, kXSin, kTwm, kStairs, kMorphing };

    // A shape over the phase, offset and scaled like the generic ones.
    template <double (*Shape)(double)> class CCurve : public IWaveForm {
    public:
        explicit CCurve(CShape shape) : m_shape(shape) {}
        double Value(double x) override {
            return x < m_shape.start ? 0 : m_shape.offset + m_shape.amplitude * Shape(m_shape.Phase(x));
        }

    private:
        CShape m_shape;
    };
    using CXSin = CCurve<TavLfoXSin>;
    using CTwm = CCurve<TavLfoTwm>;
    using CStairs = CCurve<TavLfoStairs>;
    using CMorphing = CCurve<TavLfoMorphing>;

    CTavLfoControl();
    std::string_view GetKind() const override { return "valeLfoControl"; }

protected:
    std::unique_ptr<IWaveForm> MakeWaveFormFor(int64_t kind, const CShape& shape) override;
};

} // namespace Vale
