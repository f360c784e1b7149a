// Root panels as windows: the main panel drawn through its back buffer, a modal
// sub-window opened and closed by its condition and its close box, and the window list's
// layers.

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "app/qt/CProgressBar.h"
#include "model/CTavBufferManager.h"
#include "script/qt/CResourceFactory.h"
#include "support/TestSupport.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CViewFactory.h"

namespace {

const char* const kScript = R"(<script>
<structType><type>ctl</type><name>ctl</name><address>00 00 00 00</address>
  <value><name>mode</name><range>0,16</range><default>0</default></value>
</structType>
<structType><type>rootType</type><name>qv</name><address>01 00 00 00</address>
  <struct><type>ctl</type></struct>
</structType>
<struct><type>rootType</type></struct>
<bitmap><name>back</name></bitmap>
<panelType><type>mainType</type><name>main</name><size>40,30</size><bitmapRef>back</bitmapRef></panelType>
<panelType><type>dialogType</type><name>dialog</name><size>20,10</size><windowPosition>30,40</windowPosition>
  <openCondition>qv.ctl.mode,5,==</openCondition><closeValueRef>qv.ctl.mode</closeValueRef>
  <closeValue>0</closeValue><modal>1</modal>
</panelType>
<panel><type>mainType</type></panel>
<panel><type>dialogType</type></panel>
</script>)";

class PanelWindows : public testing::Test {
protected:
    void SetUp() override {
        // The background: left half red, right half blue.
        QImage back(40, 30, QImage::Format_RGB32);
        back.fill(Qt::blue);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 20; ++x)
                back.setPixel(x, y, qRgb(255, 0, 0));
        ASSERT_TRUE(back.save(QString::fromStdString((folder.Path() / "back.bmp").string()), "BMP"));
        // At 2x the red half is striped red and green row by row: no doubling of 1x gives it.
        QImage twice = back.scaled(80, 60);
        for (int y = 1; y < 60; y += 2)
            for (int x = 0; x < 40; ++x)
                twice.setPixel(x, y, qRgb(0, 255, 0));
        ASSERT_TRUE(twice.save(QString::fromStdString((folder.Path() / "back@2x.bmp").string()), "BMP"));

        system.SetScriptFolder(folder.Path().string() + "/");
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        system.AttachErrorOutputToManagers();
        system.SetResourceFactory(std::make_unique<CResourceFactory>());
        system.ViewManager().SetViewFactory(std::make_unique<CViewFactory>(windows));
        windows.showInMainWindow = [this](CPanelWidget* widget) { mainWidget = widget; };
        ASSERT_TRUE(system.ReadScript(kScript)) << system.ErrorText();
        ASSERT_TRUE(system.CreateManagers()) << system.ErrorText();
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        ASSERT_NE(mainWidget, nullptr);
    }
    void TearDown() override { delete mainWidget; }

    void SetMode(int32_t mode) {
        TavSetValueInteger(system.BufferManager(), *system.BufferManager().FindValue("qv.ctl.mode"), mode);
    }

    test::TempDir folder;
    CPanelWindows windows;
    CPanelWidget* mainWidget = nullptr;
    CTavSystem system;
};

TEST_F(PanelWindows, TheMainPanelIsDrawnThroughItsBackBuffer) {
    const QImage picture = mainWidget->Render();
    ASSERT_EQ(picture.size(), QSize(40, 30));
    EXPECT_EQ(picture.pixel(5, 15), qRgb(255, 0, 0));
    EXPECT_EQ(picture.pixel(35, 15), qRgb(0, 0, 255));
}

// The panel keeps its 1x geometry at every screen scale; its pixels follow the ratio, with
// the 2x bitmaps from ratio 2 on. The suite also runs under QT_SCALE_FACTOR=2, where the
// widget's own back buffer is at ratio 2.
TEST_F(PanelWindows, ThePictureFollowsTheScreensPixelRatio) {
    const double own = mainWidget->devicePixelRatioF();
    mainWidget->Render();
    EXPECT_EQ(mainWidget->BackBuffer().size(), QSize(40, 30) * own);
    EXPECT_EQ(mainWidget->size(), QSize(40, 30));
    for (const double ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage picture = mainWidget->Render(ratio);
        ASSERT_EQ(picture.size(), QSize(40, 30) * ratio);
        EXPECT_EQ(picture.devicePixelRatio(), ratio);
        const int x = static_cast<int>(5 * ratio);
        const int y = static_cast<int>(14 * ratio);
        EXPECT_EQ(picture.pixel(static_cast<int>(35 * ratio), y), qRgb(0, 0, 255));
        if (ratio == 1.5) {
            // Scaled down smoothly from 2x: the stripes blend, blue stays out.
            EXPECT_EQ(qBlue(picture.pixel(x, y)), 0);
            EXPECT_GT(qRed(picture.pixel(x, y)) + qGreen(picture.pixel(x, y)), 200);
            continue;
        }
        EXPECT_EQ(picture.pixel(x, y), qRgb(255, 0, 0));
        EXPECT_EQ(picture.pixel(x, y + 1), ratio == 2 ? qRgb(0, 255, 0) : qRgb(255, 0, 0));
    }
}

TEST_F(PanelWindows, AModalWindowFollowsItsConditionAndDisablesTheLayerBelow) {
    QWidget other;
    windows.windows.Add(&other, false);
    auto* dialog = dynamic_cast<CRootPanel*>(system.ViewManager().FindRootPanel("dialog"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->IsOpen());

    SetMode(5);
    ASSERT_TRUE(dialog->IsOpen());
    ASSERT_NE(dialog->Frame(), nullptr);
    EXPECT_EQ(dialog->Frame()->pos(), QPoint(30, 40));
    EXPECT_EQ(dialog->Widget()->size(), QSize(20, 10));
    EXPECT_FALSE(other.isEnabled());

    // The close box writes the close value; the condition then closes the window.
    dialog->Frame()->close();
    EXPECT_EQ(system.BufferManager().FindValue("qv.ctl.mode")->GetRaw(), 0);
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_EQ(dialog->Frame(), nullptr);
    EXPECT_TRUE(other.isEnabled());
    windows.windows.Remove(&other);
}

TEST(WindowList, ModalLayersStackAndUnwind) {
    QWidget a, b, modal1, modal2;
    CWindowList list;
    list.Add(&a, false);
    list.Add(&modal1, true);
    list.Add(&b, false); // joins the modal window's layer
    list.Add(&modal2, true);
    EXPECT_FALSE(a.isEnabled());
    EXPECT_FALSE(modal1.isEnabled());
    EXPECT_FALSE(b.isEnabled());
    EXPECT_TRUE(modal2.isEnabled());
    list.Remove(&modal2);
    EXPECT_TRUE(modal1.isEnabled());
    EXPECT_TRUE(b.isEnabled());
    EXPECT_FALSE(a.isEnabled());
    list.Remove(&modal1);
    EXPECT_TRUE(a.isEnabled());
    EXPECT_EQ(list.LayerCount(), 1u);
}

TEST(WindowList, TheTopWindowOwnsDialogsThatStayEnabledOverTheirDisabledOwner) {
    QWidget main;
    CWindowList list;
    EXPECT_EQ(list.TopWindow(), nullptr);
    list.Add(&main, false);
    EXPECT_EQ(list.TopWindow(), &main);
    {
        QWidget box(&main, Qt::Dialog);
        const CWindowList::CModal modal(&list, &box);
        EXPECT_TRUE(list.HasModal());
        EXPECT_EQ(list.TopWindow(), &box);
        EXPECT_FALSE(main.isEnabled());
        EXPECT_TRUE(box.isEnabled());
        {
            // A dialog deleted before its scope ends still leaves the list.
            auto* inner = new QWidget(&box, Qt::Dialog);
            const CWindowList::CModal nested(&list, inner);
            EXPECT_FALSE(box.isEnabled());
            EXPECT_TRUE(inner->isEnabled());
            delete inner;
        }
        EXPECT_EQ(list.TopWindow(), &box);
        EXPECT_TRUE(box.isEnabled());
    }
    EXPECT_FALSE(list.HasModal());
    EXPECT_TRUE(main.isEnabled());
    const CWindowList::CModal unlisted(nullptr, &main);
    EXPECT_TRUE(main.isEnabled());
}

} // namespace

namespace {

TEST(Screenshot, TheEditorRendersTheMainPanelIntoAPicture) {
    test::TempDir dir;
    test::ScriptFolderCopy scripts;
    const std::string file = (dir.Path() / "main.png").string();
    const auto result = test::RunProcess(
        VIREO_EDITOR_PATH, {"--script-dir", scripts.String(), "--screenshot", file},
        {"QT_QPA_PLATFORM=offscreen", "VIREO_VIRTUAL_DEVICE_MEMORY=" + (dir.Path() / "memory.bin").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QImage picture(QString::fromStdString(file));
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(picture.width(), 600);

    // At scale 2 the picture has twice the pixels, and they are drawn for it: in a good
    // share of its 2 x 2 blocks the four pixels differ, where a doubled 1x picture has none.
    const std::string file2x = (dir.Path() / "main2x.png").string();
    const auto scaled = test::RunProcess(
        VIREO_EDITOR_PATH, {"--script-dir", scripts.String(), "--screenshot", file2x, "--scale", "2"},
        {"QT_QPA_PLATFORM=offscreen", "VIREO_VIRTUAL_DEVICE_MEMORY=" + (dir.Path() / "memory.bin").string()});
    ASSERT_EQ(scaled.exitCode, 0) << scaled.err;
    const QImage picture2x(QString::fromStdString(file2x));
    ASSERT_EQ(picture2x.size(), picture.size() * 2);
    int blocks = 0;
    int detailed = 0;
    for (int y = 0; y + 1 < picture2x.height(); y += 2)
        for (int x = 0; x + 1 < picture2x.width(); x += 2, ++blocks) {
            const QRgb corner = picture2x.pixel(x, y);
            detailed += picture2x.pixel(x + 1, y) != corner || picture2x.pixel(x, y + 1) != corner ||
                        picture2x.pixel(x + 1, y + 1) != corner;
        }
    EXPECT_GT(detailed, blocks / 20) << detailed << " of " << blocks;
    for (const char* factor : {"0.5", "5", "big"}) {
        const auto refused = test::RunProcess(
            VIREO_EDITOR_PATH, {"--script-dir", scripts.String(), "--screenshot", file2x, "--scale", factor},
            {"QT_QPA_PLATFORM=offscreen"});
        EXPECT_EQ(refused.exitCode, 1) << factor;
        EXPECT_NE(refused.err.find("--scale takes a factor from 1 to 4"), std::string::npos) << refused.err;
    }

    const auto missing = test::RunProcess(
        VIREO_EDITOR_PATH, {"--script-dir", scripts.String(), "--screenshot", file, "--panel", "nowhere"},
        {"QT_QPA_PLATFORM=offscreen"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.substr(missing.err.find("There is")), "There is no root panel named nowhere.\n");

    // A picture that cannot be written leaves what was there: a FIFO is neither waited on
    // nor replaced, and a full disk leaves the earlier picture whole.
    const std::string fifo = (dir.Path() / "pipe.png").string();
    test::MakeNotAFile(test::NotAFile::kFifo, fifo);
    const std::string before = test::ReadFile(file);
    for (const std::string& target : {fifo, file}) {
        const auto failed =
            test::RunProcess("/bin/sh",
                             {"-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\"", VIREO_EDITOR_PATH,
                              "--script-dir", scripts.String(), "--screenshot", target},
                             {"QT_QPA_PLATFORM=offscreen",
                              "VIREO_VIRTUAL_DEVICE_MEMORY=" + (dir.Path() / "memory.bin").string()},
                             std::chrono::seconds(20));
        EXPECT_FALSE(failed.timedOut) << target;
        EXPECT_EQ(failed.exitCode, 1) << target;
        EXPECT_NE(failed.err.find("Unable to write the picture " + target + ": "), std::string::npos)
            << failed.err;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(test::ReadFile(file), before);
}

TEST(ProgressBar, StepsUpToItsCountAndCloses) {
    CProgressBar progress;
    progress.Start(2);
    progress.Step();
    progress.Step();
    progress.Step(); // never past the end
    EXPECT_EQ(progress.Value(), 2);
    progress.Finish();
    EXPECT_FALSE(progress.IsRunning());
}

} // namespace
