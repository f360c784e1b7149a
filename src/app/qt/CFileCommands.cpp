#include "app/qt/CFileCommands.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include "app/CTavSystem.h"
#include "app/TavStrings.h"
#include "app/qt/CTextOutBox.h"
#include "app/qt/CWaitCursor.h"
#include "model/CTavBufferManager.h"

namespace {

std::string FileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

CFileCommands::CFileCommands(CTavSystem& system, ITavSettings& settings, TavDataFileSettings dataFiles)
    : m_system(system), m_dataFiles(std::move(dataFiles)),
      m_dialog(settings, {"File", m_dataFiles.Filter(), m_dataFiles.DefaultExtension(), QString()}) {}

bool CFileCommands::IsModified() const {
    const CTavRootStruct* root = m_system.BufferManager().FindRoot(m_dataFiles.rootName);
    return root && root->IsModified();
}

QString CFileCommands::Title(const QString& applicationTitle) const {
    const QString name = m_path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(m_path).fileName();
    return applicationTitle + QStringLiteral(" - ") + name + (IsModified() ? QStringLiteral(" *") : QString());
}

int CFileCommands::Ask(const QString& question) {
    if (ask)
        return ask(question);
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_owner.data());
    return CTextOutBox::AskAnswer(static_cast<QMessageBox::StandardButton>(box.exec()));
}

bool CFileCommands::AskToSave(bool goOnWhenDialogCancelled) {
    const std::string_view format = TavStrings::Text(TavStrings::kSaveChanges);
    QString question = QString::fromUtf8(format.data(), qsizetype(format.size()));
    question.replace(QStringLiteral("%1"), m_path.isEmpty() ? QStringLiteral("Untitled") : m_path);
    switch (Ask(question)) {
    case 2:
        switch (SaveTo(m_path)) {
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
    if (!AskToSave(true))
        return false;
    QString chosen = path;
    if (chosen.isEmpty())
        chosen = m_dialog.ChooseOpen(m_owner);
    if (chosen.isEmpty())
        return false;
    return Load(chosen);
}

bool CFileCommands::Load(const QString& path) {
    CWaitCursor wait;
    CTavBufferManager& buffers = m_system.BufferManager();
    CTavDataFile file(buffers, m_system.BufferOutput(), m_dataFiles);
    if (!file.Load(FileSystemPath(path)))
        return false;
    m_path = QFileInfo(path).absoluteFilePath();
    if (afterLoad)
        afterLoad();
    buffers.PublishPending();
    buffers.ClearPending();
    return true;
}

bool CFileCommands::Save() {
    return SaveTo(m_path) == SaveResult::Saved;
}

bool CFileCommands::SaveAs() {
    return SaveTo(QString()) == SaveResult::Saved;
}

CFileCommands::SaveResult CFileCommands::SaveTo(QString path) {
    if (path.isEmpty())
        path = m_dialog.ChooseSave(m_owner, m_path);
    if (path.isEmpty())
        return SaveResult::Cancelled;
    CWaitCursor wait;
    CTavDataFile file(m_system.BufferManager(), m_system.BufferOutput(), m_dataFiles);
    if (!file.Save(FileSystemPath(path)))
        return SaveResult::Failed;
    m_path = QFileInfo(path).absoluteFilePath();
    return SaveResult::Saved;
}

bool CFileCommands::CanClose() {
    return !IsModified() || AskToSave(false);
}
