#include "EditorArtwork.h"

#include <QPainter>
#include <QRect>

#include <initializer_list>
#include <iterator>
#include <vector>

#include "ArtworkStyle.h"
#include "ControlArtwork.h"

namespace artwork {

namespace {

using namespace palette;

struct EditorSection {
    const char* title;
    QRect rect;
};
struct EditorLabel {
    const char* text;
    int x, y, width;
};
struct EditorWell {
    int x, y;
    bool bipolar;
};
struct EditorPageArt {
    QString name;
    QSize size;
    std::vector<EditorSection> sections;
    std::vector<EditorLabel> labels;
    std::vector<QRect> fields;
    std::vector<EditorWell> wells;
};
struct EditorWindowArt {
    QString name;
    const char* title;
    std::vector<EditorLabel> labels;
    std::vector<QRect> fields;
};

enum class EditorButtonKind { Label, Latch, Tab };
// A button of the editor windows that names what it does: a push button (one label), a
// latch button (off and on label) or a page tab.
struct EditorButtonArt {
    QString name;
    EditorButtonKind kind;
    QSize size;
    std::vector<QString> labels;
};

#include "EditorLayout.inc"

QImage Button(const EditorButtonArt& button) {
    const QString& first = button.labels.front();
    switch (button.kind) {
    case EditorButtonKind::Latch:
        return LatchButton(button.size, first, button.labels.back());
    case EditorButtonKind::Tab:
        return Tab(first, button.size);
    case EditorButtonKind::Label:
        break;
    }
    return LabelButton(button.size, first, button.size.height() < 20 ? 9 : 10);
}

const QSize kWindowSize(1080, 660);
const QRect kHeader(0, 0, 1080, 52);
constexpr int kTitleBand = 22;
constexpr int kSmallKnob = 32;

void DrawEditorSection(QPainter& painter, const EditorSection& section) {
    const QRect& rect = section.rect;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(kLine), 1));
    painter.setBrush(QColor(FrameFill()));
    painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(rect.left() + 10, rect.top() + 6, 3, 10), QColor(kAccent));
    painter.restore();
    DrawText(painter, QRect(rect.left() + 18, rect.top(), rect.width() - 26, kTitleBand),
             Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(section.title), Font(10, true, 1), kText);
}

void DrawLabels(QPainter& painter, const std::vector<EditorLabel>& labels) {
    for (const EditorLabel& label : labels)
        DrawText(painter, QRect(label.x, label.y, label.width, 12), Qt::AlignHCenter | Qt::AlignVCenter,
                 QString::fromLatin1(label.text), Font(8), kDimText);
}

QImage Page(const EditorPageArt& page) {
    return Strip(page.size, 1, [&page](QPainter& painter, int) {
        painter.fillRect(QRect(QPoint(0, 0), page.size), QColor(kBackground));
        for (const EditorSection& section : page.sections)
            DrawEditorSection(painter, section);
        for (const QRect& field : page.fields)
            DrawField(painter, field);
        for (const EditorWell& well : page.wells)
            DrawKnobWell(painter, QPoint(well.x, well.y), kSmallKnob, QString(), well.bipolar, true);
        DrawLabels(painter, page.labels);
    });
}

QImage Window(const EditorWindowArt& window) {
    return Strip(kWindowSize, 1, [&window](QPainter& painter, int) {
        painter.fillRect(QRect(QPoint(0, 0), kWindowSize), QColor(kBackground));
        painter.fillRect(kHeader, QColor(HeaderFill()));
        painter.fillRect(QRect(0, kHeader.bottom() + 1, kHeader.width(), 1), QColor(kLine));
        painter.fillRect(QRect(18, 16, 3, 20), QColor(kAccent));
        DrawText(painter, QRect(28, 0, 168, 52), Qt::AlignLeft | Qt::AlignVCenter,
                 QString::fromLatin1(window.title), Font(15, true, 1), kText);
        for (const QRect& field : window.fields)
            DrawField(painter, field);
        DrawLabels(painter, window.labels);
    });
}

// The select buttons: 0 not edited, 2 edited together with the one shown, 4 the one
// shown; each followed by its pressed look.
QImage SelectButton(int number) {
    const QSize size(40, 22);
    return MaskedStrip(size, 6, HeaderFill(), [=](QPainter& painter, int state) {
        const bool pressed = state % 2 == 1;
        const int base = state / 2;
        painter.setRenderHint(QPainter::Antialiasing);
        QRgb fill = base == 2 ? kAccent : base == 1 ? Mix(kSurface, kAccent, 0.35) : kSurface;
        if (pressed)
            fill = Mix(fill, kInset, 0.35);
        painter.setPen(QPen(QColor(base == 0 ? kLine : Mix(kAccent, kInset, 0.3)), 1));
        painter.setBrush(QColor(fill));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, 4);
        DrawText(painter, QRect(0, pressed ? 1 : 0, size.width(), size.height()), Qt::AlignCenter,
                 QString::number(number), Font(12, true), base == 2 ? kInset : kText);
    });
}

struct TabName {
    const char* image;
    const char* label;
};
const TabName kTabs[] = {{"tabPart", "PART"}, {"tabCommon", "COMMON"}, {"tabTone", "TONE"},
                         {"tabLfo", "LFO"},   {"tabKey", "KEY"},       {"tabLayer", "LAYER"}};

} // namespace

QStringList EditorArtworkNames() {
    QStringList names;
    for (const EditorWindowArt& window : kEditorWindows)
        names << window.name;
    for (const EditorPageArt& page : kEditorPages)
        names << page.name;
    for (const TabName& tab : kTabs)
        names << QString::fromLatin1(tab.image);
    for (const EditorButtonArt& button : kEditorButtons)
        names << button.name;
    for (int number = 1; number <= 4; ++number)
        names << QStringLiteral("buttonToneSelect%1").arg(number);
    return names;
}

QImage EditorArtwork(const QString& name) {
    for (const EditorWindowArt& window : kEditorWindows)
        if (window.name == name)
            return Window(window);
    for (const EditorPageArt& page : kEditorPages)
        if (page.name == name)
            return Page(page);
    for (const TabName& tab : kTabs)
        if (name == QLatin1String(tab.image))
            return Tab(QString::fromLatin1(tab.label));
    for (int number = 1; number <= 4; ++number)
        if (name == QStringLiteral("buttonToneSelect%1").arg(number))
            return SelectButton(number);
    for (const EditorButtonArt& button : kEditorButtons)
        if (button.name == name)
            return Button(button);
    return {};
}

} // namespace artwork
