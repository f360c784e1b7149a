#include "app/qt/CProfiledFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "app/ITavSettings.h"
#include "view/qt/CWindowList.h"

namespace {

CProfiledFileDialog::Runner& CurrentRunner() {
    static CProfiledFileDialog::Runner runner;
    return runner;
}

constexpr const char* kDirectoryKey = "InitialDirectory";
constexpr const char* kFileNameKey = "InitialFileName";
constexpr const char* kFilterIndexKey = "InitialFilterIndex";

} // namespace

void CProfiledFileDialog::SetRunner(Runner runner) {
    CurrentRunner() = std::move(runner);
}

QStringList CProfiledFileDialog::NameFilters(const std::string& filter) {
    // Pairs of description and pattern; the description already names the patterns.
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // "All Files(*.*)" must match names without a dot too.
        filters << parts[i].left(parts[i].indexOf(QLatin1Char('('))) + QStringLiteral(" (") +
                       (patterns == QStringLiteral("*.*") ? QStringLiteral("*") : patterns) +
                       QLatin1Char(')');
    }
    return filters;
}

QString CProfiledFileDialog::ChooseOpen(CWindowList* windows) {
    QFileDialog dialog(windows ? windows->TopWindow() : nullptr);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    return Run(dialog, windows, QString());
}

QString CProfiledFileDialog::ChooseSave(CWindowList* windows, const QString& suggestedPath) {
    QFileDialog dialog(windows ? windows->TopWindow() : nullptr);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(m_kind.defaultExtension));
    return Run(dialog, windows, suggestedPath);
}

QString CProfiledFileDialog::Run(QFileDialog& dialog, CWindowList* windows, const QString& suggestedPath) {
    const QStringList filters = NameFilters(m_kind.filter);
    dialog.setNameFilters(filters);
    const int filterIndex = m_settings.GetInt(m_kind.section, kFilterIndexKey, 1);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters[filterIndex - 1]);
    // A document that has a path suggests its own folder and name; otherwise the last choice.
    const QFileInfo suggested(suggestedPath);
    QString directory =
        suggestedPath.isEmpty()
            ? QString::fromStdString(m_settings.GetString(m_kind.section, kDirectoryKey, std::string()))
            : suggested.absolutePath();
    if (directory.isEmpty() || !QDir(directory).exists())
        directory = m_kind.defaultDirectory;
    if (!directory.isEmpty() && QDir(directory).exists())
        dialog.setDirectory(directory);
    const QString fileName =
        suggestedPath.isEmpty()
            ? QString::fromStdString(m_settings.GetString(m_kind.section, kFileNameKey, std::string()))
            : suggested.fileName();
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);

    QString chosen;
    const CWindowList::CModal modal(windows, &dialog);
    if (CurrentRunner())
        chosen = CurrentRunner()(dialog);
    else if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty())
        return chosen;

    const QFileInfo info(chosen);
    m_settings.SetString(m_kind.section, kDirectoryKey, info.absolutePath().toStdString());
    m_settings.SetString(m_kind.section, kFileNameKey, info.fileName().toStdString());
    const qsizetype chosenFilter = filters.indexOf(dialog.selectedNameFilter());
    if (chosenFilter >= 0)
        m_settings.SetInt(m_kind.section, kFilterIndexKey, int(chosenFilter) + 1);
    return info.absoluteFilePath();
}
