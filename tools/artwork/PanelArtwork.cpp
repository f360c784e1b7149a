#include "PanelArtwork.h"

#include <QFontMetrics>
#include <QPen>

#include <cmath>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "ArtworkStyle.h"

namespace artwork {

namespace {

using namespace palette;

// Main window.
const QSize kMainSize(1080, 660);
const QRect kHeader(0, 0, 1080, 52);
const QRect kMixerFrame(8, 60, 920, 564);
const QRect kMasterFrame(936, 60, 136, 564);
const QRect kStatusField(8, 632, 1064, 22);
const QPoint kFirstStrip(88, 88); // strips follow at kStripSize.width() apart

// One part strip, in its own coordinates. The part number is the edit part button. Under
// the patch field come three knobs that shape what the part hears (receive channel, key
// shift, fine tune) and three for its mix (chorus and reverb sends, pan), each with its
// value in a field under it; then the receive, mute and solo buttons and the level fader.
const QSize kStripSize(52, 528);
const QRect kStripCard(2, 0, 48, 526);
const QPoint kLampCentre(42, 14);
const QRect kTypeField(4, 32, 44, 18);
const QRect kPatchField(4, 54, 44, 36);
constexpr int kSmallKnob = 32;
constexpr int kStripKnobPitch = 46;
// A knob's value field, 1 pixel under the knob.
constexpr int kKnobValueHeight = 12;
struct StripKnob {
    const char* label;
    bool bipolar;
};
const StripKnob kStripKnobs[] = {{"CHANNEL", false}, {"KEY SHIFT", true}, {"FINE TUNE", true},
                                 {"CHORUS", false},  {"REVERB", false},   {"PAN", true}};
constexpr int kFirstKnobCentreY = 116;
QPoint StripKnobCentre(int row) {
    return {26, kFirstKnobCentreY + kStripKnobPitch * row};
}
QRect StripKnobValue(int row) {
    return {4, StripKnobCentre(row).y() + kSmallKnob / 2 + 1, 44, kKnobValueHeight};
}
const QRect kReceiveRow(4, 380, 44, 18);
const QRect kMuteSoloRow(4, 402, 44, 18);
const QRect kLevelSlider(10, 424, 32, 76);
const QRect kLevelField(4, 504, 44, 18);

// Master section, in main window coordinates.
const QPoint kChorusReturnCentre(970, 130);
const QPoint kReverbReturnCentre(1038, 130);
constexpr int kLargeKnob = 40;
const QRect kMasterSlider(988, 204, 32, 340);
const QRect kMasterField(964, 556, 80, 20);

// Slider knobs are 16 pixels along their travel.
constexpr int kSliderKnobLength = 16;

// The groove of a vertical slider and ticks at every eighth of its travel, the ends and the
// middle longer. Returns the y of the knob's centre at each eighth, from the bottom.
std::vector<int> DrawSliderTrack(QPainter& painter, const QRect& slider) {
    const int centreX = slider.center().x() + 1;
    const int lowest = slider.bottom() + 1 - kSliderKnobLength / 2;
    const int highest = slider.top() + kSliderKnobLength / 2;
    painter.fillRect(QRect(centreX - 2, highest - 4, 4, lowest - highest + 8), QColor(kInset));
    std::vector<int> ticks;
    for (int k = 0; k <= 8; ++k) {
        const int y = static_cast<int>(std::lround(lowest - (lowest - highest) * k / 8.0));
        const bool major = k % 4 == 0;
        const int length = major ? 8 : 5;
        const QColor colour(major ? kDimText : kLine);
        painter.fillRect(QRect(centreX - 8 - length, y, length, 1), colour);
        painter.fillRect(QRect(centreX + 8, y, length, 1), colour);
        ticks.push_back(y);
    }
    return ticks;
}

void DrawHeader(QPainter& painter) {
    painter.fillRect(kHeader, QColor(HeaderFill()));
    painter.fillRect(QRect(0, kHeader.bottom() + 1, kHeader.width(), 1), QColor(kLine));
    // The mark: three level bars.
    const int baseline = 35;
    const int heights[] = {9, 17, 12};
    for (int i = 0; i < 3; ++i)
        painter.fillRect(QRect(18 + 5 * i, baseline - heights[i], 3, heights[i]), QColor(kAccent));
    const QFont wordmark = Font(20, true, 1);
    DrawText(painter, QRect(40, 0, 200, 52), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VIREO"),
             wordmark, kText);
    const int after = 40 + QFontMetrics(wordmark).horizontalAdvance(QStringLiteral("VIREO")) + 8;
    DrawText(painter, QRect(after, 2, 200, 52), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("EDITOR"),
             Font(12, false, 2), kDimText);
}

void DrawMixerFrame(QPainter& painter) {
    DrawSection(painter, kMixerFrame, QStringLiteral("PART MIXER"));
    // Row labels right-aligned against the first strip.
    struct Row {
        const char* label;
        int top;
        int height;
    };
    std::vector<Row> rows = {
        {"PART", 0, 28},
        {"TYPE", kTypeField.top(), kTypeField.height()},
        {"PATCH", kPatchField.top(), kPatchField.height()},
    };
    for (int row = 0; row < static_cast<int>(std::size(kStripKnobs)); ++row)
        rows.push_back({kStripKnobs[row].label, StripKnobCentre(row).y() - 8, 16});
    rows.push_back({"RECEIVE", kReceiveRow.top(), kReceiveRow.height()});
    rows.push_back({"MUTE/SOLO", kMuteSoloRow.top(), kMuteSoloRow.height()});
    rows.push_back({"LEVEL", kLevelSlider.center().y() - 8, 16});
    const int right = kFirstStrip.x() - 6;
    for (const Row& row : rows)
        DrawText(painter, QRect(12, kFirstStrip.y() + row.top, right - 12, row.height),
                 Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(row.label), Font(10), kDimText);
    // The level scale's ends, beside the first strip's ticks.
    const int lowest = kFirstStrip.y() + kLevelSlider.bottom() + 1 - kSliderKnobLength / 2;
    const int highest = kFirstStrip.y() + kLevelSlider.top() + kSliderKnobLength / 2;
    for (const auto& [y, text] : {std::pair{highest, "127"}, std::pair{lowest, "0"}})
        DrawText(painter, QRect(12, y - 7, right - 12, 14), Qt::AlignRight | Qt::AlignVCenter,
                 QString::fromLatin1(text), Font(9), kDimText);
}

void DrawMasterSection(QPainter& painter) {
    DrawSection(painter, kMasterFrame, QStringLiteral("MASTER"));
    const int centreX = kMasterFrame.center().x() + 1;
    auto caption = [&](int top, const char* text) {
        DrawText(painter, QRect(kMasterFrame.left(), top, kMasterFrame.width(), 14),
                 Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(text), Font(10, true, 1), kDimText);
    };
    caption(92, "RETURNS");
    DrawKnobWell(painter, kChorusReturnCentre, kLargeKnob, QStringLiteral("CHORUS"), false);
    DrawKnobWell(painter, kReverbReturnCentre, kLargeKnob, QStringLiteral("REVERB"), false);
    for (const QPoint& centre : {kChorusReturnCentre, kReverbReturnCentre})
        DrawField(painter, QRect(centre.x() - 30, centre.y() + 42, 60, 12));
    caption(kMasterSlider.top() - 20, "LEVEL");
    const std::vector<int> ticks = DrawSliderTrack(painter, kMasterSlider);
    for (const auto& [k, text] : {std::pair{8, "127"}, std::pair{4, "64"}, std::pair{0, "0"}})
        DrawText(painter,
                 QRect(kMasterFrame.left() + 4, ticks[k] - 7, centreX - 22 - kMasterFrame.left() - 4, 14),
                 Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(text), Font(9), kDimText);
    DrawField(painter, kMasterField);
}

void DrawStatusLine(QPainter& painter) {
    DrawField(painter, kStatusField);
    DrawText(painter, QRect(kStatusField.left() + 8, kStatusField.top(), 64, kStatusField.height()),
             Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("MIDI OUT"), Font(9, true, 1), kDimText);
}

// A label and a field on one line, in section coordinates.
void DrawSectionField(QPainter& painter, const QRect& section, int x, int y, int labelWidth, int fieldWidth,
                      const QString& label) {
    const QRect labelRect(section.left() + x, section.top() + y, labelWidth, 22);
    DrawLabelledField(painter, labelRect, QRect(labelRect.right() + 5, labelRect.top(), fieldWidth, 22),
                      label);
}

// The setup page's rows, 28 pixels apart, in section coordinates: a label at 16 and, from
// 300, either
//  - a field 188 wide with step buttons (16x11 each, up over down) at 492, for choices;
//  - a slide switch (40x18) at 384,+2 between the names of its two ends, for two-way settings.
constexpr int kRowLabelLeft = 16;
constexpr int kRowLabelWidth = 279;
constexpr int kRowFieldLeft = kRowLabelLeft + kRowLabelWidth + 5;
constexpr int kRowFieldWidth = 208; // the switch rows' names keep inside it
constexpr int kRowStepsWidth = 16;
constexpr int kRowPitch = 28;
const QRect kRowSwitch(384, 2, 40, 18);

enum class RowKind { Steps, Switch };

struct SetupRow {
    const char* label;
    RowKind kind;
    const char* offName = "";
    const char* onName = "";
};

void DrawRows(QPainter& painter, const QRect& section, int top, std::initializer_list<SetupRow> rows) {
    int y = section.top() + top;
    for (const SetupRow& row : rows) {
        const QRect label(section.left() + kRowLabelLeft, y, kRowLabelWidth, 22);
        const int fieldLeft = section.left() + kRowFieldLeft;
        switch (row.kind) {
        case RowKind::Steps:
            DrawLabelledField(painter, label, QRect(fieldLeft, y, kRowFieldWidth - kRowStepsWidth - 4, 22),
                              QString::fromLatin1(row.label));
            break;
        case RowKind::Switch: {
            DrawText(painter, label, Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(row.label),
                     Font(11), kDimText);
            const QRect at = kRowSwitch.translated(section.left(), y);
            const QFont names = Font(10, true, 0.5);
            DrawText(painter, QRect(fieldLeft, y, at.left() - 8 - fieldLeft, 22),
                     Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(row.offName), names, kDimText);
            DrawText(painter, QRect(at.right() + 9, y, fieldLeft + kRowFieldWidth - at.right() - 9, 22),
                     Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(row.onName), names, kDimText);
            break;
        }
        }
        y += kRowPitch;
    }
}

// The setup page's sections and the multi-effect sections start with one row of large knobs
// 84 apart, in groups under captions; the setup page's rows of switches and choices follow.
constexpr int kCaptionTop = 38;
constexpr int kKnobRowCentreY = 88;
constexpr int kSetupRowsTop = 144;

QPoint KnobRowAt(const QRect& section, int column) {
    return {section.left() + 52 + 84 * column, section.top() + kKnobRowCentreY};
}

struct KnobGroup {
    const char* caption;
    int firstColumn;
    int lastColumn;
};

struct RowKnob {
    const char* label;
    bool bipolar;
};

// A caption centred over the knobs from first to last (their centres' x), with a rule under it.
// The caption may use the whole column pitch; the rule keeps a gap to the next group's.
void DrawCaption(QPainter& painter, int first, int last, int top, int halfPitch, const char* caption) {
    DrawText(painter, QRect(first - halfPitch, top, last - first + 2 * halfPitch, 14),
             Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(caption), Font(10, true, 1), kDimText);
    painter.fillRect(QRect(first - halfPitch + 6, top + 17, last - first + 2 * halfPitch - 12, 1),
                     QColor(kLine));
}

// With values, a field under each knob's label holds its value (60x14 at the knob's
// centre x - 30 and kKnobValueTop, section coordinates).
constexpr int kKnobValueTop = 129;

void DrawKnobRow(QPainter& painter, const QRect& section, std::initializer_list<KnobGroup> groups,
                 std::initializer_list<RowKnob> knobs, bool withValues = false) {
    for (const KnobGroup& group : groups)
        DrawCaption(painter, KnobRowAt(section, group.firstColumn).x(),
                    KnobRowAt(section, group.lastColumn).x(), section.top() + kCaptionTop, 42, group.caption);
    int column = 0;
    for (const RowKnob& knob : knobs) {
        const QPoint centre = KnobRowAt(section, column++);
        DrawKnobWell(painter, centre, kLargeKnob, QString::fromLatin1(knob.label), knob.bipolar);
        if (withValues)
            DrawField(painter, QRect(centre.x() - 30, section.top() + kKnobValueTop, 60, 14));
    }
}

// The effects page: the two multi-effects on the left, wide enough for their type-dependent
// parameters; the chorus and the reverb they feed on the right. Page coordinates.
const QRect kMfx1Section(0, 0, 776, 274);
const QRect kMfx2Section(0, 290, 776, 274);
const QRect kChorusSection(792, 0, 272, 274);
const QRect kReverbSection(792, 290, 272, 274);

// The 32 parameters of a multi-effect (their meaning follows its type): small bipolar knobs,
// two rows of 16, each named by the panel under it and its value in a field under the name.
constexpr int kParameterPitch = 45;

QPoint ParameterKnobAt(const QRect& section, int parameter) {
    return {section.left() + 52 + kParameterPitch * (parameter % 16),
            section.top() + (parameter < 16 ? 164 : 224)};
}

void DrawMfxSection(QPainter& painter, const QRect& section, const QString& title, bool withRouting) {
    DrawSection(painter, section, title);
    // The type list and, for the first, the routing list sit in the title band.
    DrawSectionField(painter, section, 96, 3, 36, 232, QStringLiteral("TYPE"));
    if (withRouting)
        DrawSectionField(painter, section, section.width() - 16 - 148 - 5 - 56, 3, 56, 148,
                         QStringLiteral("ROUTING"));
    DrawKnobRow(painter, section, {{"EFFECT", 0, 0}, {"OUTPUT", 1, 3}, {"CONTROL", 4, 8}},
                {{"TYPE", false},
                 {"LEVEL", false},
                 {"TO CHORUS", false},
                 {"TO REVERB", false},
                 {"CHANNEL", false},
                 {"SOURCE 1", false},
                 {"SENS 1", true},
                 {"SOURCE 2", false},
                 {"SENS 2", true}},
                true);
    // Only the ends of the sweep are marked: a centre mark would crowd the name above it. The
    // names follow the type, so the panel writes them under the knobs.
    for (int parameter = 0; parameter < 32; ++parameter) {
        const QPoint centre = ParameterKnobAt(section, parameter);
        DrawKnobWell(painter, centre, kSmallKnob, QString(), false, true);
        DrawField(painter, QRect(centre.x() - 22, centre.y() + 29, 44, 12));
    }
}

// The chorus and the reverb: three rows of three large knobs, 84 across and 78 down.
QPoint SmallSectionKnobAt(const QRect& section, int column, int row) {
    return {section.left() + 52 + 84 * column, section.top() + 66 + 78 * row};
}

void DrawSmallSection(QPainter& painter, const QRect& section, const QString& title,
                      std::initializer_list<const char*> labels) {
    DrawSection(painter, section, title);
    int slot = 0;
    for (const char* label : labels) {
        if (*label) {
            const QPoint centre = SmallSectionKnobAt(section, slot % 3, slot / 3);
            DrawKnobWell(painter, centre, kLargeKnob, QString::fromLatin1(label), false);
            DrawField(painter, QRect(centre.x() - 30, centre.y() + 42, 60, 12));
        }
        ++slot;
    }
}

// One knob per part in the voice reserve section, under the part's number.
QPoint VoiceReserveKnobCentre(const QRect& section, int part) {
    return {section.left() + 52 + 64 * part, section.top() + 76};
}

} // namespace

QImage MainBackground() {
    return Strip(kMainSize, 1, [](QPainter& painter, int) {
        painter.fillRect(QRect(QPoint(0, 0), kMainSize), QColor(kBackground));
        DrawHeader(painter);
        DrawMixerFrame(painter);
        DrawMasterSection(painter);
        DrawStatusLine(painter);
    });
}

QImage PartStrip() {
    return Strip(kStripSize, 1, [](QPainter& painter, int) {
        painter.fillRect(QRect(QPoint(0, 0), kStripSize), QColor(FrameFill()));
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(Mix(kSurface, kLine, 0.6)), 1));
        painter.setBrush(QColor(kSurface));
        painter.drawRoundedRect(QRectF(kStripCard).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        // The dark socket of the lamp that lights while the part sounds.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(kInset));
        painter.drawEllipse(QPointF(kLampCentre), 4, 4);
        painter.restore();

        for (const QRect& field : {kTypeField, kPatchField, kLevelField})
            DrawField(painter, field);
        for (int row = 0; row < static_cast<int>(std::size(kStripKnobs)); ++row) {
            DrawKnobWell(painter, StripKnobCentre(row), kSmallKnob, QString(), kStripKnobs[row].bipolar,
                         true);
            DrawField(painter, StripKnobValue(row));
        }
        DrawSliderTrack(painter, kLevelSlider);
    });
}

QImage EffectsPage() {
    const QSize size(1064, 564);
    return Strip(size, 1, [size](QPainter& painter, int) {
        painter.fillRect(QRect(QPoint(0, 0), size), QColor(kBackground));
        DrawMfxSection(painter, kMfx1Section, QStringLiteral("MFX 1"), true);
        DrawMfxSection(painter, kMfx2Section, QStringLiteral("MFX 2"), false);
        DrawSmallSection(
            painter, kChorusSection, QStringLiteral("CHORUS"),
            {"TYPE", "LEVEL", "TO REVERB", "RATE", "DEPTH", "PRE DELAY", "FEEDBACK", "FILTER", "CUTOFF"});
        // Delay time and feedback act on the delay types only.
        DrawSmallSection(
            painter, kReverbSection, QStringLiteral("REVERB"),
            {"TYPE", "LEVEL", "TIME", "PRE DELAY", "HF DAMP", "DENSITY", "DELAY TIME", "FEEDBACK"});
    });
}

QImage SetupPage() {
    const QSize size(1064, 564);
    return Strip(size, 1, [size](QPainter& painter, int) {
        painter.fillRect(QRect(QPoint(0, 0), size), QColor(kBackground));
        const QRect system(0, 0, 524, 408);
        DrawSection(painter, system, QStringLiteral("SYSTEM"));
        DrawKnobRow(painter, system, {{"MASTER", 0, 2}, {"MIDI", 3, 3}, {"DISPLAY", 4, 4}},
                    {{"TUNE", true},
                     {"KEY SHIFT", true},
                     {"LEVEL", false},
                     {"CONTROL CH", false},
                     {"CONTRAST", false}},
                    true);
        DrawRows(painter, system, kSetupRowsTop,
                 {{"LOCAL", RowKind::Switch, "OFF", "ON"},
                  {"RECEIVE PROGRAM CHANGE", RowKind::Switch, "OFF", "ON"},
                  {"RECEIVE BANK SELECT", RowKind::Switch, "OFF", "ON"},
                  {"RECEIVE EXCLUSIVE", RowKind::Switch, "OFF", "ON"},
                  {"TRANSMIT EDIT DATA", RowKind::Switch, "OFF", "ON"},
                  {"PATCH REMAIN", RowKind::Switch, "OFF", "ON"},
                  {"VELOCITY CURVE", RowKind::Steps},
                  {"HOLD PEDAL POLARITY", RowKind::Switch, "STANDARD", "REVERSE"}});

        const QRect play(540, 0, 524, 408);
        DrawSection(painter, play, QStringLiteral("PLAY SETUP"));
        DrawKnobRow(painter, play, {{"TEMPO", 0, 0}, {"METRONOME", 1, 1}, {"KEYBOARD", 2, 5}},
                    {{"BPM", false},
                     {"LEVEL", false},
                     {"PART", false},
                     {"OCTAVE", true},
                     {"TRANSPOSE", false},
                     {"VELOCITY", false}},
                    true);
        DrawRows(painter, play, kSetupRowsTop,
                 {{"SOUND MODE", RowKind::Switch, "PATCH", "PART"},
                  {"CLOCK SOURCE", RowKind::Switch, "INTERNAL", "MIDI"},
                  {"METRONOME", RowKind::Switch, "OFF", "ON"},
                  {"METRONOME SOUND", RowKind::Steps},
                  {"SOLO PART", RowKind::Steps}});

        const QRect voices(0, 424, 1064, 140);
        DrawSection(painter, voices, QStringLiteral("VOICE RESERVE"));
        for (int part = 0; part < 16; ++part) {
            const QPoint centre = VoiceReserveKnobCentre(voices, part);
            DrawText(painter, QRect(centre.x() - 32, voices.top() + 30, 64, 16), Qt::AlignCenter,
                     QString::number(part + 1), Font(11, true), kText);
            DrawKnobWell(painter, centre, kLargeKnob, QString(), false);
            // Its value, typed in: 48x16 under the knob.
            DrawField(painter, QRect(centre.x() - 24, voices.top() + 103, 48, 16));
        }
        DrawText(painter, QRect(voices.left() + 20, voices.top() + 120, 1024, 18),
                 Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("The sixteen reserves share the device's 64 voices."), Font(11), kDimText);
    });
}

} // namespace artwork
