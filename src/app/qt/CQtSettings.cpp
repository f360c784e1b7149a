#include "app/qt/CQtSettings.h"

#include <QSettings>

namespace {

QString KeyPath(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

} // namespace

std::string CQtSettings::GetString(const std::string& section, const std::string& key,
                                   const std::string& fallback) const {
    const QVariant value = QSettings().value(KeyPath(section, key));
    return value.isValid() ? value.toString().toStdString() : fallback;
}

int CQtSettings::GetInt(const std::string& section, const std::string& key, int fallback) const {
    bool ok = false;
    const int value = QSettings().value(KeyPath(section, key)).toInt(&ok);
    return ok ? value : fallback;
}

void CQtSettings::SetString(const std::string& section, const std::string& key, const std::string& value) {
    QSettings().setValue(KeyPath(section, key), QString::fromStdString(value));
}

void CQtSettings::SetInt(const std::string& section, const std::string& key, int value) {
    QSettings().setValue(KeyPath(section, key), value);
}
