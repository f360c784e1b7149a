#include "app/qt/CClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void CClipboard::Output(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->setText(QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())));
}
