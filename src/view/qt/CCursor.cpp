#include "view/qt/CCursor.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <iterator>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "view/CTavView.h"
#include "view/qt/TavMaskedImage.h"

namespace {

constexpr CCursor::Image kImages[] = {
    {1, 3079, "cursorResizeHorizontal", {16, 16}, Qt::SizeHorCursor},
    {5, 3080, "cursorSplitVertical", {16, 16}, Qt::SplitVCursor},
    {6, 3081, "cursorMove", {16, 16}, Qt::SizeAllCursor},
    {3, 3082, "cursorResizeVertical", {16, 16}, Qt::SizeVerCursor},
    {4, 3083, "cursorSplitHorizontal", {16, 16}, Qt::SplitHCursor},
    {8, 3084, "cursorHandOpen", {16, 16}, Qt::OpenHandCursor},
    {9, 3085, "cursorHandClosed", {16, 16}, Qt::ClosedHandCursor},
    {7, 3086, "cursorCross", {16, 16}, Qt::CrossCursor},
};

// Cursor images larger than this are not cursors.
constexpr int kMaxCursorSize = 256;

} // namespace

const CCursor::Image* CCursor::Images(size_t& count) {
    count = std::size(kImages);
    return kImages;
}

Qt::CursorShape CCursor::ShapeOfKind(int kind) {
    for (const Image& image : kImages)
        if (image.kind == kind)
            return image.fallback;
    return Qt::ArrowCursor;
}

CCursor::CCursor(const std::string& folder, CTavTextOut* errors) {
    for (const Image& entry : kImages) {
        const std::string path = folder + entry.name + ".bmp";
        const QImage image = TavLoadMaskedImageFor(folder + entry.name, kMaxCursorSize,
                                                   qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
        if (image.isNull()) {
            if (errors)
                errors->Printf("Unable to load cursor %d from %s.\n", entry.resourceId, path.c_str());
            continue;
        }
        // The hot spot is in 1x units, as Qt takes it for an image of any ratio.
        const QSize size = image.deviceIndependentSize().toSize();
        const QPoint hotSpot(std::clamp(entry.hotSpot.x(), 0, size.width() - 1),
                             std::clamp(entry.hotSpot.y(), 0, size.height() - 1));
        m_cursors.emplace(entry.kind, QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y()));
    }
}

CCursor::CCursor() : CCursor(CTavSystem::Instance().ScriptFolder(), CTavSystem::Instance().ErrorOutput()) {}

QCursor CCursor::CursorOfKind(int kind) const {
    const auto found = m_cursors.find(kind);
    return found != m_cursors.end() ? found->second : QCursor(ShapeOfKind(kind));
}

void CCursor::ApplyTo(QWidget& window, TavPoint clientPoint) {
    // HitTest is true while the owner holds the capture, so a drag keeps its cursor.
    if (CTavView* owner = Owner(); owner && !owner->HitTest(clientPoint))
        Reset();
    if (Owner())
        window.setCursor(CursorOfKind(CurrentKind()));
    else
        window.unsetCursor();
}
