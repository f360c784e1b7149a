#include "app/qt/CAboutDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString kDescription = QStringLiteral("Vireo Editor");
const QString kLegalNotice = QStringLiteral("Copyright (C) 2026 Halden. All rights reserved.");

} // namespace

QString CAboutDialog::VersionText(const QString& fileVersion, const QString& productVersion) {
    QString numbers;
    const QStringList parts = productVersion.split(QLatin1Char(','));
    for (int i = 0; i < 4; ++i)
        numbers += QString::number(parts.value(i).trimmed().toInt());
    return QStringLiteral("Version ") + fileVersion + QStringLiteral(" (") + numbers + QLatin1Char(')');
}

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About ") + kDescription);
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    const QIcon appIcon = QIcon::fromTheme(QStringLiteral("vireo-editor"),
                                           QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation));
    icon->setPixmap(appIcon.pixmap(48, 48));
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    for (const QString& text : {kDescription, VersionText(QStringLiteral(VIREO_VERSION), QStringLiteral(VIREO_PRODUCT_VERSION)),
                                kLegalNotice}) {
        auto* label = new QLabel(text, this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label, 0, Qt::AlignHCenter);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
