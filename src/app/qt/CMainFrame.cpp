#include "app/qt/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "app/ITavSettings.h"
#include "app/TavCommands.h"
#include "app/qt/TavApplicationTitle.h"
#include "view/qt/TavMaskedImage.h"

namespace {

QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (!data)
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

constexpr const char* kBarSection = "ControlBar";
// The Manual button: the freedesktop icon name, and our own drawing in the script folder.
constexpr const char* kManualIconName = "help-contents";
constexpr const char* kManualArtwork = "toolbarManual";

// The theme's icon where it has a picture for a tool bar (themes keep them at 16 and 22
// pixels); shrunk from a larger one it is a blur, and the fallback shows instead.
QIcon ToolBarIcon(const QIcon& themed, const QIcon& fallback) {
    for (const QSize& size : themed.availableSizes())
        if (size.height() <= 22)
            return themed;
    return fallback;
}

} // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(TavApplicationTitle() + QStringLiteral(" - Untitled"));
    // The icon installed with the desktop entry.
    setWindowIcon(QIcon::fromTheme(QStringLiteral("vireo-editor")));
    // The bars stay where they are: no context menu offers to hide them.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("mainView"));
    client->setMinimumSize(640, 400);
    setCentralWidget(client);
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    UpdateCommandStates();
    // No sizing border: the client area is exactly the main panel.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QAction* CMainFrame::CreateAction(int id, const QString& text) {
    // "&Open...\tCtrl+O": the text and the shortcut.
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    auto* action = new QAction(tab < 0 ? text : text.left(tab), this);
    if (tab >= 0)
        action->setShortcut(QKeySequence(text.mid(tab + 1)));
    const QStringList prompt = QString::fromStdString(TavCommands::Prompt(id)).split(QLatin1Char('\n'));
    action->setStatusTip(prompt.value(0));
    action->setToolTip(prompt.value(1, action->text().remove(QLatin1Char('&'))));
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::CreateMenus() {
    QMenu* menu = nullptr;
    QMenu* popup = nullptr;
    QString menuTitle, popupTitle;
    for (const TavCommands::MenuItem& item : TavCommands::MenuItems()) {
        const QString itemMenu = QString::fromUtf8(item.menu.data(), qsizetype(item.menu.size()));
        const QString itemPopup = QString::fromUtf8(item.submenu.data(), qsizetype(item.submenu.size()));
        if (!menu || itemMenu != menuTitle) {
            menu = menuBar()->addMenu(itemMenu);
            menuTitle = itemMenu;
            popup = nullptr;
            popupTitle.clear();
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
        }
        if (!itemPopup.isEmpty() && (!popup || itemPopup != popupTitle)) {
            popup = menu->addMenu(itemPopup);
            popupTitle = itemPopup;
        } else if (itemPopup.isEmpty()) {
            popup = nullptr;
            popupTitle.clear();
        }
        QMenu* target = popup ? popup : menu;
        if (item.id == TavCommands::kExit) {
            m_recentMenu = target->addMenu(QStringLiteral("Recent &Files"));
            m_recentMenu->setEnabled(false);
            target->addSeparator();
        }
        if (item.id == 0) {
            target->addSeparator();
            continue;
        }
        QAction* action = CreateAction(item.id, QString::fromStdString(item.text));
        // Undo, redo and the page keys work in every window of the editor, not only the
        // main one.
        if (item.id == TavCommands::kUndo || item.id == TavCommands::kRedo || TavCommands::MainPage(item.id) >= 0)
            action->setShortcutContext(Qt::ApplicationShortcut);
        if (item.id == TavCommands::kRedo)
            action->setShortcuts(
                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
        if (item.deviceCommand)
            m_deviceActions << action;
        target->addAction(action);
    }
}

void CMainFrame::CreateToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Standard"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(16, 15));
    QStyle* style = QApplication::style();
    m_actions[TavCommands::kOpen]->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    m_actions[TavCommands::kSave]->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    // The desktop's help icon where its theme draws one at this size; UseArtwork puts our
    // own drawing in the place of the style's.
    m_actions[TavCommands::kManual]->setIcon(
        ToolBarIcon(QIcon::fromTheme(QString::fromLatin1(kManualIconName)),
                    style->standardIcon(QStyle::SP_DialogHelpButton)));
    m_actions[TavCommands::kUndo]->setIcon(ToolBarIcon(QIcon::fromTheme(QStringLiteral("edit-undo")),
                                                       style->standardIcon(QStyle::SP_ArrowBack)));
    m_actions[TavCommands::kRedo]->setIcon(ToolBarIcon(QIcon::fromTheme(QStringLiteral("edit-redo")),
                                                       style->standardIcon(QStyle::SP_ArrowForward)));
    m_toolBar->addAction(m_actions[TavCommands::kOpen]);
    m_toolBar->addAction(m_actions[TavCommands::kSave]);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actions[TavCommands::kUndo]);
    m_toolBar->addAction(m_actions[TavCommands::kRedo]);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actions[TavCommands::kManual]);

    QAction* toolBar = m_actions[TavCommands::kToolBar];
    toolBar->setCheckable(true);
    toolBar->setChecked(true);
    connect(toolBar, &QAction::toggled, m_toolBar, &QToolBar::setVisible);
}

void CMainFrame::CreateStatusBar() {
    statusBar()->setSizeGripEnabled(false); // the window has a fixed size
    m_ready = new QLabel(QStringLiteral("Ready"));
    statusBar()->addWidget(m_ready, 1);
    connect(statusBar(), &QStatusBar::messageChanged, m_ready,
            [this](const QString& message) { m_ready->setVisible(message.isEmpty()); });
    QAction* bar = m_actions[TavCommands::kStatusBar];
    bar->setCheckable(true);
    bar->setChecked(true);
    connect(bar, &QAction::toggled, statusBar(), &QStatusBar::setVisible);
}

void CMainFrame::UseArtwork(const QString& folder) {
    const QImage drawn = TavLoadMaskedImageFor(
        QFile::encodeName(folder + QLatin1String(kManualArtwork)).toStdString(), 64, devicePixelRatioF());
    m_actions[TavCommands::kManual]->setIcon(
        ToolBarIcon(QIcon::fromTheme(QString::fromLatin1(kManualIconName)),
                    drawn.isNull() ? QApplication::style()->standardIcon(QStyle::SP_DialogHelpButton)
                                   : QIcon(QPixmap::fromImage(drawn))));
}

void CMainFrame::RefreshUndo(const QString& undoName, const QString& redoName) {
    const struct {
        int id;
        const QString& name;
        QString verb;
    } commands[] = {{TavCommands::kUndo, undoName, QStringLiteral("Undo")},
                    {TavCommands::kRedo, redoName, QStringLiteral("Redo")}};
    for (const auto& command : commands) {
        QAction* action = m_actions.value(command.id);
        if (!action)
            continue;
        QString shown = command.name;
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        const QString text =
            QLatin1Char('&') + command.verb + (shown.isEmpty() ? QString() : QLatin1Char(' ') + shown);
        if (action->text() != text) {
            action->setText(text);
            action->setToolTip(QString(text).remove(0, 1).replace(QLatin1String("&&"), QLatin1String("&")));
        }
        action->setEnabled(!command.name.isEmpty());
    }
}

void CMainFrame::SetRecentFiles(const QStringList& texts, const QStringList& paths) {
    if (!m_recentMenu)
        return;
    m_recentMenu->clear();
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QAction* action = m_recentMenu->addAction(texts[i]);
        action->setStatusTip(paths.value(i));
        connect(action, &QAction::triggered, this, [this, i] { emit recentFileChosen(int(i)); });
    }
    m_recentMenu->setEnabled(!texts.isEmpty());
}

void CMainFrame::UpdateCommandStates() {
    for (QAction* action : m_deviceActions)
        action->setEnabled(commandEnabled && commandEnabled(action->data().toInt()));
    const auto [undo, redo] = undoNames ? undoNames() : std::pair<QString, QString>();
    RefreshUndo(undo, redo);
}

void CMainFrame::LoadBarState(ITavSettings& settings) {
    const std::string state = settings.GetString(kBarSection, "State", std::string());
    if (!state.empty())
        restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
    const bool statusVisible = settings.GetInt(kBarSection, "StatusBar", 1) != 0;
    m_actions[TavCommands::kStatusBar]->setChecked(statusVisible);
    statusBar()->setVisible(statusVisible);
    m_actions[TavCommands::kToolBar]->setChecked(!m_toolBar->isHidden());
}

void CMainFrame::SaveBarState(ITavSettings& settings) const {
    settings.SetString(kBarSection, "State", saveState().toBase64().toStdString());
    settings.SetInt(kBarSection, "StatusBar", statusBar()->isHidden() ? 0 : 1);
}

void CMainFrame::SetPanelWidget(QWidget* widget) {
    setCentralWidget(widget);
    widget->setFocus();
    adjustSize();
}

void CMainFrame::BringToFront() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void CMainFrame::RefreshTitle(const QString& title) {
    if (windowTitle() != title)
        setWindowTitle(title);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (canClose && !canClose()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    emit filesDropped(files);
}
