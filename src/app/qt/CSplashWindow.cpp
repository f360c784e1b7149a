#include "app/qt/CSplashWindow.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace {

QPixmap SplashPicture() {
    QPixmap picture(360, 160);
    picture.fill(QColor(0x24, 0x2a, 0x33));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0xe8, 0xec, 0xf1));
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(0, 40, 360, 50), Qt::AlignCenter, QStringLiteral("Vireo Editor"));
    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(13);
    painter.setFont(subtitle);
    painter.setPen(QColor(0x8f, 0xb8, 0xde));
    painter.drawText(QRect(0, 95, 360, 24), Qt::AlignCenter, QStringLiteral("Starting..."));
    return picture;
}

} // namespace

CSplashWindow::CSplashWindow() : QSplashScreen(SplashPicture()) {}

void CSplashWindow::Refresh() {
    repaint();
}
