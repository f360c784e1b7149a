#pragma once
// The LFO picture: the waveform over 1.125 time units across the control, shifted by the
// offset, faded in or out after the delay, with markers where the delay and the fade end.
// The waveform and the fader are rebuilt, and the curve worked out, at every Refresh;
// painting shows the stored curve, so random waveforms hold still between refreshes.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "view/CTavGraphControl.h"

class CTavLfoControl : public CTavGraphControl {
public:
    // In the order of the value references 0 to 5.
    enum Role : int { kWaveForm, kRate, kOffset, kDelayTime, kFadeMode, kFadeTime, kRoleCount };
    enum WaveKind : int64_t {
        kSine = 0, kTriangle, kSawUp, kSawDown, kSquare, kRandom, kBendUp, kBendDown, kTrapezoid,
        kSampleHold, kChaos
    };
    using RandomEngine = std::mt19937;
    // Time units shown across the plot.
    static constexpr double kTimeSpan = 1.125;
    static constexpr int64_t kMinPeriod = 4;
    // The curve stops after this many pixels, however wide the control.
    static constexpr int64_t kMaxPlotWidth = 1 << 16;
    // Random waveforms keep at most this many steps (a period is at least 4 pixels).
    static constexpr int64_t kMaxSteps = kMaxPlotWidth / kMinPeriod + 2;

    // The value of a waveform at pixel x (0 left of its start).
    class IWaveForm {
    public:
        virtual ~IWaveForm() = default;
        virtual double Value(double x) = 0;
    };
    // What every waveform shares: amplitude A, frequency F (cycles per pixel), start x0 and
    // offset O; u = F (x - x0) is the phase in cycles.
    struct CShape {
        double amplitude = 0, frequency = 0, start = 0, offset = 0;
        double Phase(double x) const { return frequency * (x - start); }
    };
    class CSin : public IWaveForm {
    public:
        explicit CSin(CShape shape) : m_shape(shape) {}
        double Value(double x) override;

    private:
        CShape m_shape;
    };
    class CSaw : public IWaveForm {
    public:
        CSaw(CShape shape, bool rising) : m_shape(shape), m_rising(rising) {}
        double Value(double x) override;

    private:
        CShape m_shape;
        bool m_rising;
    };
    // Flat top and bottom joined by ramps; p = 0, q = 1 is a triangle, p = q a square.
    class CTrapezoid : public IWaveForm {
    public:
        CTrapezoid(CShape shape, double p, double q) : m_shape(shape), m_p(p), m_q(q) {}
        double Value(double x) override;

    private:
        CShape m_shape;
        double m_p, m_q;
    };
    // One ramp over the first period, then the offset.
    class CBend : public IWaveForm {
    public:
        CBend(CShape shape, bool rising) : m_shape(shape), m_rising(rising) {}
        double Value(double x) override;

    private:
        CShape m_shape;
        bool m_rising;
    };
    // A new random level at every call.
    class CChaos : public IWaveForm {
    public:
        CChaos(CShape shape, RandomEngine& random) : m_shape(shape), m_random(random) {}
        double Value(double x) override;

    private:
        CShape m_shape;
        RandomEngine& m_random;
    };
    // Random levels, one per period, joined by straight lines; points are added as x
    // passes the last one.
    class CRandom : public IWaveForm {
    public:
        CRandom(CShape shape, RandomEngine& random) : m_shape(shape), m_random(random) {}
        double Value(double x) override;

    private:
        CShape m_shape;
        RandomEngine& m_random;
        std::vector<double> m_points;
    };
    // One random level per period, drawn the first time the period is asked for and kept.
    class CSampleHold : public IWaveForm {
    public:
        CSampleHold(CShape shape, RandomEngine& random) : m_shape(shape), m_random(random) {}
        double Value(double x) override;

    private:
        CShape m_shape;
        RandomEngine& m_random;
        std::vector<double> m_steps;
    };
    // The envelope over time t: level la before ta, lb from tb on, a straight line between.
    class CFader {
    public:
        CFader(double ta, double tb, double la, double lb) : m_ta(ta), m_tb(tb), m_la(la), m_lb(lb) {}
        double Value(double t) const;

    private:
        double m_ta, m_tb, m_la, m_lb;
    };

    // The value indices the picture is made of.
    struct CParams {
        int64_t waveForm = 0, rate = 0, offset = 0, delayTime = 0, fadeMode = 0, fadeTime = 0;
    };
    // What one refresh works out.
    struct CPicture {
        std::unique_ptr<IWaveForm> waveForm; // none for an unknown waveform
        std::optional<CFader> fader;         // none for an unknown fade mode
        std::vector<TavPoint> curve;
        int32_t delayX = 0, fadeEndX = 0; // the markers
        int32_t centreY = 0;
        int64_t period = 0; // pixels
    };

    // The rate as the curve uses it: 0 ... 127 as they are, the note lengths above
    // (128 ... 149) folded onto 127 ... 0.
    static int64_t EffectiveRate(int64_t rate);
    // Pixels per cycle for that rate over a plot plotWidth pixels wide; at least 4.
    static int64_t Period(int64_t effectiveRate, int64_t plotWidth);
    // The waveform of that kind; none for an unknown kind.
    static std::unique_ptr<IWaveForm> MakeWaveForm(int64_t kind, CShape shape, RandomEngine& random);
    // Modes 0 and 2 fade in, 1 and 3 fade out, between delay and delay + fade (in time
    // units); none for other modes.
    static std::optional<CFader> MakeFader(int64_t mode, double delay, double fadeEnd);
    // Makes the waveform of a kind; none for a kind the control does not draw.
    using WaveFormMaker = std::function<std::unique_ptr<IWaveForm>(int64_t kind, const CShape& shape)>;
    // The whole picture for a rectangle, with the waveforms of the maker or the generic set.
    static CPicture Build(const TavRect& rect, const CParams& params, const WaveFormMaker& make);
    static CPicture Build(const TavRect& rect, const CParams& params, RandomEngine& random);

    CTavLfoControl();
    ~CTavLfoControl() override;

    std::string_view GetKind() const override { return "lfo"; }
    // Exactly the six role references.
    bool Associate(CTavPanel* parent) override;
    void Refresh() override;
    // Background, the centre line and the two markers, the curve.
    void Draw(CTavDrawInfo& info) override;

    const CPicture& Picture() const { return m_picture; }
    // The source of the random waveforms; seeding it repeats their curves.
    RandomEngine& Random() { return m_random; }

protected:
    // A control whose roles have these attribute names; the first six play the roles above.
    explicit CTavLfoControl(std::vector<std::string> roleTags);
    // The waveform of a kind; the generic set here.
    virtual std::unique_ptr<IWaveForm> MakeWaveFormFor(int64_t kind, const CShape& shape);
    CParams ReadParams() const;

private:
    RandomEngine m_random;
    CPicture m_picture;
};
