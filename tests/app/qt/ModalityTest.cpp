// Modal windows in the editor: the main window is in the window list, so a modal panel,
// a message box, a dialog or the save-changes question disables it and owns the message
// boxes; files handed over or dropped meanwhile wait and open afterwards, in order.

#include <QApplication>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QUuid>
#include <gtest/gtest.h>

#include "app/CTavSystem.h"
#include "app/TavCommands.h"
#include "app/qt/CApp.h"
#include "app/qt/CFileCommands.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/CProfiledFileDialog.h"
#include "app/qt/CSingleInstanceGuard.h"
#include "app/qt/CTextOutBox.h"
#include "model/CTavBufferManager.h"
#include "support/TestSupport.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/qt/CRootPanel.h"

namespace {

// "qv" is what data files hold; "vs.ctl.mode" 5 opens the modal panel "dialog".
const char* const kScript = R"(<script>
<structType><type>ctl</type><name>ctl</name><address>00 00 00 00</address>
  <value><name>mode</name><range>0,16</range><default>0</default></value>
  <value><name>level</name><range>0,127</range><default>0</default></value>
</structType>
<structType><type>qvType</type><name>qv</name><address>01 00 00 00</address><struct><type>ctl</type></struct></structType>
<structType><type>vsType</type><name>vs</name><address>02 00 00 00</address><struct><type>ctl</type></struct></structType>
<struct><type>qvType</type></struct>
<struct><type>vsType</type></struct>
<panelType><type>mainType</type><name>main</name><size>40,30</size></panelType>
<panelType><type>dialogType</type><name>dialog</name><size>20,10</size>
  <openCondition>vs.ctl.mode,5,==</openCondition><closeValueRef>vs.ctl.mode</closeValueRef>
  <closeValue>0</closeValue><modal>1</modal>
</panelType>
<panel><type>mainType</type></panel>
<panel><type>dialogType</type></panel>
</script>)";

constexpr int kCancel = 1, kNo = 3;

// Answers every box at once and remembers who owned it and what was enabled meanwhile.
class AnsweringBox : public CTextOutBox {
public:
    struct Shown {
        QWidget* owner;
        bool mainEnabled;
        bool boxEnabled;
    };
    std::vector<Shown> shown;
    QWidget* mainWindow = nullptr;
    std::function<void()> whileShown;

protected:
    QMessageBox::StandardButton Exec(QMessageBox& box) override {
        shown.push_back({box.parentWidget(), mainWindow && mainWindow->isEnabled(), box.isEnabled()});
        if (whileShown)
            whileShown();
        return QMessageBox::Ok;
    }
};

class Modality : public testing::Test {
protected:
    void SetUp() override {
        folder.Write("VireoEditorScript.xml", kScript);
        CApp::Options options;
        options.scriptDir = QString::fromStdString(folder.Path().string());
        options.instanceName =
            QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        options.showSplash = false;
        options.makeMessageBoxOutput = [this] {
            box = new AnsweringBox;
            return box;
        };
        instance = options.instanceName;
        app = std::make_unique<CApp>(system, options);
        ASSERT_EQ(app->InitInstance(), CApp::StartResult::Started) << system.ErrorText();
        // Start-up without MIDI ports said so; the tests look at the boxes after it.
        box->shown.clear();
        box->mainWindow = app->MainFrame();
        files = app->Files();
        files->ask = [this](const QString& question) {
            questions << question;
            ++depth;
            maxDepth = std::max(maxDepth, depth);
            int answer = kNo;
            if (whileAsked) {
                std::exchange(whileAsked, {})();
                answer = kCancel;
            }
            --depth;
            return answer;
        };
        dialog = dynamic_cast<CRootPanel*>(system.ViewManager().FindRootPanel("dialog"));
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override {
        CProfiledFileDialog::SetRunner({});
        if (app)
            app->ExitInstance();
    }

    void SetMode(int32_t mode) {
        TavSetValueInteger(system.BufferManager(), *system.BufferManager().FindValue("vs.ctl.mode"), mode);
    }
    // A data file holding qv.ctl.level = level.
    QString DataFile(const std::string& name, int32_t level) {
        CTavBufferManager& buffers = system.BufferManager();
        TavSetValueInteger(buffers, *buffers.FindValue("qv.ctl.level"), level);
        const QString path = QString::fromStdString((folder.Path() / name).string());
        CProfiledFileDialog::SetRunner([path](QFileDialog&) { return path; });
        EXPECT_TRUE(files->SaveAs());
        CProfiledFileDialog::SetRunner({});
        return path;
    }
    int32_t Level() { return system.BufferManager().FindValue("qv.ctl.level")->GetRaw(); }

    // A later copy of the editor hands path over; returns once the running copy has taken
    // it, one way or another.
    void HandOver(const QString& path) {
        const qsizetype asked = questions.size();
        CSingleInstanceGuard second(instance);
        EXPECT_FALSE(second.Acquire(path.toUtf8()));
        RunUntil([&] { return !app->PendingOpens().empty() || questions.size() > asked; });
    }
    // Runs the event loop, letting it go idle, until done or two seconds passed.
    static void RunUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 100 && !done(); ++i) {
            QEventLoop loop;
            QTimer::singleShot(20, &loop, &QEventLoop::quit);
            loop.exec();
        }
    }

    test::TempDir folder;
    CTavSystem system;
    std::unique_ptr<CApp> app;
    QString instance;
    AnsweringBox* box = nullptr; // owned by the system
    CFileCommands* files = nullptr;
    CRootPanel* dialog = nullptr;
    QStringList questions;
    int depth = 0, maxDepth = 0;
    std::function<void()> whileAsked;
};

TEST_F(Modality, AModalPanelDisablesTheMainWindowAndOwnsTheMessageBoxes) {
    CMainFrame* main = app->MainFrame();
    system.MessageBoxOutput()->Report(1);
    SetMode(5);
    ASSERT_TRUE(dialog->IsOpen());
    EXPECT_FALSE(main->isEnabled());
    QWidget* frame = dialog->Frame();
    EXPECT_TRUE(frame->isEnabled());
    system.MessageBoxOutput()->Report(1);
    SetMode(0);
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_TRUE(main->isEnabled());

    // A box is owned by the top window, which stays disabled behind it; the box itself is not.
    ASSERT_EQ(box->shown.size(), 2u);
    EXPECT_EQ(box->shown[0].owner, main);
    EXPECT_FALSE(box->shown[0].mainEnabled);
    EXPECT_TRUE(box->shown[0].boxEnabled);
    EXPECT_EQ(box->shown[1].owner, frame);
    EXPECT_FALSE(box->shown[1].mainEnabled);
    EXPECT_TRUE(box->shown[1].boxEnabled);
    EXPECT_TRUE(main->isEnabled());
}

TEST_F(Modality, AFileHandedOverWhileAModalWindowIsOpenOpensWhenItCloses) {
    // Each modal window runs, and a later copy hands a file over while it is open.
    struct Case {
        const char* modal;
        std::function<void(const std::function<void()>& whileOpen)> run;
    };
    const std::vector<Case> cases = {
        {"modal panel",
         [this](const std::function<void()>& whileOpen) {
             SetMode(5);
             whileOpen();
             SetMode(0);
         }},
        {"message box",
         [this](const std::function<void()>& whileOpen) {
             box->whileShown = whileOpen;
             system.MessageBoxOutput()->Report(3);
             box->whileShown = {};
         }},
        {"file dialog",
         [this](const std::function<void()>& whileOpen) {
             CProfiledFileDialog::SetRunner([whileOpen](QFileDialog&) {
                 whileOpen();
                 return QString();
             });
             app->OnCommand(TavCommands::kSaveAs);
             CProfiledFileDialog::SetRunner({});
         }},
        {"save-changes question",
         [this](const std::function<void()>& whileOpen) {
             whileAsked = whileOpen;
             app->OnCommand(TavCommands::kOpen);
         }},
    };
    int32_t level = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.modal);
        const QString path = DataFile(std::string(c.modal) + ".vro", ++level);
        TavSetValueInteger(system.BufferManager(), *system.BufferManager().FindValue("qv.ctl.level"), 0);
        questions.clear();
        bool openedWhileModal = true;
        c.run([&] {
            HandOver(path);
            EXPECT_FALSE(app->MainFrame()->isEnabled());
            openedWhileModal = Level() == level;
        });
        EXPECT_FALSE(openedWhileModal);
        RunUntil([&] { return Level() == level; });
        EXPECT_EQ(Level(), level);
        EXPECT_EQ(files->Path(), path);
        EXPECT_TRUE(app->PendingOpens().empty());
        EXPECT_TRUE(app->MainFrame()->isEnabled());
    }
    EXPECT_EQ(maxDepth, 1); // never a question inside a question
}

TEST_F(Modality, HandOversAndDropsDuringTheQuestionOpenAfterItInArrivalOrder) {
    const QString a = DataFile("a.vro", 1);
    const QString b = DataFile("b.vro", 2);
    const QString c = DataFile("c.vro", 3);
    questions.clear();
    // While Open asks about a.vro, b.vro is handed over and c.vro dropped; the question is
    // then answered No, so a.vro opens first.
    files->ask = [&, first = true](const QString& question) mutable {
        questions << question;
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        if (std::exchange(first, false)) {
            HandOver(b);
            // The disabled main window refuses a drop from the desktop; one it took
            // already waits behind the open question.
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(c)});
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(app->MainFrame(), &drop);
            EXPECT_FALSE(drop.isAccepted());
            emit app->MainFrame()->filesDropped({c});
        }
        --depth;
        return kNo;
    };
    app->OpenFiles({a});
    RunUntil([&] { return files->Path() == c; });
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(questions, QStringList({"Save changes to " + c + "?", "Save changes to " + a + "?",
                                      "Save changes to " + b + "?"}));
    EXPECT_EQ(files->Path(), c);
    EXPECT_EQ(Level(), 3);
}

} // namespace
