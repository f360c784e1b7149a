#pragma once
// File dialogs that remember, in a settings section, the folder, the file name and the
// filter of the last choice ("InitialDirectory", "InitialFileName", "InitialFilterIndex").

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

class CWindowList;
class ITavSettings;
class QFileDialog;

class CProfiledFileDialog {
public:
    struct Kind {
        std::string section;          // "File" or "SMF"
        std::string filter;           // "Text(*.x)|*.x|All Files(*.*)|*.*||"
        std::string defaultExtension; // without the dot
        QString defaultDirectory;     // used until a folder has been remembered
    };

    CProfiledFileDialog(ITavSettings& settings, Kind kind) : m_settings(settings), m_kind(std::move(kind)) {}

    // Shows the open (an existing file) or save (overwrite prompt, default extension)
    // dialog; the chosen path, or empty when cancelled. A choice is remembered. The
    // dialog is owned by the top window of the window list and listed as modal while it
    // runs; without a list it has no owner.
    QString ChooseOpen(CWindowList* windows);
    QString ChooseSave(CWindowList* windows, const QString& suggestedPath);

    // Name filters from a "text|pattern|text|pattern||" filter: "text" entries whose
    // patterns Qt reads from the parentheses.
    static QStringList NameFilters(const std::string& filter);

    // Runs a configured dialog and returns the chosen path, or empty. Tests replace it to
    // answer without showing anything; an empty function restores the real dialog.
    using Runner = std::function<QString(QFileDialog&)>;
    static void SetRunner(Runner runner);

private:
    QString Run(QFileDialog& dialog, CWindowList* windows, const QString& suggestedPath);

    ITavSettings& m_settings;
    Kind m_kind;
};
