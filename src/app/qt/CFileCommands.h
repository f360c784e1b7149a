#pragma once
// The current data file and the commands on it: Open, Save, Save As and the save-changes
// question. Failures are reported as message codes on the buffer output and shown by the
// idle pass; a failed command keeps the current path.

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "app/qt/CProfiledFileDialog.h"
#include "files/CTavDataFile.h"

class CTavSystem;
class ITavSettings;
class QWidget;

class CFileCommands {
public:
    CFileCommands(CTavSystem& system, ITavSettings& settings, TavDataFileSettings dataFiles);

    // The window that owns the dialogs and the question.
    void SetOwner(QWidget* owner) { m_owner = owner; }

    // Open: asks the save-changes question (also when nothing changed), then reads path,
    // or the file the open dialog chooses when path is empty. True when a file was read.
    bool Open(const QString& path = QString());
    // Save to the current path, or to one the save dialog chooses. True when saved.
    bool Save();
    bool SaveAs();
    // Before the main window closes: asks when the data is modified. True when it may close.
    bool CanClose();

    // Reads path as the current file without asking (the file named on the command line).
    bool Load(const QString& path);

    bool IsModified() const;
    const QString& Path() const { return m_path; }
    // "Vireo Editor - name" with " *" while modified; "Untitled" without a file.
    QString Title(const QString& applicationTitle) const;

    // Answers the save-changes question: 1 Cancel, 2 Yes, 3 No. Tests answer here; the
    // editor shows a message box.
    std::function<int(const QString& question)> ask;
    // Runs after a file was read, before the views are told (the device layer sends the
    // loaded data to the device here).
    std::function<void()> afterLoad;

private:
    enum class SaveResult { Saved, Cancelled, Failed };
    SaveResult SaveTo(QString path);
    // Yes saves, No goes on, Cancel stops. On a cancelled save dialog, Open goes on and
    // closing stops.
    bool AskToSave(bool goOnWhenDialogCancelled);
    int Ask(const QString& question);

    CTavSystem& m_system;
    TavDataFileSettings m_dataFiles;
    CProfiledFileDialog m_dialog;
    QPointer<QWidget> m_owner;
    QString m_path;
};
