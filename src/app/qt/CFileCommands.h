#pragma once
// The current data file and the commands on it: Open, Save, Save As and the save-changes
// question, and the Standard MIDI File import and export the device layer runs. Data file
// failures are reported as message codes on the buffer output and shown by the idle pass;
// the device layer shows its SMF failures at once. A failed command keeps the current path. File names are kept as the file
// system's bytes, so a name that is not valid text still opens and saves under itself.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "app/qt/CProfiledFileDialog.h"
#include "files/CTavDataFile.h"

class CTavSystem;
class CWindowList;
class ITavDeviceCommands;
class ITavSettings;

class CFileCommands {
public:
    CFileCommands(CTavSystem& system, ITavSettings& settings, TavDataFileSettings dataFiles);

    // The windows whose top window owns the dialogs and the question, each listed as a
    // modal window while it runs.
    void SetWindowList(CWindowList* windows) { m_windows = windows; }

    // Open: asks the save-changes question (also when nothing changed), then reads path,
    // or the file the open dialog chooses when path is empty. True when a file was read.
    bool Open(const QString& path = QString());
    // Open with a name in the file system's bytes (QFile::encodeName).
    bool OpenEncoded(const QByteArray& fileName);
    // Save to the current path, or to one the save dialog chooses. True when saved.
    bool Save();
    bool SaveAs();
    // Before the main window closes: asks when the data is modified. True when it may close.
    bool CanClose();

    // Import SMF and the two Export SMF commands (TavCommands ids): the SMF dialog chooses
    // the file (cancel ends), then the device layer runs the command under the wait
    // cursor; after an import the views are told. True when the command ran and succeeded.
    bool RunSmfCommand(int id, ITavDeviceCommands& device);
    // The SMF dialog's settings: section "SMF", the filter and "mid", and the folder
    // "SampleSMF" beside the program until one has been chosen.
    static CProfiledFileDialog::Kind SmfDialogKind();

    // Reads a file as the current file without asking (the file named on the command line).
    bool Load(const QString& path);
    bool LoadEncoded(const QByteArray& fileName);
    // Loads a recovery file as an untitled, modified document and sends it on as Open
    // does; false when it cannot be read (the edit state is then as it was).
    bool Recover(const QByteArray& fileName);

    bool IsModified() const;
    // The current file as text (decoded with the file system's encoding); empty when none.
    QString Path() const;
    const QByteArray& EncodedPath() const { return m_fileName; }
    // "Vireo Editor - name" with " *" while modified; "Untitled" without a file.
    QString Title(const QString& applicationTitle) const;

    // Answers the save-changes question: 1 Cancel, 2 Yes, 3 No. Tests answer here; the
    // editor shows a message box. Either way the question is a modal window.
    std::function<int(const QString& question)> ask;
    // Runs after a file was read, before the views are told (the device layer sends the
    // loaded data to the device here).
    std::function<void()> afterLoad;
    // Runs after a file was read or saved as the current file, with its absolute name.
    std::function<void(const QByteArray& fileName)> fileUsed;

private:
    enum class SaveResult { Saved, Cancelled, Failed };
    SaveResult SaveTo(QByteArray fileName);
    // Yes saves, No goes on, Cancel stops. On a cancelled save dialog, Open goes on and
    // closing stops.
    bool AskToSave(bool goOnWhenDialogCancelled);
    int Ask(const QString& question);

    CTavSystem& m_system;
    TavDataFileSettings m_dataFiles;
    CProfiledFileDialog m_dialog;
    CProfiledFileDialog m_smfDialog;
    CWindowList* m_windows = nullptr;
    QByteArray m_fileName; // absolute, in the file system's bytes
};
