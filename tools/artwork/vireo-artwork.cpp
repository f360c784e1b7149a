// Draws the editor's bitmaps as BMP files into a folder, normally the Script folder beside
// the programs, where the editor script names them: each one as "name.bmp" and, for
// high-density screens, at twice the size as "name@2x.bmp" with the same layout.
//
//   vireo-artwork FOLDER [NAME...]
//
// Without names every image is drawn. Runs on Qt's offscreen platform; needs the font
// family DejaVu Sans.

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "ArtworkStyle.h"
#include "ControlArtwork.h"
#include "EditorArtwork.h"
#include "KeyboardArtwork.h"
#include "PanelArtwork.h"

namespace {

using namespace artwork;

struct Artwork {
    QString name;
    std::function<QImage()> draw;
};

std::vector<Artwork> AllArtwork() {
    using namespace palette;
    std::vector<Artwork> all = {
        {"mainBackground", MainBackground},
        {"pageEffects", EffectsPage},
        {"pageSetup", SetupPage},
        {"knobSmall", [] { return Knob(32, 64, false, kSurface); }},
        {"knobSmallBipolar", [] { return Knob(32, 65, true, kSurface); }},
        {"knobLarge", [] { return Knob(40, 64, false, FrameFill()); }},
        {"knobLargeBipolar", [] { return Knob(40, 65, true, FrameFill()); }},
        {"sliderKnobVertical", [] { return SliderKnob(true); }},
        {"sliderKnobHorizontal", [] { return SliderKnob(false); }},
        {"buttonReceive", [] { return LatchButton(QSize(44, 18), "OFF", "ON"); }},
        {"buttonMute", [] { return LatchButton(QSize(21, 18), "M", "M"); }},
        {"buttonSolo", [] { return SoloButton(QSize(21, 18), "S"); }},
        {"buttonSwitch", [] { return SlideSwitch(QSize(40, 18)); }},
        {"buttonPop", [] { return PushButton(QSize(16, 22), Glyph::PopDown); }},
        {"buttonStepUp", [] { return PushButton(QSize(16, 11), Glyph::StepUp); }},
        {"buttonStepDown", [] { return PushButton(QSize(16, 11), Glyph::StepDown); }},
        {"buttonRead", [] { return LabelButton(QSize(60, 26), "READ"); }},
        {"buttonSync", [] { return LabelButton(QSize(60, 26), "SYNC"); }},
        {"buttonSampleEdit", [] { return LatchButton(QSize(72, 26), "SAMPLES", "SAMPLES"); }},
        {"buttonPatchList", [] { return PushButton(QSize(21, 12), Glyph::PopDown); }},
        {"buttonPatchCategory", [] { return LabelButton(QSize(21, 12), "CAT", 6); }},
        {"tabMixer", [] { return Tab("MIXER"); }},
        {"tabEffects", [] { return Tab("EFFECTS"); }},
        {"tabSetup", [] { return Tab("SETUP"); }},
        {"badgeEntityType", EntityTypeBadges},
        {"partLamp", Lamp},
        {"octaveLamps", OctaveLamps},
        {"badgeClockSource", ClockSourceBadges},
        {"partSelected", SelectionBar},
        {"partStrip", PartStrip},
        {"keyboardStrip", KeyboardStrip},
        {"keyboardKeys", KeyboardKeys},
        {"buttonOctaveDown", [] { return OctaveButton(false); }},
        {"buttonOctaveUp", [] { return OctaveButton(true); }},
        {"toolbarManual", ManualIcon},
        {"cursorResizeHorizontal", [] { return Cursor(CursorShape::ResizeHorizontal); }},
        {"cursorResizeVertical", [] { return Cursor(CursorShape::ResizeVertical); }},
        {"cursorCross", [] { return Cursor(CursorShape::Cross); }},
        {"cursorMove", [] { return Cursor(CursorShape::Move); }},
        {"cursorSplitHorizontal", [] { return Cursor(CursorShape::SplitHorizontal); }},
        {"cursorSplitVertical", [] { return Cursor(CursorShape::SplitVertical); }},
        {"cursorHandOpen", [] { return Cursor(CursorShape::HandOpen); }},
        {"cursorHandClosed", [] { return Cursor(CursorShape::HandClosed); }},
    };
    for (int number = 1; number <= 16; ++number)
        all.push_back(
            {QStringLiteral("buttonEditPart%1").arg(number), [number] { return EditPartButton(number); }});
    for (const QString& name : EditorArtworkNames())
        all.push_back({name, [name] { return EditorArtwork(name); }});
    return all;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime folder; a build machine may have none.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "usage: vireo-artwork FOLDER [NAME...]\n");
        return 2;
    }
    if (!QFontDatabase::families().contains(kFontFamily)) {
        std::fprintf(stderr, "vireo-artwork: the font family %s is not installed (fonts-dejavu-core)\n",
                     qPrintable(kFontFamily));
        return 1;
    }
    const QDir folder(arguments.front());
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "vireo-artwork: cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }

    const std::vector<Artwork> all = AllArtwork();
    QStringList wanted = arguments.mid(1);
    if (wanted.isEmpty())
        for (const Artwork& artwork : all)
            wanted.push_back(artwork.name);
    for (const QString& name : wanted) {
        const auto found = std::find_if(all.begin(), all.end(),
                                        [&](const Artwork& artwork) { return artwork.name == name; });
        if (found == all.end()) {
            std::fprintf(stderr, "vireo-artwork: no image is called %s\n", qPrintable(name));
            return 1;
        }
        for (const int scale : {1, 2}) {
            SetDrawScale(scale);
            const QString path =
                folder.filePath(name + (scale == 1 ? QString() : QStringLiteral("@2x")) + ".bmp");
            if (!found->draw().save(path, "BMP")) {
                std::fprintf(stderr, "vireo-artwork: cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    return 0;
}
