// The view tree built from a script: configuration and its messages, open conditions
// following their values, index expressions in value paths, input dispatch, drawing,
// value change chunks, window positions and the command-line check.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/CTavValue.h"
#include "script/ITavResourceFactory.h"
#include "../script/HostileScripts.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavViewFactory.h"
#include "view/CTavViewManager.h"
#include "view/ITavProgress.h"

namespace {

using Log = std::vector<std::string>;

// A control that records what reaches it; "handles" makes it take mouse events.
class Probe : public CTavView {
public:
    explicit Probe(Log& log) : m_log(log) {}
    bool Configure(TavItems& items) override {
        if (!CTavView::Configure(items))
            return false;
        for (auto it = items.begin(); it != items.end();) {
            if (it->first == "valueRef")
                AddValueRef(it->second);
            else if (it->first == "handles")
                handles = true;
            else {
                ++it;
                continue;
            }
            it = items.erase(it);
        }
        return true;
    }
    bool OnMouse(const CTavMouseInfo&) override {
        m_log.push_back("mouse " + Name());
        return handles;
    }
    bool OnKey(const CTavKeyInfo&) override {
        m_log.push_back("key " + Name());
        return true;
    }
    void Draw(CTavDrawInfo&) override { m_log.push_back("draw " + Name()); }
    void Invalidate(const TavRect* rect) override {
        ++invalidated;
        CTavView::Invalidate(rect);
    }
    bool OnValuesChanged(const CTavValueSet& changed) override {
        ++changes;
        return CTavView::OnValuesChanged(changed);
    }
    bool handles = false;
    int invalidated = 0;
    int changes = 0;

private:
    Log& m_log;
};

class FakeBitmap : public CTavStateBitmap {
public:
    explicit FakeBitmap(Log& log) : m_log(log) {}
    void DrawState(CTavDrawInfo&, TavPoint at, int32_t state) override {
        m_log.push_back("bitmap " + std::to_string(at.x) + "," + std::to_string(at.y) + " " +
                        std::to_string(state));
    }

protected:
    bool LoadImage(const std::string&, int32_t& width, int32_t& height) override {
        width = height = 8;
        return true;
    }
    void ReleaseImage() override {}

private:
    Log& m_log;
};

class FakeResources : public ITavResourceFactory {
public:
    explicit FakeResources(Log& log) : m_log(log) {}
    std::unique_ptr<CTavStateBitmap> CreateBitmap() override { return std::make_unique<FakeBitmap>(m_log); }
    std::unique_ptr<CTavTextWriter> CreateTextWriter() override { return nullptr; }
    std::unique_ptr<CTavGraphDrawer> CreateGraphDrawer() override { return nullptr; }

private:
    Log& m_log;
};

class FakeProgress : public ITavProgress {
public:
    void Start(int steps) override { calls.push_back("start " + std::to_string(steps)); }
    void Step() override { calls.push_back("step"); }
    void Finish() override { calls.push_back("finish"); }
    Log calls;
};

const char* const kModel = R"(
<structType><type>tone</type><name>tone</name><address>$adr</address><size>00 02</size>
  <value><name>level</name></value>
</structType>
<structType><type>ctl</type><name>ctl</name><address>00 00</address>
  <value><name>mode</name><range>0,16</range><default>0</default></value>
  <value><name>part</name><range>0,2</range><default>0</default></value>
</structType>
<structType><type>rootType</type><name>qv</name><address>00 00 00</address>
  <struct><type>ctl</type></struct>
  <struct><type>tone</type><adr>00 10</adr><adr>00 12</adr><adr>00 14</adr></struct>
</structType>
<struct><type>rootType</type></struct>
<bitmap><name>back</name></bitmap>
)";

const char* const kPanels = R"(
<panelType><type>innerType</type><name>inner</name><size>50,50</size><openCondition>1</openCondition>
  <control><type>probe</type><name>i</name></control>
</panelType>
<panelType><type>subType</type><name>sub</name><position>10, 20</position><size>50,50</size>
  <openCondition>qv.ctl.mode,2,==</openCondition>
  <panel><type>innerType</type></panel>
  <control><type>probe</type><name>a</name><size>10,10</size><valueRef>qv.tone[qv.ctl.part].level</valueRef></control>
</panelType>
<panelType><type>mainType</type><name>$name</name><position>5,5</position><size>200,100</size>
  <bitmapRef>back</bitmapRef>
  <panel><type>subType</type></panel>
  <control><type>probe</type><name>b</name><size>200,100</size></control>
  <control><type>probe</type><name>c</name><size>200,100</size></control>
</panelType>
<panelType><type>dialogType</type><name>dialog</name><windowPosition>30,40</windowPosition>
  <openCondition>qv.ctl.mode,5,==</openCondition><closeValueRef>qv.ctl.mode</closeValueRef>
  <closeValue>0</closeValue><modal>1</modal>
</panelType>
<panel><type>mainType</type><name>main</name></panel>
<panel><type>dialogType</type></panel>
)";

class ViewTree : public test::ModelFixture {
protected:
    void Install() {
        auto factory = std::make_unique<CTavViewFactory>();
        factory->Register("probe", [this] { return std::make_unique<Probe>(log); });
        Views().SetViewFactory(std::move(factory));
        system.SetResourceFactory(std::make_unique<FakeResources>(log));
    }
    void SetUp() override {
        Install();
        Build(std::string(kModel) + kPanels);
    }
    CTavViewManager& Views() { return system.ViewManager(); }
    CTavRootPanel& Root(const char* name) { return *Views().FindRootPanel(name); }
    CTavPanel& Panel(const char* path) {
        CTavPanel* panel = nullptr;
        EXPECT_TRUE(Root("main").FindPanel(path, panel)) << path;
        return *panel;
    }
    Probe& Control(const char* path) {
        CTavView* control = nullptr;
        EXPECT_TRUE(Root("main").FindControl(path, control)) << path;
        return *static_cast<Probe*>(control);
    }
    // One user edit: write, send, show, forget.
    void Edit(const char* path, int32_t raw) {
        Buffers().WriteInteger(Value(path), raw);
        Buffers().TransmitPending();
        Buffers().PublishPending();
        Buffers().ClearPending();
    }
    Log Click(int32_t x, int32_t y) {
        log.clear();
        Root("main").OnMouse({CTavMouseInfo::kPressed, {x, y}, 0});
        return log;
    }

    Log log;
};

TEST_F(ViewTree, ConfiguresNamesRectanglesAndPathsRelativeToTheParent) {
    EXPECT_EQ(Root("main").Rect(), (TavRect{5, 5, 205, 105}));
    EXPECT_EQ(Panel("main.sub").Rect(), (TavRect{15, 25, 65, 75})); // "10, 20" is accepted
    EXPECT_EQ(Control("main.sub.a").Rect(), (TavRect{15, 25, 25, 35}));
    EXPECT_EQ(Control("main.sub.inner.i").Path(), "main.sub.inner.i");
    EXPECT_EQ(&Panel("main"), &Root("main"));
    CTavView* none = nullptr;
    EXPECT_FALSE(Root("main").FindControl("other.b", none));
    EXPECT_FALSE(Root("main").FindControl("main.sub", none));
    CTavRootPanel& dialog = Root("dialog");
    EXPECT_EQ(dialog.WindowPosition(), (TavPoint{30, 40}));
    EXPECT_TRUE(dialog.IsModal());
    EXPECT_EQ(dialog.CloseValueRefIndex(), 1);
    EXPECT_EQ(Views().FindRootPanel("mai"), nullptr);
    EXPECT_FALSE(Views().OpenRootPanel("mai"));
}

TEST_F(ViewTree, OpenConditionsFollowTheirValuesAndTheParent) {
    ASSERT_TRUE(Views().OpenRootPanel("main"));
    EXPECT_FALSE(Panel("main.sub").IsOpen());
    EXPECT_FALSE(Panel("main.sub.inner").IsOpen());
    for (int32_t mode : {2, 3, 2}) {
        Edit("qv.ctl.mode", mode);
        EXPECT_EQ(Panel("main.sub").IsOpen(), mode == 2) << mode;
        EXPECT_EQ(Panel("main.sub.inner").IsOpen(), mode == 2) << mode; // "1" follows its parent
        EXPECT_EQ(Control("main.sub.a").IsOpen(), mode == 2) << mode;
    }
    EXPECT_FALSE(Root("dialog").IsOpen());
    Edit("qv.ctl.mode", 5);
    EXPECT_TRUE(Root("dialog").IsOpen());
    EXPECT_TRUE(Root("main").IsOpen()); // no references: keeps its state

    // The close box writes the close value; the condition then closes the window.
    Root("dialog").RequestClose();
    EXPECT_EQ(Value("qv.ctl.mode").GetRaw(), 0);
    EXPECT_FALSE(Root("dialog").IsOpen());
    Root("main").RequestClose();
    EXPECT_FALSE(Root("main").IsOpen());
    EXPECT_FALSE(Panel("main.sub").IsOpen());
}

TEST_F(ViewTree, IndexExpressionReResolvesWhenTheIndexValueChanges) {
    ASSERT_TRUE(Views().OpenRootPanel("main"));
    Edit("qv.ctl.mode", 2);
    Probe& a = Control("main.sub.a");
    EXPECT_EQ(a.GetValue(0), &Value("qv.tone[0].level"));
    a.invalidated = 0;
    Edit("qv.ctl.part", 2);
    EXPECT_EQ(a.GetValue(0), &Value("qv.tone[2].level"));
    EXPECT_EQ(a.invalidated, 1);
    Edit("qv.tone[0].level", 1);
    EXPECT_EQ(a.invalidated, 1);
    Edit("qv.tone[2].level", 1);
    EXPECT_EQ(a.invalidated, 2);
}

// An index read through another bracketed index: the inner reference must be up to date
// before the outer one is resolved, however the references were listed.
class NestedIndex : public test::ModelFixture {
protected:
    void SetUp() override {
        Build(R"(
<structType><type>tone</type><name>tone</name><address>$adr</address><size>00 01</size>
  <value><name>level</name></value>
</structType>
<structType><type>sel</type><name>sel</name><address>$adr</address><size>00 01</size>
  <value><name>x</name><range>0,2</range><default>0</default></value>
</structType>
<structType><type>ctl</type><name>ctl</name><address>00 00</address>
  <value><name>part</name><range>0,2</range><default>0</default></value>
</structType>
<structType><type>rootType</type><name>qv</name><address>00 00 00</address>
  <struct><type>ctl</type></struct>
  <struct><type>tone</type><adr>00 10</adr><adr>00 11</adr><adr>00 12</adr></struct>
  <struct><type>sel</type><adr>00 20</adr><adr>00 21</adr><adr>00 22</adr></struct>
</structType>
<struct><type>rootType</type></struct>)");
    }
    // Sets the values without telling anybody.
    void Set(int32_t part, int32_t sel0, int32_t sel1) {
        Value("qv.ctl.part").SetRaw(part);
        Value("qv.sel[0].x").SetRaw(sel0);
        Value("qv.sel[1].x").SetRaw(sel1);
    }
};

TEST_F(NestedIndex, InnerReferencesAreResolvedBeforeTheOuterOnesThatReadThem) {
    for (const bool innerListedFirst : {false, true}) {
        SCOPED_TRACE(innerListedFirst ? "inner listed first" : "outer listed first");
        CTavView view;
        view.SetViewManager(&system.ViewManager());
        if (innerListedFirst)
            view.AddValueRef("qv.sel[qv.ctl.part].x");
        const int outer = view.AddValueRef("qv.tone[qv.sel[qv.ctl.part].x].level");
        Set(0, 1, 2);
        ASSERT_TRUE(view.ResolveValueRefs()) << system.ErrorText();
        EXPECT_EQ(view.GetValue(outer), &Value("qv.tone[1].level"));

        // The innermost index changes: the middle reference moves to sel[1], which says 2.
        Set(1, 1, 2);
        EXPECT_TRUE(view.OnValuesChanged(CTavValueSet({&Value("qv.ctl.part")})));
        EXPECT_EQ(view.GetValue(outer), &Value("qv.tone[2].level"));
        // The middle value changes: the outer reference follows it.
        Set(1, 1, 0);
        EXPECT_TRUE(view.OnValuesChanged(CTavValueSet({&Value("qv.sel[1].x")})));
        EXPECT_EQ(view.GetValue(outer), &Value("qv.tone[0].level"));
        // Resolving everything again (a control opening) reads the fresh inner value too.
        Set(0, 1, 0);
        ASSERT_TRUE(view.ResolveValueRefs());
        EXPECT_EQ(view.GetValue(outer), &Value("qv.tone[1].level"));
    }
}

TEST_F(ViewTree, MouseGoesToOpenPanelsHoldingThePointChildPanelsFirst) {
    ASSERT_TRUE(Views().OpenRootPanel("main"));
    EXPECT_EQ(Click(20, 30), (Log{"mouse b", "mouse c"})); // sub is closed
    Edit("qv.ctl.mode", 2);
    EXPECT_EQ(Click(20, 30), (Log{"mouse i", "mouse a", "mouse b", "mouse c"}));
    Control("main.b").handles = true;
    EXPECT_EQ(Click(100, 90), (Log{"mouse b"})); // outside sub
    EXPECT_EQ(Click(300, 300), Log{});

    // A capture reaches the captor even outside its panel.
    Control("main.b").Capture(true);
    EXPECT_EQ(Views().CapturedView(), &Control("main.b"));
    EXPECT_EQ(Click(300, 300), (Log{"mouse b"}));
    Control("main.b").Capture(false);
    EXPECT_EQ(Views().CapturedView(), nullptr);
    EXPECT_EQ(Click(300, 300), Log{});
}

TEST_F(ViewTree, KeysGoToTheFocusedViewAlone) {
    ASSERT_TRUE(Views().OpenRootPanel("main"));
    Control("main.b").SetFocus(true);
    Control("main.c").SetFocus(true);
    EXPECT_FALSE(Control("main.b").HasFocus());
    log.clear();
    EXPECT_TRUE(Root("main").OnKey({CTavKeyInfo::kDown, 'A', 0}));
    EXPECT_EQ(log, (Log{"key c"}));
    Control("main.c").SetFocus(false);
    EXPECT_EQ(Views().FocusedView(), nullptr);
    EXPECT_FALSE(Root("main").OnKey({CTavKeyInfo::kDown, 'A', 0}));
}

TEST_F(ViewTree, DrawsTheBitmapThenChildPanelsThenControlsWhileOpen) {
    CTavStateBitmap* back = system.ResourceManager().FindBitmap("back");
    CTavDrawInfo info;
    Root("main").Draw(info);
    EXPECT_TRUE(log.empty());
    ASSERT_TRUE(Views().OpenRootPanel("main"));
    Edit("qv.ctl.mode", 2);
    EXPECT_EQ(back->UseCount(), 1);
    log.clear();
    Root("main").Draw(info);
    EXPECT_EQ(log, (Log{"bitmap 5,5 0", "draw i", "draw a", "draw b", "draw c"}));
    log.clear();
    info.updateRects = {{300, 300, 310, 310}};
    Root("main").Draw(info);
    EXPECT_TRUE(log.empty());
    Root("main").Close();
    EXPECT_EQ(back->UseCount(), 0);
}

TEST_F(ViewTree, LongChangeListsGoInChunksWithProgress) {
    FakeProgress progress;
    Views().SetProgress(&progress);
    ASSERT_TRUE(Views().OpenRootPanel("main"));
    Probe& b = Control("main.b");
    for (size_t count : {size_t{8192}, size_t{8193}}) {
        progress.calls.clear();
        b.changes = 0;
        Views().ValuesChanged(std::vector<CTavBuffer*>(count, &Value("qv.ctl.part")));
        EXPECT_EQ(b.changes, count == 8192 ? 1 : 2);
        EXPECT_EQ(progress.calls, count == 8192 ? Log{} : (Log{"start 2", "step", "step", "finish"}));
    }
}

TEST_F(ViewTree, WindowPositionsAreSavedAndLoadedInLinePairs) {
    test::TempDir dir;
    const std::string path = (dir.Path() / "WindowPosition.txt").string();
    ASSERT_TRUE(Views().OpenRootPanel("main"));
    ASSERT_TRUE(Views().SaveWindowPositions(path));
    EXPECT_FALSE(Root("main").IsOpen());
    EXPECT_EQ(test::ReadFile(path), "main\n0,0\ndialog\n30,40\n");

    // A line longer than 255 characters is read as two, so the pairs after it still line up.
    dir.Write("WindowPosition.txt",
              "dialog\n7, 8\nnobody\n1,2\nmain\nbad\n" + std::string(300, 'x') + "\nmain\n-9,9\n");
    ASSERT_TRUE(Views().LoadWindowPositions(path));
    EXPECT_EQ(Root("dialog").WindowPosition(), (TavPoint{7, 8}));
    EXPECT_EQ(Root("main").WindowPosition(), (TavPoint{-9, 9}));
    EXPECT_FALSE(Views().LoadWindowPositions((dir.Path() / "absent.txt").string()));
    test::MakeNotAFile(test::NotAFile::kFifo, dir.Path() / "fifo.txt");
    EXPECT_FALSE(Views().LoadWindowPositions((dir.Path() / "fifo.txt").string())); // not waited on
}

TEST(ViewTreeBuild, MessagesNameWhatFailed) {
    const struct {
        const char* panels;
        const char* text;
    } cases[] = {
        {"<panelType><type>m</type><name>main</name><bitmapRf>back</bitmapRf></panelType>"
         "<panel><type>m</type></panel>",
         "Panel main unknown tags. : bitmapRf, \nUnable to convert root panel definition m to root panel.\n"},
        {"<panelType><type>m</type><name>main</name><position>10 20</position></panelType>"
         "<panel><type>m</type></panel>",
         "Position is invalid for view. : main : 10 20\nUnable to convert panel from element definitions m.\n"
         "Unable to convert root panel definition m to root panel.\n"},
        // Coordinates far off any screen would overflow once offset by the parents.
        {"<panelType><type>m</type><name>main</name><position>2147483647,0</position></panelType>"
         "<panel><type>m</type></panel>",
         "Position is invalid for view. : main : 2147483647,0\nUnable to convert panel from element definitions "
         "m.\nUnable to convert root panel definition m to root panel.\n"},
        {"<panelType><type>m</type><name>main</name><size>10,-9999999</size></panelType>"
         "<panel><type>m</type></panel>",
         "Size is invalid for view. : main : 10,-9999999\nUnable to convert panel from element definitions "
         "m.\nUnable to convert root panel definition m to root panel.\n"},
        {"<panelType><type>m</type><name>main</name><control><type>zz</type></control></panelType>"
         "<panel><type>m</type></panel>",
         "Unable to create child control zz.\nUnable to convert root panel definition m to root panel.\n"},
        {"<panelType><type>m</type><name>main</name><control><type>probe</type><name>p</name>"
         "<valueRef>qv.tone[qv.ctl.part,3,+].level</valueRef></control></panelType><panel><type>m</type></"
         "panel>",
         "Unable to convert value reference name qv.tone[qv.ctl.part,3,+].level to value.\n"
         "Unable to associate view main.p.\nUnable to create child control main.p.\n"
         "Unable to create root panel main.\n"},
        {"<panelType><type>m</type><name>main</name><openCondition>1,2</openCondition></panelType>"
         "<panel><type>m</type></panel>",
         "Unable to interpret open condition for panel. : main : 1,2\n"
         "Unable to convert panel from element definitions m.\n"
         "Unable to convert root panel definition m to root panel.\n"},
    };
    for (const auto& c : cases) {
        Log log;
        CTavSystem system;
        auto factory = std::make_unique<CTavViewFactory>();
        factory->Register("probe", [&log] { return std::make_unique<Probe>(log); });
        system.ViewManager().SetViewFactory(std::move(factory));
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(std::string(kModel) + c.panels));
        EXPECT_FALSE(system.CreateManagers());
        EXPECT_EQ(system.ErrorText(), std::string(c.text) + "Unable to create view manager.\n") << c.panels;
    }
}

TEST_F(ViewTree, AConditionReadingManyPathsRegistersEachPathOnce) {
    // Twenty spellings of one value, each read twice: the second reading finds the
    // reference the first registered.
    std::string condition = "0";
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 20; ++i)
            condition += ",qv.tone[0," + std::to_string(i) + ",*].level,+";
    CTavSystem fresh;
    fresh.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    fresh.AttachErrorOutputToManagers();
    ASSERT_TRUE(fresh.ReadScript(std::string(kModel) + "<panelType><type>t</type><name>many</name><openCondition>" +
                                 condition + "</openCondition></panelType><panel><type>t</type></panel>"));
    ASSERT_TRUE(fresh.CreateManagers()) << fresh.ErrorText();
    CTavRootPanel* many = fresh.ViewManager().FindRootPanel("many");
    ASSERT_NE(many, nullptr);
    ASSERT_EQ(many->ValueRefs().size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(many->FindValueRef("qv.tone[0," + std::to_string(i) + ",*].level"), i);
    EXPECT_EQ(many->FindValueRef("qv.tone[0,20,*].level"), -1);
    CTavBufferManager& buffers = fresh.BufferManager();
    buffers.WriteInteger(*buffers.FindValue("qv.tone[0].level"), 1);
    buffers.PublishPending();
    EXPECT_TRUE(many->IsOpen());
}

TEST(ViewTreeBuild, PanelTypesThatNeverEndOrMakeTooManyViewsFailWithAMessage) {
    std::string chain;
    for (int i = 0; i < 40; ++i)
        chain += "<panelType><type>c" + std::to_string(i) + "</type><panel><type>c" + std::to_string(i + 1) +
                 "</type></panel></panelType>";
    chain += "<panelType><type>c40</type></panelType><panel><type>c0</type><name>main</name></panel>";
    const struct {
        const char* behaviour;
        std::string panels;
        std::string firstLine;
    } cases[] = {
        {"a type holding itself",
         "<panelType><type>m</type><panel><type>m</type></panel></panelType><panel><type>m</type></panel>",
         "Unable to build panel type m that contains itself."},
        {"a cycle through another type",
         "<panelType><type>a</type><panel><type>b</type></panel></panelType>"
         "<panelType><type>b</type><panel><type>a</type></panel></panelType><panel><type>a</type></panel>",
         "Unable to build panel type a that contains itself."},
        {"a chain deeper than the limit", chain, "Unable to nest panel type c32 this deep."},
        {"16^8 panels", hostile::PanelFanOut(8, 16), "Unable to build more than 262144 panels and controls P8."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        CTavSystem system;
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(std::string(kModel) + c.panels));
        EXPECT_FALSE(system.CreateManagers());
        const std::string errors = system.ErrorText();
        EXPECT_EQ(errors.substr(0, errors.find('\n')), c.firstLine);
    }
}

TEST(ViewCheck, CommandLineCheckNeedsAMainPanelThatBuilds) {
    const auto noMain =
        test::RunCli({"--script-dir", (test::DataDir() / "scripts/invalid/no-main-panel").string(), "check"});
    EXPECT_EQ(noMain.exitCode, 1);
    EXPECT_EQ(noMain.err, "Unable to open main panel.\n");

    test::TempDir dir;
    dir.Write("VireoEditorScript.xml",
              "<panelType><type>m</type><control><type>zz</type></control></panelType>"
              "<panel><type>m</type><name>main</name></panel>");
    const auto badControl = test::RunCli({"--script-dir", dir.Path().string(), "check"});
    EXPECT_EQ(badControl.exitCode, 1);
    EXPECT_EQ(badControl.err, "Unable to create child control zz.\n"
                              "Unable to convert root panel definition m to root panel.\n"
                              "Unable to create view manager.\nUnable to create.\n");

    dir.Write("VireoEditorScript.xml", "<bitmap><name>back</name></bitmap>"
                                       "<panelType><type>m</type><bitmapRef>bakc</bitmapRef></panelType>"
                                       "<panel><type>m</type><name>main</name></panel>");
    const auto misspelt = test::RunCli({"--script-dir", dir.Path().string(), "check"});
    EXPECT_EQ(misspelt.exitCode, 1);
    EXPECT_EQ(misspelt.err, "Unable to find bitmap for panel. : main : bakc\n"
                            "Unable to convert panel from element definitions m.\n"
                            "Unable to convert root panel definition m to root panel.\n"
                            "Unable to create view manager.\nUnable to create.\n");
}

} // namespace
