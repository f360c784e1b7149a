// The main window's commands on the shipped script: the title, Open, Save, Save As and
// the save-changes question, dropped files, closing, the clipboard and the device commands.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QIcon>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QUuid>
#include <QWindow>
#include <gtest/gtest.h>

#include "app/CTavSystem.h"
#include "app/ITavSettings.h"
#include "app/TavCommands.h"
#include "app/qt/CApp.h"
#include "app/qt/CFileCommands.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/CProfiledFileDialog.h"
#include "midi/port/CVirtualDevicePort.h"
#include "midi/qt/CMidiService.h"
#include "virtual/CVirtualDevice.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "model/CTavValue.h"
#include "view/CTavKnobControl.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/TavMaskedImage.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"

namespace {

constexpr int kCancel = 1, kYes = 2, kNo = 3;

class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        CApp::Options options;
        options.scriptDir = QString::fromStdString(scripts.String());
        options.instanceName = QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        options.showSplash = false;
        options.makeMessageBoxOutput = [this] {
            box = new test::RecordingTextOut;
            return box;
        };
        options.manualPath = QString::fromStdString((dir.Path() / "VireoEditorManual_E.htm").string());
        options.openUrl = [this](const QUrl& url) {
            opened << url;
            return viewerFound;
        };
        app = std::make_unique<CApp>(system, options);
        ASSERT_EQ(app->InitInstance(), CApp::StartResult::Started);
        ASSERT_EQ(box->reports, std::vector<int>{3}); // no MIDI ports: said once at start
        box->reports.clear();
        files = app->Files();
        files->ask = [this](const QString& question) {
            questions << question;
            return answer;
        };
        CProfiledFileDialog::SetRunner([this](QFileDialog&) {
            ++dialogs;
            return chosen;
        });
        level = system.BufferManager().FindValue("qv.system.masterLevel");
        ASSERT_NE(level, nullptr);
    }
    void TearDown() override {
        CProfiledFileDialog::SetRunner({});
        if (app)
            app->ExitInstance();
    }

    // One user edit, as a control makes it.
    void Edit(int raw) {
        CTavBufferManager& buffers = system.BufferManager();
        buffers.WriteInteger(*level, raw);
        buffers.TransmitPending();
        buffers.PublishPending();
        buffers.ClearPending();
    }
    // A data file holding masterLevel = raw, written by Save As.
    QString DataFileWithLevel(const std::string& name, int raw) {
        Edit(raw);
        chosen = QString::fromStdString((dir.Path() / name).string());
        EXPECT_TRUE(files->SaveAs());
        return chosen;
    }
    // The title the window system shows, after an idle pass: Qt's platforms append the
    // application display name to a title that does not end with it.
    QString Title() {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
        const QWindow* window = app->MainFrame()->windowHandle();
        EXPECT_NE(window, nullptr);
        const QString title = window ? window->title() : QString();
        EXPECT_EQ(title, app->MainFrame()->windowTitle());
        const QString name = QGuiApplication::applicationDisplayName();
        return name.isEmpty() || title.endsWith(name) ? title : title + QStringLiteral(" \u2014 ") + name;
    }

    test::TempDir dir;
    test::ScriptFolderCopy scripts;
    CTavSystem system;
    std::unique_ptr<CApp> app;
    CFileCommands* files = nullptr;
    CTavValue* level = nullptr;
    test::RecordingTextOut* box = nullptr;
    QStringList questions;
    int answer = kNo;
    QString chosen;
    int dialogs = 0;
    QList<QUrl> opened;
    bool viewerFound = true;
};

TEST_F(MainWindow, TitleShowsUntitledAndThenTheModifiedMarkAfterTheFirstEdit) {
    EXPECT_EQ(Title(), "Vireo Editor - Untitled");
    Edit(100);
    EXPECT_EQ(Title(), "Vireo Editor - Untitled *");
    const QString path = DataFileWithLevel("song.vro", 90);
    EXPECT_EQ(Title(), "Vireo Editor - song.vro");
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(MainWindow, ManualOpensInTheViewerOrSaysInOneSentenceWhyNot) {
    const std::string manual = (dir.Path() / "VireoEditorManual_E.htm").string();
    const struct {
        bool exists;
        bool viewerFound;
        std::vector<std::string> outputs;
    } cases[] = {
        {true, true, {}},
        {true, false, {"Unable to open the manual " + manual + ": no program to show it was found.\n"}},
        {false, true, {"Unable to open the manual " + manual + ": there is no such file.\n"}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(manual);
        if (c.exists)
            dir.Write("VireoEditorManual_E.htm", "<html></html>");
        viewerFound = c.viewerFound;
        opened.clear();
        box->outputs.clear();
        app->MainFrame()->Action(TavCommands::kManual)->trigger();
        EXPECT_EQ(box->outputs, c.outputs);
        EXPECT_EQ(opened, c.exists ? QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(manual))}
                                   : QList<QUrl>{});
    }
    EXPECT_TRUE(CApp::ManualPath().endsWith("/Manual/VireoEditorManual_E.htm"));
}

TEST_F(MainWindow, ManualButtonShowsTheThemesHelpIconOrOurDrawing) {
    const QImage drawn = TavLoadMaskedImage(scripts.String() + "/toolbarManual.bmp", 64);
    ASSERT_FALSE(drawn.isNull());
    const auto shown = [](const CMainFrame& frame) {
        const QIcon icon = frame.Action(TavCommands::kManual)->icon();
        return icon.pixmap(QSize(16, 15)).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    EXPECT_EQ(shown(*app->MainFrame()), drawn.convertToFormat(QImage::Format_ARGB32));

    // A theme with the icon at tool bar size shows its own; one that has it only large,
    // where shrinking blurs it, does not.
    const QStringList paths = QIcon::themeSearchPaths();
    const QString theme = QIcon::themeName();
    const struct {
        int size;
        bool themed;
    } cases[] = {{16, true}, {22, true}, {48, false}};
    for (const auto& c : cases) {
        const std::string name = "vireo-test-" + std::to_string(c.size);
        const std::string folder = std::to_string(c.size) + "x" + std::to_string(c.size) + "/actions";
        dir.Write(name + "/index.theme", "[Icon Theme]\nName=" + name + "\nDirectories=" + folder + "\n\n[" +
                                             folder + "]\nSize=" + std::to_string(c.size) + "\nType=Fixed\n");
        QImage red(c.size, c.size, QImage::Format_ARGB32);
        red.fill(Qt::red);
        std::filesystem::create_directories(dir.Path() / name / folder);
        const std::filesystem::path png = dir.Path() / name / folder / "help-contents.png";
        ASSERT_TRUE(red.save(QString::fromStdString(png.string())));
        QIcon::setThemeSearchPaths({QString::fromStdString(dir.Path().string())});
        QIcon::setThemeName(QString::fromStdString(name));
        CMainFrame frame;
        frame.UseArtwork(QString::fromStdString(scripts.String() + "/"));
        const QImage image = shown(frame);
        EXPECT_EQ(image.pixel(8, 7) == QColor(Qt::red).rgba(), c.themed) << c.size;
        EXPECT_EQ(image == drawn.convertToFormat(QImage::Format_ARGB32), !c.themed) << c.size;
    }
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(theme);
}

TEST_F(MainWindow, OpenAsksEvenWhenNothingChangedAndReadsTheFileBack) {
    const QString path = DataFileWithLevel("a.vro", 100);
    Edit(20);
    ASSERT_TRUE(files->Save());
    EXPECT_FALSE(files->IsModified());

    // Cancel ends the command; No opens without saving.
    answer = kCancel;
    EXPECT_FALSE(files->Open(path));
    answer = kNo;
    Edit(55);
    EXPECT_TRUE(files->Open(path));
    EXPECT_EQ(questions, QStringList({"Save changes to " + path + "?", "Save changes to " + path + "?"}));
    EXPECT_EQ(level->GetRaw(), 20);
    EXPECT_FALSE(files->IsModified());

    // A file that cannot be read keeps the path and shows code 1 at the next idle pass.
    const QString missing = QString::fromStdString((dir.Path() / "missing.vro").string());
    EXPECT_FALSE(files->Open(missing));
    EXPECT_EQ(files->Path(), path);
    Title();
    EXPECT_EQ(box->reports, std::vector<int>{1});
}

TEST_F(MainWindow, CancelledSaveDialogChangesNothing) {
    Edit(100);
    chosen.clear();
    app->OnCommand(TavCommands::kSave);
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(files->Path().isEmpty());
    EXPECT_EQ(Title(), "Vireo Editor - Untitled *");
    EXPECT_TRUE(box->reports.empty());

    // Yes on the question, then a cancelled save dialog: Open goes on without saving.
    const QString other = QString::fromStdString(test::DataDir().string()) + "/none.vro";
    answer = kYes;
    files->Open(other);
    EXPECT_EQ(dialogs, 2);
    EXPECT_TRUE(files->IsModified());
}

TEST_F(MainWindow, DroppedFilesOpenOneAfterTheOtherEachWithItsOwnQuestion) {
    const QString a = DataFileWithLevel("a.vro", 10);
    const QString b = DataFileWithLevel("b.vro", 20);
    const QString c = DataFileWithLevel("c.vro", 30);
    Edit(99);
    questions.clear();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b), QUrl::fromLocalFile(c)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(app->MainFrame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(app->MainFrame(), &drop);

    EXPECT_EQ(questions, QStringList({"Save changes to " + c + "?", "Save changes to " + a + "?",
                                      "Save changes to " + b + "?"}));
    EXPECT_EQ(files->Path(), c);
    EXPECT_EQ(level->GetRaw(), 30);
    EXPECT_EQ(Title(), "Vireo Editor - c.vro");
}

TEST_F(MainWindow, ClosingAsksOnlyWhenModifiedAndAKeptEditKeepsTheWindowOpen) {
    CMainFrame* frame = app->MainFrame();
    Edit(100);
    answer = kCancel;
    EXPECT_FALSE(frame->close());
    // Yes with a cancelled save dialog keeps the window open too.
    answer = kYes;
    chosen.clear();
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(questions.size(), 2);

    answer = kNo;
    files->Load(DataFileWithLevel("kept.vro", 100));
    questions.clear();
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(MainWindow, CopyMidiMessageCopiesTheLastSentMessageWithoutTrailingBlanks) {
    Edit(77);
    app->OnCommand(TavCommands::kCopyMidiMessage);
    const QString text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith("F0 ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith(" F7")) << text.toStdString();
    EXPECT_TRUE(text.contains(" 4D ")) << text.toStdString(); // 77
}

struct RecordingDeviceCommands : ITavDeviceCommands {
    bool IsEnabled(const TavCommands::MenuItem& item) override { return item.editCode >= 0; }
    bool Run(const TavCommands::MenuItem& item, const std::string&) override {
        codes.push_back(item.editCode);
        return true;
    }
    std::vector<int> codes;
};

TEST_F(MainWindow, DeviceCommandsAreDisabledUntilTheDeviceLayerEnablesThem) {
    CMainFrame* frame = app->MainFrame();
    QAction* copyPart3 = frame->Action(32777);
    QAction* pasteTone2 = frame->Action(32828);
    ASSERT_NE(copyPart3, nullptr);
    ASSERT_NE(pasteTone2, nullptr);
    // The device layer started with the editor: a part can be copied, but nothing pasted yet.
    frame->UpdateCommandStates();
    EXPECT_TRUE(copyPart3->isEnabled());
    EXPECT_FALSE(pasteTone2->isEnabled());
    // No MIDI ports: the commands that need the link are disabled.
    EXPECT_FALSE(frame->Action(TavCommands::kReadNames)->isEnabled());
    EXPECT_FALSE(frame->Action(TavCommands::kReadSampleNames)->isEnabled());
    app->SetDeviceCommands(nullptr);
    frame->UpdateCommandStates();
    EXPECT_FALSE(copyPart3->isEnabled());

    RecordingDeviceCommands device;
    app->SetDeviceCommands(&device);
    frame->UpdateCommandStates();
    EXPECT_TRUE(copyPart3->isEnabled());
    EXPECT_FALSE(frame->Action(TavCommands::kImportSmf)->isEnabled());
    copyPart3->trigger();
    pasteTone2->trigger();
    frame->Action(32800)->trigger(); // Initialize Part Info
    EXPECT_EQ(device.codes, (std::vector<int>{65794, 132113, 0}));
    app->SetDeviceCommands(nullptr);

    // Every command has its prompt and one action.
    for (const TavCommands::MenuItem& item : TavCommands::MenuItems())
        if (item.id != 0) {
            EXPECT_FALSE(TavCommands::Prompt(item.id).empty()) << item.id;
            EXPECT_EQ(frame->Action(item.id)->data().toInt(), item.id);
        }
    EXPECT_EQ(frame->Action(TavCommands::kOpen)->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(frame->Action(TavCommands::kOpen)->statusTip(), "Open file");
    EXPECT_EQ(frame->Action(TavCommands::kOpen)->toolTip(), "Open");
    EXPECT_EQ(frame->Action(TavCommands::kSave)->shortcut(), QKeySequence("Ctrl+S"));
}

TEST(KnobOnTheVirtualDevice, ATurnSendsOneDataSetWithTheKnobsValue) {
    test::TempDir dir;
    qputenv("VIREO_VIRTUAL_DEVICE_MEMORY", QByteArray::fromStdString((dir.Path() / "memory.bin").string()));
    test::ScriptFolderCopy scripts;
    CTavSystem system;
    CApp::Options options;
    options.scriptDir = QString::fromStdString(scripts.String());
    options.instanceName = QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    options.showSplash = false;
    options.virtualDevice = true;
    options.makeMessageBoxOutput = [] { return new test::RecordingTextOut; };
    CApp app(system, options);
    ASSERT_EQ(app.InitInstance(), CApp::StartResult::Started);

    auto* main = dynamic_cast<CTavPanel*>(system.ViewManager().FindRootPanel("main"));
    ASSERT_NE(main, nullptr);
    CTavKnobControl* knob = main->FirstControlOf<CTavKnobControl>();
    ASSERT_NE(knob, nullptr);
    CTavValue* value = knob->GetValue(0);
    const CTavStruct* leaf = value->Parent();
    const TavRange range = leaf->AbsoluteRange();
    size_t before = 0;
    app.Midi()->VirtualDevice().WithDevice([&](CVirtualDevice& device) { before = device.DataSetsStored(); });

    // Press left of the centre (90 degrees), move to the right (270 degrees).
    auto* widget = app.MainFrame()->findChild<CPanelWidget*>();
    ASSERT_NE(widget, nullptr);
    const TavRect& rect = knob->Rect();
    const QPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    send(QEvent::MouseButtonPress, centre + QPoint(-10, 0), Qt::LeftButton);
    const int32_t pressed = value->GetPosition();
    send(QEvent::MouseMove, centre + QPoint(10, -1), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, centre + QPoint(10, -1), Qt::NoButton);
    EXPECT_NE(value->GetPosition(), pressed);

    size_t after = 0;
    TavBytes memory;
    app.Midi()->VirtualDevice().WithDevice([&](CVirtualDevice& device) {
        after = device.DataSetsStored();
        device.ReadMemory(static_cast<uint32_t>(range.begin), static_cast<size_t>(range.Length()), memory);
    });
    EXPECT_EQ(after - before, 1u);
    EXPECT_EQ(memory, *leaf->Bytes());
    app.ExitInstance();
    qunsetenv("VIREO_VIRTUAL_DEVICE_MEMORY");
}

TEST(EditMenuOnTheVirtualDevice, PastingPartThreeIntoPartFiveReachesTheDeviceKeepingItsReceiveSwitch) {
    test::TempDir dir;
    qputenv("VIREO_VIRTUAL_DEVICE_MEMORY", QByteArray::fromStdString((dir.Path() / "memory.bin").string()));
    test::ScriptFolderCopy scripts;
    CTavSystem system;
    CApp::Options options;
    options.scriptDir = QString::fromStdString(scripts.String());
    options.instanceName = QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    options.showSplash = false;
    options.virtualDevice = true;
    options.makeMessageBoxOutput = [] { return new test::RecordingTextOut; };
    CApp app(system, options);
    ASSERT_EQ(app.InitInstance(), CApp::StartResult::Started);

    // Part 3 made different from part 5 by user edits, which reach the device; part 5
    // does not listen to MIDI.
    CTavBufferManager& buffers = system.BufferManager();
    const auto edit = [&](const char* path, int32_t raw) {
        CTavValue* value = buffers.FindValue(path);
        ASSERT_NE(value, nullptr) << path;
        buffers.WriteInteger(*value, raw);
        buffers.TransmitPending();
        buffers.PublishPending();
        buffers.ClearPending();
    };
    edit("qv.prti.part[2].partLevel", 17);
    edit("qv.prti.part[2].partPan", 90);
    edit("qv.prti.part[2].receiveSwitch", 1);
    edit("qv.prti.part[4].receiveSwitch", 0);
    CTavStruct* part3 = buffers.FindStruct("qv.prti.part[2]");
    CTavStruct* part5 = buffers.FindStruct("qv.prti.part[4]");
    ASSERT_TRUE(part3 && part5);
    const TavRange from = part3->AbsoluteRange(), to = part5->AbsoluteRange();
    const CTavValue* receive = buffers.FindValue("qv.prti.part[4].receiveSwitch");
    ASSERT_NE(receive, nullptr);
    const auto receiveAt = static_cast<size_t>(receive->AbsoluteRange().begin - to.begin);
    const auto deviceBytes = [&](const TavRange& range) {
        TavBytes bytes;
        app.Midi()->VirtualDevice().WithDevice([&](CVirtualDevice& device) {
            device.ReadMemory(static_cast<uint32_t>(range.begin), static_cast<size_t>(range.Length()), bytes);
        });
        return bytes;
    };
    TavBytes expected = deviceBytes(from);
    ASSERT_EQ(expected.size(), static_cast<size_t>(to.Length()));
    ASSERT_NE(deviceBytes(to), expected);
    expected[receiveAt] = 0;

    // Through the menu's actions, as the user picks them.
    CMainFrame* frame = app.MainFrame();
    for (const int command : {32777, 32813}) { // Copy Part Info Part 3, Paste Part Info Part 5
        frame->UpdateCommandStates();
        QAction* action = frame->Action(command);
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(action->isEnabled()) << command;
        action->trigger();
    }
    EXPECT_EQ(deviceBytes(to), expected);
    EXPECT_EQ(buffers.FindValue("qv.prti.part[4].partLevel")->GetRaw(), 17);
    app.ExitInstance();
    qunsetenv("VIREO_VIRTUAL_DEVICE_MEMORY");
}

TEST(ProfiledFileDialog, RemembersTheChoiceAndOffersItNextTime) {
    test::TempDir dir;
    CTavMemorySettings settings;
    CProfiledFileDialog dialog(settings, {"SMF", "Standard MIDI Files(*.mid)|*.mid|All Files(*.*)|*.*||", "mid", ""});
    EXPECT_EQ(CProfiledFileDialog::NameFilters("Standard MIDI Files(*.mid)|*.mid|All Files(*.*)|*.*||"),
              QStringList({"Standard MIDI Files (*.mid)", "All Files (*)"}));

    const QString chosen = QString::fromStdString((dir.Path() / "song.mid").string());
    CProfiledFileDialog::SetRunner([&](QFileDialog& shown) {
        shown.selectNameFilter("All Files (*)");
        return chosen;
    });
    EXPECT_EQ(dialog.ChooseSave(nullptr, QString()), chosen);
    EXPECT_EQ(settings.GetString("SMF", "InitialDirectory", ""), dir.Path().string());
    EXPECT_EQ(settings.GetString("SMF", "InitialFileName", ""), "song.mid");
    EXPECT_EQ(settings.GetInt("SMF", "InitialFilterIndex", 0), 2);

    QString offeredDirectory, offeredFilter;
    CProfiledFileDialog::SetRunner([&](QFileDialog& shown) {
        offeredDirectory = shown.directory().absolutePath();
        offeredFilter = shown.selectedNameFilter();
        return QString();
    });
    EXPECT_TRUE(dialog.ChooseOpen(nullptr).isEmpty());
    EXPECT_EQ(offeredDirectory.toStdString(), dir.Path().string());
    EXPECT_EQ(offeredFilter, "All Files (*)");
    EXPECT_EQ(settings.GetString("SMF", "InitialFileName", ""), "song.mid"); // a cancel forgets nothing
    CProfiledFileDialog::SetRunner({});
}

} // namespace
