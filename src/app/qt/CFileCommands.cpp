#include "app/qt/CFileCommands.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <filesystem>

#include "app/CTavSystem.h"
#include "app/TavCommands.h"
#include "app/TavStrings.h"
#include "app/qt/CTextOutBox.h"
#include "app/qt/CWaitCursor.h"
#include "app/qt/TavApplicationTitle.h"
#include "model/CTavBufferManager.h"
#include "view/qt/CWindowList.h"

namespace {

// The absolute form of a file name, bytes kept as they are.
QByteArray Absolute(const QByteArray& fileName) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(fileName.toStdString(), error);
    return error ? fileName : QByteArray::fromStdString(path.lexically_normal().string());
}

} // namespace

CFileCommands::CFileCommands(CTavSystem& system, ITavSettings& settings, TavDataFileSettings dataFiles)
    : m_system(system), m_dataFiles(std::move(dataFiles)),
      m_dialog(settings, {"File", m_dataFiles.Filter(), m_dataFiles.DefaultExtension(), QString()}),
      m_smfDialog(settings, SmfDialogKind()) {}

CProfiledFileDialog::Kind CFileCommands::SmfDialogKind() {
    return {"SMF", "Standard MIDI Files(*.mid)|*.mid|All Files(*.*)|*.*||", "mid",
            QCoreApplication::applicationDirPath() + QStringLiteral("/SampleSMF")};
}

bool CFileCommands::IsModified() const {
    const CTavRootStruct* root = m_system.BufferManager().FindRoot(m_dataFiles.rootName);
    return root && root->IsModified();
}

QString CFileCommands::Path() const {
    return QFile::decodeName(m_fileName);
}

QString CFileCommands::Title(const QString& applicationTitle) const {
    const QString name = m_fileName.isEmpty()
                             ? QStringLiteral("Untitled")
                             : QFile::decodeName(QByteArray::fromStdString(
                                   std::filesystem::path(m_fileName.toStdString()).filename()));
    return applicationTitle + QStringLiteral(" - ") + name +
           (IsModified() ? QStringLiteral(" *") : QString());
}

int CFileCommands::Ask(const QString& question) {
    QMessageBox box(QMessageBox::Warning, TavApplicationTitle(), question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    m_windows ? m_windows->TopWindow() : nullptr);
    const CWindowList::CModal modal(m_windows, &box);
    if (ask)
        return ask(question);
    return CTextOutBox::AskAnswer(static_cast<QMessageBox::StandardButton>(box.exec()));
}

bool CFileCommands::AskToSave(bool goOnWhenDialogCancelled) {
    const std::string_view format = TavStrings::Text(TavStrings::kSaveChanges);
    QString question = QString::fromUtf8(format.data(), qsizetype(format.size()));
    question.replace(QStringLiteral("%1"), m_fileName.isEmpty() ? QStringLiteral("Untitled") : Path());
    switch (Ask(question)) {
    case 2:
        switch (SaveTo(m_fileName)) {
        case SaveResult::Saved:
            return true;
        case SaveResult::Cancelled:
            return goOnWhenDialogCancelled;
        case SaveResult::Failed:
            return false;
        }
        return false;
    case 3:
        return true;
    default:
        return false;
    }
}

bool CFileCommands::Open(const QString& path) {
    return OpenEncoded(QFile::encodeName(path));
}

bool CFileCommands::OpenEncoded(const QByteArray& fileName) {
    if (!AskToSave(true))
        return false;
    QByteArray chosen = fileName;
    if (chosen.isEmpty())
        chosen = QFile::encodeName(m_dialog.ChooseOpen(m_windows));
    if (chosen.isEmpty())
        return false;
    return LoadEncoded(chosen);
}

bool CFileCommands::Load(const QString& path) {
    return LoadEncoded(QFile::encodeName(path));
}

bool CFileCommands::LoadEncoded(const QByteArray& fileName) {
    CWaitCursor wait;
    CTavBufferManager& buffers = m_system.BufferManager();
    // Opening replaces the whole edit state, and can be taken back.
    const CTavBufferManager::CAction action(buffers, "Open", TavActionScope::kWholeState);
    CTavDataFile file(buffers, m_system.BufferOutput(), m_dataFiles);
    if (!file.Load(fileName.toStdString()))
        return false;
    m_fileName = Absolute(fileName);
    if (fileUsed)
        fileUsed(m_fileName);
    if (afterLoad)
        afterLoad();
    buffers.PublishPending();
    buffers.ClearPending();
    return true;
}

bool CFileCommands::Recover(const QByteArray& fileName) {
    CWaitCursor wait;
    CTavBufferManager& buffers = m_system.BufferManager();
    const CTavBufferManager::CAction action(buffers, "Recover", TavActionScope::kWholeState);
    CTavDataFile file(buffers, m_system.BufferOutput(), m_dataFiles);
    if (!file.Load(fileName.toStdString()))
        return false;
    m_fileName.clear();
    if (afterLoad)
        afterLoad();
    // Nothing of it has been saved.
    if (CTavRootStruct* root = buffers.FindRoot(m_dataFiles.rootName))
        root->SetModified(true);
    buffers.PublishPending();
    buffers.ClearPending();
    return true;
}

bool CFileCommands::Save() {
    return SaveTo(m_fileName) == SaveResult::Saved;
}

bool CFileCommands::SaveAs() {
    return SaveTo(QByteArray()) == SaveResult::Saved;
}

CFileCommands::SaveResult CFileCommands::SaveTo(QByteArray fileName) {
    if (fileName.isEmpty())
        fileName = QFile::encodeName(m_dialog.ChooseSave(m_windows, Path()));
    if (fileName.isEmpty())
        return SaveResult::Cancelled;
    CWaitCursor wait;
    CTavDataFile file(m_system.BufferManager(), m_system.BufferOutput(), m_dataFiles);
    if (!file.Save(fileName.toStdString()))
        return SaveResult::Failed;
    m_fileName = Absolute(fileName);
    if (fileUsed)
        fileUsed(m_fileName);
    return SaveResult::Saved;
}

bool CFileCommands::CanClose() {
    return !IsModified() || AskToSave(false);
}

bool CFileCommands::RunSmfCommand(int id, ITavDeviceCommands& device) {
    const TavCommands::MenuItem* item = TavCommands::FindMenuItem(id);
    const bool import = id == TavCommands::kImportSmf;
    if (!item || (!import && id != TavCommands::kExportPartInfo && id != TavCommands::kExportPartInfoAndSets) ||
        !device.IsEnabled(*item))
        return false;
    const QString path = import ? m_smfDialog.ChooseOpen(m_windows) : m_smfDialog.ChooseSave(m_windows, QString());
    if (path.isEmpty())
        return false;
    CWaitCursor wait;
    // An import replaces part settings, patches and rhythm sets, and can be taken back.
    const CTavBufferManager::CAction action(m_system.BufferManager(), import ? "Import SMF" : "",
                                            import ? TavActionScope::kWholeState : TavActionScope::kTouched);
    if (!device.Run(*item, QFile::encodeName(path).toStdString()))
        return false;
    if (import) {
        CTavBufferManager& buffers = m_system.BufferManager();
        buffers.PublishPending();
        buffers.ClearPending();
    }
    return true;
}
