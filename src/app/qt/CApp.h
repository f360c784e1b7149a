#pragma once
// The application object: runs the editor's start-up sequence, the idle pass and the
// shut-down sequence on the GUI thread.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

class CTavSystem;
class CTavTextOut;
class CProgressBar;
class ITavClock;
class ITavDeviceCommands;
#include "app/CTavRecentFiles.h"
#include "app/qt/CFileCommands.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/CQtSettings.h"
#include "files/CTavDataFile.h"
#include "files/CTavRecovery.h"
#include "view/qt/CRootPanel.h"
#include "virtual/CVirtualDevice.h"
class CCursor;
class CMidiService;
class CTavEditHistory;
class CSingleInstanceGuard;
class CSplashWindow;

class CApp : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString scriptDir;    // --script-dir; empty: VIREO_SCRIPT_DIR, then Script/ beside the program
        QByteArray filePath;  // the file named on the command line, as the file system's bytes
                              // (a link is opened as its target); empty when none
        QString instanceName; // the single-instance socket; empty: the per-user default
        bool showSplash = true;
        bool virtualDevice = false; // --virtual-device: the first input and output use the virtual device
        bool virtualDeviceCable = false;            // --virtual-device=cable: it replies at MIDI cable speed
        uint8_t virtualDeviceId = 0x10;             // --virtual-device-id: the device ID byte it answers to
        CVirtualDevice::Faults virtualDeviceFaults; // --virtual-device-fault: how it misbehaves
        std::string virtualDeviceSamples;           // --samples: WAV/FLAC folder of its user samples
        // Start-up reads the device (or sends the command-line file to it) when the ports
        // are connected; a one-off screenshot turns it off so nothing waits for a reply.
        // Without connected ports start-up says so once either way.
        bool transferAtStart = true;
        // Makes the message box output; tests install a recording output here.
        std::function<CTavTextOut*()> makeMessageBoxOutput;
        // The clock of the device layer's writer, which pauses after every data set; tests
        // hand in one that does not sleep. None: the system clock.
        ITavClock* writerClock = nullptr;
        // Makes the progress bar; tests install one that records its steps.
        std::function<CProgressBar*()> makeProgressBar;
        // Shows a document with the desktop's viewer (the manual); none: QDesktopServices.
        std::function<bool(const QUrl&)> openUrl;
        // The manual Help opens; empty: ManualPath().
        QString manualPath;
        // The folder of the recovery files; empty: CTavRecoveryStore::DefaultFolder().
        QString recoveryFolder;
        // The clock the recovery writes are timed by; none: the system clock.
        ITavClock* recoveryClock = nullptr;
        // Asks whether to recover a file an editor that died left (Yes: true); none: a
        // message box.
        std::function<bool(const QString& question)> askRecover;
    };

    enum class StartResult { Started, HandedOver, Failed };

    CApp(CTavSystem& system, Options options);
    ~CApp() override;

    // Runs the start-up sequence. Failed: the error text has been shown and the process
    // should end with a non-zero status. HandedOver: another copy runs and took the file.
    StartResult InitInstance();
    // Runs the shut-down sequence, in reverse order of start-up.
    void ExitInstance();

    // The work of one idle pass: shows a pending message code once and clears it.
    void OnIdle();
    // Runs a menu command (TavCommands ids).
    void OnCommand(int id);
    // Opens each file in turn, as Open with a path (dropped files). While a modal window
    // (panel, message box, dialog, the save-changes question) is open or a command runs,
    // the files wait and open in arrival order once it is over.
    void OpenFiles(const QStringList& paths);
    // A file handed over by a later copy (empty: only come to the front); waits as above.
    void OnHandOver(const QByteArray& fileName);
    // The files waiting to open, oldest first.
    const std::deque<QByteArray>& PendingOpens() const { return m_pendingOpens; }
    // The most files that wait at a time; later ones are dropped with a warning.
    static constexpr size_t kMaxPendingOpens = 64;
    // Writes the last sent MIDI message to the clipboard output.
    void CopyMidiMessage();
    // The manual beside the program: Manual/VireoEditorManual_E.htm.
    static QString ManualPath();

    // The device layer's side of the device commands; none leaves them disabled.
    void SetDeviceCommands(ITavDeviceCommands* commands) { m_deviceCommands = commands; }
    CFileCommands* Files() const { return m_files.get(); }

    CMainFrame* MainFrame() const { return m_mainFrame.data(); }
    CMidiService* Midi() const { return m_midi.get(); }
    // Opens the named root panel (the main panel is open already), renders it once and
    // saves it as PNG, at the given screen scale (0: the screen's); false with a message on
    // standard error.
    bool Screenshot(const QString& file, const QString& panel, double scale = 0);
    const TavDataFileSettings& DataFileSettings() const { return m_dataFileSettings; }
    bool IsStarted() const { return m_started; }
    // Writes the recovery file when it is due (the timer calls it every second).
    void CheckRecovery();
    const CTavRecoveryStore& Recovery() const { return m_recovery; }
    CTavRecoveryWriter* RecoveryWriter() const { return m_recoveryWriter.get(); }
    // The undo history of the edit state; none before start-up has finished.
    CTavEditHistory* History() const { return m_history.get(); }

private:
    // Start-up steps, in the order they run.
    bool GuardSingleInstance();
    void SetUpSettings();
    void RegisterDocumentType();
    void CloseMidiDevices();
    void ShowSplash();
    void CreateServicesAndOutputs();
    void BuildScriptFolder();
    bool LoadScript();
    void ConfigureDataFileCommands();
    void CreateCursor();
    bool OpenMainPanel();
    void StartDeviceLayer();
    void LoadAndConnectMidiDevices();
    bool OpenCommandLineFileOrReadDevice();
    // Whether a MIDI input and output are connected.
    bool IsLinkUp() const;
    // Runs the device layer's transfer function ("Read" or "Sync") under the wait cursor.
    bool RunDeviceTransfer(const char* function);
    void FinishStartUp();

    // Shut-down steps.
    void ShutDownDeviceLayer();
    void SaveWindowPositions();
    void ReleaseWindowServices();

    // Each time the event loop is about to wait: the title, the tip bar, and queued calls
    // for a pending message code and for files that waited.
    void OnAboutToBlock();
    void Fail(const std::string& text);
    void RefreshSplash();
    void QueueOpen(const QByteArray& fileName);
    // Opens the waiting files while nothing modal is open and no command runs.
    void OpenPendingFiles();
    bool CanOpenNow() const;
    // Whether a long operation is under way: the progress bar is open or a pump runs.
    bool IsOperationRunning() const;
    // Shows the code pending on the buffer output (or fallback when none) once and clears it.
    void ShowPendingCode(int fallback);
    bool CanCloseMainFrame();
    void RunDeviceCommand(int id);
    void OpenManual();
    void RefreshTitle();
    // Follows the edit state from the end of start-up on.
    void StartHistory();
    void Undo(bool redo);
    // The Edit menu's and the tool bar's Undo and Redo, when the history moved.
    void RefreshUndoCommands();
    std::pair<QString, QString> UndoNames() const;
    // Takes a recovery slot and offers what an editor that died left.
    void StartRecovery();
    void OfferRecovery(const CTavRecoveryStore::Left& left);
    // The File menu's recent files, as the list holds them.
    void ShowRecentFiles();
    void OpenRecentFile(int index);

    CTavSystem& m_system;
    Options m_options;
    std::unique_ptr<CSingleInstanceGuard> m_guard;
    std::unique_ptr<CSplashWindow> m_splash;
    std::unique_ptr<CMidiService> m_midi;
    CPanelWindows m_panelWindows;
    std::unique_ptr<CCursor> m_cursor;
    QPointer<CMainFrame> m_mainFrame;
    bool m_started = false;
    bool m_idleQueued = false;
    bool m_openQueued = false;
    int m_busy = 0; // commands and opens running, nested ones included
    std::deque<QByteArray> m_pendingOpens;
    QMetaObject::Connection m_idleConnection;
    TavDataFileSettings m_dataFileSettings;
    CQtSettings m_settings;
    std::unique_ptr<CFileCommands> m_files;
    ITavDeviceCommands* m_deviceCommands = nullptr;
    // The device layer's commands, once the layer has started.
    std::unique_ptr<ITavDeviceCommands> m_ownDeviceCommands;
    std::unique_ptr<CTavEditHistory> m_history;
    uint64_t m_shownHistoryRevision = UINT64_MAX;
    std::unique_ptr<CTavRecentFiles> m_recentFiles;
    CTavRecoveryStore m_recovery;
    std::unique_ptr<CTavRecoveryWriter> m_recoveryWriter;
    std::unique_ptr<CTavRecoveryScheduler> m_recoverySchedule;
    QTimer* m_recoveryTimer = nullptr;
};
