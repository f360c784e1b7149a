#include "app/qt/CApp.h"

#include <cstdio>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QThread>
#include <QUrl>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "app/TavCommands.h"
#include "app/TavStartup.h"
#include "app/TavStrings.h"
#include "app/qt/CAboutDialog.h"
#include "app/qt/CClipboard.h"
#include "app/qt/CFunctionPostCaller.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/CProgressBar.h"
#include "app/qt/CSingleInstanceGuard.h"
#include "app/qt/CSplashWindow.h"
#include "app/qt/CTextOutBox.h"
#include "app/qt/CWaitCursor.h"
#include "app/qt/TavApplicationTitle.h"
#include "device/CTavBufferAccessor.h"
#include "device/CTavEditCommands.h"
#include "device/port/CQueuedDeviceReader.h"
#include "files/TavSafeFile.h"
#include "midi/qt/CMidiService.h"
#include "midi/qt/CMidiSetupDialog.h"
#include "model/CTavBufferManager.h"
#include "model/CTavEditHistory.h"
#include "script/qt/CResourceFactory.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/qt/CCursor.h"
#include "view/qt/CInputGate.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CPopupMenu.h"
#include "view/qt/CTipBar.h"
#include "view/qt/CViewFactory.h"

namespace {

// Counts a command or an open while it runs.
class CBusy {
public:
    explicit CBusy(int& count) : m_count(count) { ++m_count; }
    ~CBusy() { --m_count; }
    CBusy(const CBusy&) = delete;
    CBusy& operator=(const CBusy&) = delete;

private:
    int& m_count;
};

} // namespace

CApp::CApp(CTavSystem& system, Options options) : m_system(system), m_options(std::move(options)) {}

CApp::~CApp() {
    ShutDownDeviceLayer();
    // The message box output belongs to the root object, which outlives the window list.
    if (auto* box = dynamic_cast<CTextOutBox*>(m_system.MessageBoxOutput()))
        box->SetWindowList(nullptr);
    if (auto* progress = dynamic_cast<CProgressBar*>(m_system.ProgressBar()))
        progress->SetWindowList(nullptr);
    ReleaseWindowServices();
    if (m_idleConnection)
        disconnect(m_idleConnection);
    delete m_mainFrame.data();
}

CApp::StartResult CApp::InitInstance() {
    m_options.filePath =
        QByteArray::fromStdString(TavResolveCommandLineFile(m_options.filePath.toStdString()));
    if (!GuardSingleInstance())
        return StartResult::HandedOver;
    SetUpSettings();
    RegisterDocumentType();
    CloseMidiDevices();
    ShowSplash();
    CreateServicesAndOutputs();
    RefreshSplash();
    BuildScriptFolder();
    if (!LoadScript())
        return StartResult::Failed;
    RefreshSplash();
    ConfigureDataFileCommands();
    CreateCursor();
    if (!OpenMainPanel())
        return StartResult::Failed;
    RefreshSplash();
    StartDeviceLayer();
    LoadAndConnectMidiDevices();
    if (!OpenCommandLineFileOrReadDevice())
        return StartResult::Failed;
    FinishStartUp();
    return StartResult::Started;
}

bool CApp::GuardSingleInstance() {
    const QString name =
        m_options.instanceName.isEmpty() ? CSingleInstanceGuard::DefaultServerName() : m_options.instanceName;
    m_guard = std::make_unique<CSingleInstanceGuard>(name);
    if (!m_guard->Acquire(m_options.filePath))
        return false;
    connect(m_guard.get(), &CSingleInstanceGuard::handOver, this, &CApp::OnHandOver);
    return true;
}

void CApp::SetUpSettings() {
    QCoreApplication::setOrganizationName(
        QString::fromUtf8(CTavSystem::kCompanyKey.data(), qsizetype(CTavSystem::kCompanyKey.size())));
    QCoreApplication::setApplicationName(QStringLiteral("VireoEditor"));
    // Qt's window-system plugins append the display name to every window title that does
    // not end with it ("Vireo Editor - Untitled — Vireo Editor"); the titles set here are
    // complete, so the name appended is empty.
    QGuiApplication::setApplicationDisplayName(QString());
    QSettings::setDefaultFormat(QSettings::IniFormat);
}

// The installed .desktop file and MIME type register ".vro" documents with the desktop;
// nothing is written at run time.
void CApp::RegisterDocumentType() {}

void CApp::CloseMidiDevices() {
    if (m_midi)
        m_midi->CloseAll();
}

void CApp::ShowSplash() {
    if (!m_options.showSplash)
        return;
    m_splash = std::make_unique<CSplashWindow>();
    m_splash->show();
    m_splash->Refresh();
}

void CApp::RefreshSplash() {
    if (m_splash)
        m_splash->Refresh();
}

void CApp::CreateServicesAndOutputs() {
    // The resource and view factories, the function post caller, the tip bar, the progress
    // bar and the popup menu join here as their subsystems arrive.
    CTavTextOut* messageBox =
        m_options.makeMessageBoxOutput ? m_options.makeMessageBoxOutput() : new CTextOutBox;
    m_system.SetTextOut(CTavSystem::kMessageBoxOutput, messageBox);
    m_system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    m_system.SetTextOut(CTavSystem::kClipboardOutput, new CClipboard);
    m_system.SetTextOut(CTavSystem::kProgressBar,
                        m_options.makeProgressBar ? m_options.makeProgressBar() : new CProgressBar);
    m_system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
    m_system.AttachErrorOutputToManagers();
    m_system.SetResourceFactory(std::make_unique<CResourceFactory>());
    m_system.ViewManager().SetViewFactory(std::make_unique<CViewFactory>(m_panelWindows));
    // Controls are named after their values as the undo steps are.
    m_system.ViewManager().SetValueNamer(&TavCommands::ValueStepName);
    m_system.SetTipBar(std::make_unique<CTipBar>());
    m_system.SetPopupMenu(std::make_unique<CPopupMenu>());
    m_system.SetFunctionPostCaller(std::make_unique<CFunctionPostCaller>());
}

void CApp::BuildScriptFolder() {
    m_system.SetScriptFolder(TavResolveScriptFolder(
        QCoreApplication::applicationDirPath().toStdString() + "/", m_options.scriptDir.toStdString(),
        qEnvironmentVariable("VIREO_SCRIPT_DIR").toStdString()));
}

bool CApp::LoadScript() {
    std::string failure;
    if (TavLoadScriptAndCreateManagers(m_system, failure))
        return true;
    Fail(failure);
    return false;
}

void CApp::ConfigureDataFileCommands() {
    m_dataFileSettings.rootName = std::string(CTavSystem::kRootName);
    m_dataFileSettings.modelName = std::string(CTavSystem::kModelName);
    m_dataFileSettings.extension = std::string(CTavSystem::kDataFileExtension);
    m_files = std::make_unique<CFileCommands>(m_system, m_settings, m_dataFileSettings);
}

// Controls set their own cursors once they exist.
// The tip bar is a window, the popup menu holds a style and the cursor service belongs to
// this object: all go before the application object does.
void CApp::ReleaseWindowServices() {
    m_system.SetTipBar(nullptr);
    m_system.SetPopupMenu(nullptr);
    if (CTavCursor::Current() == m_cursor.get())
        CTavCursor::SetCurrent(nullptr);
    m_cursor.reset();
}

void CApp::CreateCursor() {
    m_cursor = std::make_unique<CCursor>();
    CTavCursor::SetCurrent(m_cursor.get());
}

bool CApp::OpenMainPanel() {
    m_mainFrame = new CMainFrame;
    m_mainFrame->UseArtwork(QFile::decodeName(QByteArray::fromStdString(m_system.ScriptFolder())));
    m_mainFrame->LoadBarState(m_settings);
    m_mainFrame->canClose = [this] { return CanCloseMainFrame(); };
    m_mainFrame->undoNames = [this] { return UndoNames(); };
    m_mainFrame->commandEnabled = [this](int id) {
        const TavCommands::MenuItem* item = TavCommands::FindMenuItem(id);
        return item && m_deviceCommands && m_deviceCommands->IsEnabled(*item);
    };
    connect(m_mainFrame, &CMainFrame::commandTriggered, this, &CApp::OnCommand);
    connect(m_mainFrame, &CMainFrame::recentFileChosen, this, &CApp::OpenRecentFile);
    m_recentFiles = std::make_unique<CTavRecentFiles>(m_settings);
    m_files->fileUsed = [this](const QByteArray& fileName) {
        m_recentFiles->Add(QFile::decodeName(fileName).toStdString());
        ShowRecentFiles();
    };
    ShowRecentFiles();
    connect(m_mainFrame, &CMainFrame::filesDropped, this, &CApp::OpenFiles);
    m_files->SetWindowList(&m_panelWindows.windows);
    m_panelWindows.showInMainWindow = [this](CPanelWidget* widget) {
        if (m_mainFrame)
            m_mainFrame->SetPanelWidget(widget);
    };
    if (CTavRootPanel* main = m_system.ViewManager().FindRootPanel("main"))
        m_mainFrame->move(main->WindowPosition().x, main->WindowPosition().y);
    if (!m_system.ViewManager().OpenRootPanel("main")) {
        delete m_mainFrame.data();
        Fail(m_system.ErrorText() + "Unable to open main panel.\n");
        return false;
    }
    // The main panel's window hook puts its widget into the main window.
    m_mainFrame->show();
    m_mainFrame->BringToFront();
    if (auto* box = dynamic_cast<CTextOutBox*>(m_system.MessageBoxOutput()))
        box->SetWindowList(&m_panelWindows.windows);
    if (auto* progress = dynamic_cast<CProgressBar*>(m_system.ProgressBar())) {
        progress->SetOwner(m_mainFrame);
        progress->SetWindowList(&m_panelWindows.windows);
    }
    return true;
}

namespace {

// The device reader of the editor: its pump dispatches received MIDI messages and pending
// repaints, no timers and no sockets; keyboard and mouse input is read and dropped (but for
// the progress dialog's), so nothing the user does meanwhile runs after the answer.
class CDeviceReader : public Brio::CQueuedDeviceReader {
public:
    CDeviceReader(CTavSystem& system, CMidiEventQueue& queue)
        : CQueuedDeviceReader(system, Brio::CTavBufferAccessor::Instance().Entities(), queue) {}

protected:
    void Pump() override {
        CInputGate::Pump(QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers);
        CQueuedDeviceReader::Pump();
    }
};

} // namespace

void CApp::StartDeviceLayer() {
    if (!m_midi)
        m_midi = std::make_unique<CMidiService>(m_system);
    Brio::CTavBufferAccessor& device = Brio::CTavBufferAccessor::Instance();
    if (!device.Start(m_system, std::make_unique<CDeviceReader>(m_system, m_midi->Queue()),
                      std::make_unique<Brio::CTavWriter>(m_system.BufferManager(),
                                                         m_options.writerClock ? *m_options.writerClock
                                                                               : TavSystemClock())))
        return;
    device.SetWaitCursor([](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    // Read, Sync and the name reads need the first input on a port as well as the output.
    device.SetInputLink([this] {
        return m_midi && m_midi->Setup() && m_midi->Setup()->InputPortName(0) != CMidiSetup::kNone;
    });
    m_ownDeviceCommands = std::make_unique<Brio::CTavDeviceCommands>(device);
    SetDeviceCommands(m_ownDeviceCommands.get());
}

void CApp::LoadAndConnectMidiDevices() {
    if (!m_midi)
        m_midi = std::make_unique<CMidiService>(m_system);
    m_midi->ConfigureVirtualDevice(m_options.virtualDeviceId, m_options.virtualDeviceCable);
    m_midi->VirtualDevice().WithDevice(
        [this](CVirtualDevice& device) { device.InjectedFaults() = m_options.virtualDeviceFaults; });
    m_midi->VirtualDevice().SetSampleFolder(m_options.virtualDeviceSamples);
    m_midi->LoadAndConnect(m_options.virtualDevice);
    // The MIDI service installs its own transfer; the device layer's takes the first input
    // and output back.
    Brio::CTavBufferAccessor& device = Brio::CTavBufferAccessor::Instance();
    if (device.Reader() && device.Writer())
        TavInstallTransfer(m_system.MidiManager(), *device.Reader(), *device.Writer());
    QCoreApplication::processEvents();
}

bool CApp::IsLinkUp() const {
    return m_midi && m_midi->Setup() && m_midi->Setup()->IsConnected();
}

// The device layer registers "Read" and "Sync" by name; each opens the progress bar itself.
bool CApp::RunDeviceTransfer(const char* function) {
    const CWaitCursor wait;
    return m_system.FunctionManager().Call(function, std::string());
}

// With a file: load it and send it to the device; without: read the device. Without
// connected ports the user is told once that MIDI is not set up, and the editor starts
// from the file or from the defaults.
bool CApp::OpenCommandLineFileOrReadDevice() {
    const bool hasFile = !m_options.filePath.isEmpty();
    // What the loaded parts play shows in the part context; once started, a file that
    // opens is also sent to the device while the link is up (the command-line file is
    // sent below).
    m_files->afterLoad = [this] {
        Brio::CTavBufferAccessor::Instance().ReapplyPartEntities();
        if (m_started && IsLinkUp())
            RunDeviceTransfer("Sync");
    };
    if (hasFile && !m_files->LoadEncoded(m_options.filePath)) {
        m_splash.reset();
        ShowPendingCode(TavStrings::kCodeLoadFailed);
        return false;
    }
    if (!IsLinkUp()) {
        if (CTavTextOut* box = m_system.MessageBoxOutput())
            box->Report(TavStrings::kCodeMidiNotSetUp);
    } else if (m_options.transferAtStart) {
        m_splash.reset(); // the progress bar shows instead
        RunDeviceTransfer(hasFile ? "Sync" : "Read");
    }
    CTavBufferManager& buffers = m_system.BufferManager();
    buffers.PublishPending();
    buffers.ClearPending();
    if (CTavRootStruct* root = buffers.FindRoot(CTavSystem::kRootName))
        root->SetModified(false);
    return true;
}

void CApp::FinishStartUp() {
    m_splash.reset();
    if (m_mainFrame)
        m_mainFrame->setAcceptDrops(true);
    m_idleConnection = connect(QAbstractEventDispatcher::instance(QThread::currentThread()),
                               &QAbstractEventDispatcher::aboutToBlock, this, &CApp::OnAboutToBlock);
    StartHistory();
    m_started = true;
    StartRecovery();
}

void CApp::ShowRecentFiles() {
    if (!m_mainFrame || !m_recentFiles)
        return;
    QStringList texts, paths;
    const std::vector<std::string>& files = m_recentFiles->Files();
    for (size_t i = 0; i < files.size(); ++i) {
        texts << QString::fromStdString(CTavRecentFiles::MenuText(i, files[i]));
        paths << QString::fromStdString(files[i]);
    }
    m_mainFrame->SetRecentFiles(texts, paths);
}

void CApp::OpenRecentFile(int index) {
    if (!m_recentFiles || index < 0 || static_cast<size_t>(index) >= m_recentFiles->Files().size())
        return;
    const std::string path = m_recentFiles->Files()[static_cast<size_t>(index)];
    const QString shown = QString::fromStdString(path);
    if (!QFileInfo(shown).isFile()) {
        m_recentFiles->Remove(path);
        ShowRecentFiles();
        if (CTavTextOut* box = m_system.MessageBoxOutput())
            box->Write("The file " + path +
                       " no longer exists; it was taken off the list of recent files.\n");
        return;
    }
    const CBusy busy(m_busy);
    const CTavBufferManager::CAction action(m_system.BufferManager(), "Open");
    m_files->Open(shown);
    RefreshTitle();
}

void CApp::StartRecovery() {
    CTavTextOut* errors = m_system.ErrorOutput();
    std::string why;
    const QString folder = m_options.recoveryFolder;
    if (!m_recovery.Open(folder.isEmpty() ? CTavRecoveryStore::DefaultFolder()
                                          : QFile::encodeName(folder).toStdString(),
                         &why)) {
        if (errors)
            errors->Printf("Edits will not be kept for recovery after a crash: %s.\n", why.c_str());
        return;
    }
    m_recoveryWriter = std::make_unique<CTavRecoveryWriter>();
    m_recoverySchedule = std::make_unique<CTavRecoveryScheduler>(
        m_options.recoveryClock ? *m_options.recoveryClock : TavSystemClock());
    std::vector<CTavRecoveryStore::Left> left = m_recovery.FindLeft();
    // The newest is offered; older ones are kept aside, never deleted.
    for (size_t i = 1; i < left.size(); ++i)
        m_recovery.PutAside(left[i], ".old");
    if (!left.empty())
        OfferRecovery(left.front());
    m_recoveryTimer = new QTimer(this);
    m_recoveryTimer->setInterval(1000);
    connect(m_recoveryTimer, &QTimer::timeout, this, &CApp::CheckRecovery);
    m_recoveryTimer->start();
}

void CApp::OfferRecovery(const CTavRecoveryStore::Left& left) {
    const QString time = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(left.saved))
                             .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const QString question = QStringLiteral("Recover the changes that were not saved (%1)?").arg(time);
    const bool yes = m_options.askRecover ? m_options.askRecover(question)
                                          : QMessageBox::question(m_mainFrame, TavApplicationTitle(),
                                                                  question) == QMessageBox::Yes;
    if (!yes) {
        CTavRecoveryStore::Remove(left.path);
        return;
    }
    if (m_files->Recover(QFile::encodeName(QString::fromStdString(left.path)))) {
        CTavRecoveryStore::Remove(left.path);
        if (m_recoverySchedule)
            m_recoverySchedule->WriteSoon();
        RefreshTitle();
        return;
    }
    // The failed load changed nothing; the file stays where the user can find it.
    if (CTavTextOut* buffer = m_system.BufferOutput())
        buffer->Report(0);
    const std::string aside = m_recovery.PutAside(left);
    if (CTavTextOut* box = m_system.MessageBoxOutput())
        box->Write("The recovery file could not be read; it was kept as " +
                   (aside.empty() ? left.path : aside) + ".\n");
}

void CApp::CheckRecovery() {
    if (!m_recovery.IsOpen() || !m_recoveryWriter || !m_recoverySchedule || IsOperationRunning())
        return;
    if (const std::string failure = m_recoveryWriter->TakeFailure(); !failure.empty())
        if (CTavTextOut* errors = m_system.ErrorOutput())
            errors->Write(failure + "\n");
    const CTavRootStruct* root = m_system.BufferManager().FindRoot(CTavSystem::kRootName);
    if (!root || !root->IsModified()) {
        // Saved (or nothing changed): there is nothing to recover.
        m_recoveryWriter->Flush();
        CTavRecoveryStore::Remove(m_recovery.Path());
        return;
    }
    m_recoverySchedule->Changed(m_history ? m_history->Revision() + 1 : 1);
    if (!m_recoverySchedule->Due())
        return;
    std::vector<uint8_t> bytes;
    CTavDataFile file(m_system.BufferManager(), nullptr, m_dataFileSettings);
    if (file.Encode(bytes))
        m_recoveryWriter->Post(m_recovery.Path(), std::move(bytes));
}

void CApp::StartHistory() {
    CTavBufferManager& buffers = m_system.BufferManager();
    m_history = std::make_unique<CTavEditHistory>(buffers);
    if (!m_history->Attach(CTavSystem::kRootName)) {
        m_history.reset();
        return;
    }
    // Undo shows the part and the pages where the step was made.
    std::vector<CTavValue*> context;
    for (const char* path : {"vs.control.partId", "vs.control.mainPage", "vs.control.editorPage",
                             "vs.control.patchTone", "vs.control.rhythmWMT", "vs.control.rhythmTone"})
        if (CTavValue* value = buffers.FindValue(path))
            context.push_back(value);
    m_history->SetContextValues(std::move(context));
    m_history->SetNamer(&TavCommands::ValueStepName);
    // What each part plays follows the programs written back, as after Open.
    m_history->SetAfterApply([] { Brio::CTavBufferAccessor::Instance().ReapplyPartEntities(); });
    RefreshUndoCommands();
}

void CApp::Undo(bool redo) {
    if (!m_history || IsOperationRunning())
        return;
    const CWaitCursor wait;
    if (redo)
        m_history->Redo();
    else
        m_history->Undo();
    RefreshUndoCommands();
}

void CApp::RefreshUndoCommands() {
    if (!m_mainFrame)
        return;
    const uint64_t revision = m_history ? m_history->Revision() : 0;
    if (revision == m_shownHistoryRevision)
        return;
    m_shownHistoryRevision = revision;
    const auto [undo, redo] = UndoNames();
    m_mainFrame->RefreshUndo(undo, redo);
}

std::pair<QString, QString> CApp::UndoNames() const {
    auto text = [](std::string_view name) { return QString::fromUtf8(name.data(), qsizetype(name.size())); };
    if (!m_history)
        return {};
    return {text(m_history->UndoName()), text(m_history->RedoName())};
}

void CApp::OnAboutToBlock() {
    RefreshTitle();
    RefreshUndoCommands();
    // Whatever sent the last message (an edit, a transfer, an import), the line shows it.
    m_system.BufferManager().RefreshMidiMessageValues();
    if (ITavTipBar* tipBar = m_system.ViewManager().TipBar())
        tipBar->UpdateAtIdle();
    // An operation that waits with the progress bar open runs event loops of its own; its
    // messages show once it is over.
    if (IsOperationRunning())
        return;
    // Message boxes run their own event loop, so the work is queued rather than done
    // inside the dispatcher.
    const bool keyPending =
        Brio::CTavBufferAccessor::Instance().PendingRhythmKey() != Brio::CTavBufferAccessor::kNoRhythmKey;
    if (!m_idleQueued && (m_system.PendingCode() != 0 || keyPending)) {
        m_idleQueued = true;
        QMetaObject::invokeMethod(this, &CApp::OnIdle, Qt::QueuedConnection);
    }
    // Files that waited for a modal window open once it has gone.
    if (!m_openQueued && !m_pendingOpens.empty() && CanOpenNow()) {
        m_openQueued = true;
        QMetaObject::invokeMethod(this, &CApp::OpenPendingFiles, Qt::QueuedConnection);
    }
}

void CApp::OnIdle() {
    m_idleQueued = false;
    if (IsOperationRunning())
        return; // the next idle pass after it queues the work again
    Brio::CTavBufferAccessor::Instance().OnIdle();
    ShowPendingCode(0);
}

void CApp::ShowPendingCode(int fallback) {
    const int code = m_system.PendingCode() != 0 ? m_system.PendingCode() : fallback;
    if (code == 0)
        return;
    // Cleared before the box is shown, so a code reported while the box is open is not lost.
    if (CTavTextOut* buffer = m_system.BufferOutput())
        buffer->Report(0);
    if (CTavTextOut* box = m_system.MessageBoxOutput())
        box->Report(code);
}

bool CApp::Screenshot(const QString& file, const QString& panelName, double scale) {
    const std::string name = panelName.isEmpty() ? std::string("main") : panelName.toStdString();
    CTavViewManager& views = m_system.ViewManager();
    auto* panel = dynamic_cast<CRootPanel*>(views.FindRootPanel(name));
    if (!panel) {
        std::fprintf(stderr, "There is no root panel named %s.\n", name.c_str());
        return false;
    }
    if (!panel->IsOpen() && !views.OpenRootPanel(name)) {
        std::fprintf(stderr, "%sUnable to open the root panel %s.\n", m_system.ErrorText().c_str(),
                     name.c_str());
        return false;
    }
    // Encoded in memory and saved as data files are, so a full disk or a FIFO in the
    // picture's place leaves nothing half written and blocks nothing.
    QByteArray png;
    QBuffer buffer(&png);
    std::string why = "the picture could not be encoded";
    if (!panel->Widget() || !buffer.open(QIODevice::WriteOnly) ||
        !panel->Widget()->Render(scale).save(&buffer, "PNG") ||
        !TavSaveFileSafely(QFile::encodeName(file).toStdString(),
                           reinterpret_cast<const uint8_t*>(png.constData()), static_cast<size_t>(png.size()),
                           &why)) {
        std::fprintf(stderr, "Unable to write the picture %s: %s.\n", file.toLocal8Bit().constData(),
                     why.c_str());
        return false;
    }
    return true;
}

void CApp::OnHandOver(const QByteArray& fileName) {
    if (!m_started || !m_mainFrame)
        return;
    m_mainFrame->BringToFront();
    // A modal window stays in front of the main window.
    if (QWidget* top = m_panelWindows.windows.TopWindow(); top && top != m_mainFrame) {
        top->raise();
        top->activateWindow();
    }
    if (fileName.isEmpty())
        return;
    QueueOpen(fileName);
    OpenPendingFiles();
}

void CApp::OpenFiles(const QStringList& paths) {
    for (const QString& path : paths)
        QueueOpen(QFile::encodeName(path));
    OpenPendingFiles();
}

void CApp::QueueOpen(const QByteArray& fileName) {
    if (m_pendingOpens.size() >= kMaxPendingOpens) {
        qWarning("Too many files wait to open; %s is dropped", fileName.constData());
        return;
    }
    m_pendingOpens.push_back(fileName);
}

bool CApp::IsOperationRunning() const {
    const auto* progress = dynamic_cast<const CProgressBar*>(m_system.ProgressBar());
    return CInputGate::IsPumping() || (progress && progress->IsRunning());
}

bool CApp::CanOpenNow() const {
    return m_started && m_mainFrame && m_files && m_busy == 0 && !IsOperationRunning() &&
           !m_panelWindows.windows.HasModal() && !QApplication::activeModalWidget();
}

void CApp::OpenPendingFiles() {
    m_openQueued = false;
    while (!m_pendingOpens.empty() && CanOpenNow()) {
        const QByteArray next = m_pendingOpens.front();
        m_pendingOpens.pop_front();
        const CBusy busy(m_busy);
        m_files->OpenEncoded(next);
        RefreshTitle();
    }
}

void CApp::RefreshTitle() {
    if (m_mainFrame && m_files)
        m_mainFrame->RefreshTitle(m_files->Title(TavApplicationTitle()));
}

bool CApp::CanCloseMainFrame() {
    if (!m_files->CanClose())
        return false;
    m_mainFrame->SaveBarState(m_settings);
    return true;
}

void CApp::OnCommand(int id) {
    if (id == TavCommands::kUndo || id == TavCommands::kRedo) {
        Undo(id == TavCommands::kRedo);
        RefreshTitle();
        return;
    }
    // Files handed over meanwhile wait until the command is over.
    const CBusy busy(m_busy);
    // A command that changed the state (a Paste, an Initialize, an import) is kept for
    // recovery at once, once its step is over.
    struct CWriteAfter {
        CApp& app;
        uint64_t revision;
        ~CWriteAfter() {
            if (app.m_history && app.m_recoverySchedule && app.m_history->Revision() != revision) {
                app.m_recoverySchedule->WriteSoon();
                app.CheckRecovery();
            }
        }
    } writeAfter{*this, m_history ? m_history->Revision() : 0};
    // Whatever the command changes is one step, named after it.
    const TavCommands::MenuItem* item = TavCommands::FindMenuItem(id);
    const CTavBufferManager::CAction action(m_system.BufferManager(),
                                            item ? TavCommands::ActionName(*item) : std::string());
    switch (id) {
    case TavCommands::kOpen:
        m_files->Open();
        break;
    case TavCommands::kSave:
        m_files->Save();
        break;
    case TavCommands::kSaveAs:
        m_files->SaveAs();
        break;
    case TavCommands::kExit:
        if (m_mainFrame)
            m_mainFrame->close();
        return;
    case TavCommands::kCopyMidiMessage:
        CopyMidiMessage();
        return;
    case TavCommands::kMidiSetup:
        if (m_midi)
            CMidiSetupDialog::Run(*m_midi, m_panelWindows.windows.TopWindow());
        return;
    case TavCommands::kManual:
        OpenManual();
        return;
    case TavCommands::kShowMixer:
    case TavCommands::kShowEffects:
    case TavCommands::kShowSetup:
        // As a click on the page's tab does: the page value written as a user edit.
        if (CTavValue* page = m_system.BufferManager().FindValue(TavCommands::kMainPagePath))
            TavSetValueInteger(m_system.BufferManager(), *page, TavCommands::MainPage(id));
        return;
    case TavCommands::kAbout: {
        CAboutDialog about(m_panelWindows.windows.TopWindow());
        const CWindowList::CModal modal(&m_panelWindows.windows, &about);
        about.exec();
        return;
    }
    default:
        RunDeviceCommand(id);
        return;
    }
    RefreshTitle();
}

void CApp::RunDeviceCommand(int id) {
    const TavCommands::MenuItem* item = TavCommands::FindMenuItem(id);
    if (!item || !item->deviceCommand || !m_deviceCommands || !m_deviceCommands->IsEnabled(*item))
        return;
    if (id == TavCommands::kImportSmf || id == TavCommands::kExportPartInfo ||
        id == TavCommands::kExportPartInfoAndSets) {
        m_files->RunSmfCommand(id, *m_deviceCommands);
        return;
    }
    CWaitCursor wait;
    m_deviceCommands->Run(*item, std::string());
}

void CApp::CopyMidiMessage() {
    std::string text;
    m_system.BufferManager().RefreshMidiMessageValues();
    if (const CTavValue* value = m_system.BufferManager().FirstMidiMessageValue())
        text = value->GetText();
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    if (CTavTextOut* clipboard = m_system.TextOut(CTavSystem::kClipboardOutput))
        clipboard->Write(text);
}

QString CApp::ManualPath() {
    const std::string_view relative = TavStrings::Text(TavStrings::kManualPath);
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') +
           QString::fromUtf8(relative.data(), qsizetype(relative.size()));
}

void CApp::OpenManual() {
    const QString path = m_options.manualPath.isEmpty() ? ManualPath() : m_options.manualPath;
    const char* reason = nullptr;
    if (!QFileInfo(path).isFile())
        reason = "there is no such file";
    else if (!(m_options.openUrl ? m_options.openUrl(QUrl::fromLocalFile(path))
                                 : QDesktopServices::openUrl(QUrl::fromLocalFile(path))))
        reason = "no program to show it was found";
    if (!reason)
        return;
    if (CTavTextOut* box = m_system.MessageBoxOutput())
        box->Write("Unable to open the manual " + QFile::encodeName(path).toStdString() + ": " + reason +
                   ".\n");
}

void CApp::Fail(const std::string& text) {
    m_splash.reset();
    if (CTavTextOut* box = m_system.MessageBoxOutput())
        box->Write(text);
}

void CApp::ShutDownDeviceLayer() {
    if (m_deviceCommands == m_ownDeviceCommands.get())
        SetDeviceCommands(nullptr);
    m_ownDeviceCommands.reset();
    Brio::CTavBufferAccessor& device = Brio::CTavBufferAccessor::Instance();
    device.SetWaitCursor(nullptr);
    device.Shutdown();
}

void CApp::SaveWindowPositions() {
    // The main window's place is the main panel's window position.
    CTavRootPanel* main = m_system.ViewManager().FindRootPanel("main");
    if (main && m_mainFrame)
        main->SetWindowPosition({m_mainFrame->x(), m_mainFrame->y()});
    m_system.LoadWindowPositions(false);
}

void CApp::ExitInstance() {
    if (m_idleConnection)
        disconnect(m_idleConnection);
    m_history.reset();
    // A clean exit leaves nothing to recover.
    delete m_recoveryTimer;
    m_recoveryTimer = nullptr;
    m_recoveryWriter.reset();
    m_recoverySchedule.reset();
    m_recovery.CloseCleanly();
    m_pendingOpens.clear();
    ShutDownDeviceLayer();
    CloseMidiDevices();
    m_midi.reset();
    SaveWindowPositions();
    m_system.Shutdown();
    ReleaseWindowServices();
    delete m_mainFrame.data();
    m_guard.reset();
    m_started = false;
}
