// The editor without a mouse, on the shipped script and the virtual device: Tab and
// Shift+Tab walk a window in reading order and wrap, the focus frame follows, a knob changes
// from keys alone, Ctrl+1 ... 3 switch the main pages from any window, and on every page of
// every window each control that takes input is a stop that changes something from keys.

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/CTavSystem.h"
#include "app/TavCommands.h"
#include "app/qt/CApp.h"
#include "app/qt/CFileCommands.h"
#include "app/qt/CMainFrame.h"
#include "device/CTavFunctionManager.h"
#include "device/CTavPartPatchNameStaticText.h"
#include "midi/CTavMidi.h"
#include "midi/CTavMidiManager.h"
#include "midi/qt/CMidiService.h"
#include "model/CTavBufferManager.h"
#include "model/CTavEditHistory.h"
#include "model/CTavStruct.h"
#include "model/CTavValue.h"
#include "support/EditorOptions.h"
#include "support/FakeClock.h"
#include "support/FakeMenuSources.h"
#include "support/RecordedFunction.h"
#include "support/TestSupport.h"
#include "support/VirtualEditor.h"
#include "view/CTavButton.h"
#include "view/CTavControl.h"
#include "view/CTavKnobControl.h"
#include "view/CTavListControl.h"
#include "view/CTavViewManager.h"
#include "view/ITavTipBar.h"
#include "view/TavFocusOrder.h"
#include "view/TavSetValue.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CPopupEdit.h"
#include "view/qt/CRootPanel.h"
#include "virtual/CVirtualDevice.h"

namespace {

// The bytes of every leaf of the root and MIDI structs: what a key may change.
class StateSnapshot {
public:
    explicit StateSnapshot(CTavBufferManager& buffers) : m_buffers(buffers) {
        for (const TavStructList* list : {&buffers.RootStructs(), &buffers.MidiStructs()})
            for (const auto& structure : *list)
                structure->ForEachLeaf([this](CTavLeafStruct& leaf) {
                    if (leaf.Bytes())
                        m_leaves.push_back({&leaf, *leaf.Bytes()});
                });
    }
    bool Changed() const {
        for (const auto& [leaf, bytes] : m_leaves)
            if (*leaf->Bytes() != bytes)
                return true;
        return false;
    }
    // Puts the bytes back and tells the views, so closed pages open again.
    void Restore() {
        for (auto& [leaf, bytes] : m_leaves)
            if (*leaf->Bytes() != bytes) {
                *leaf->Bytes() = bytes;
                for (CTavValue& value : *leaf->ChildValues())
                    m_buffers.RecordChange(value);
            }
        m_buffers.PublishPending();
        m_buffers.ClearPending();
    }

private:
    CTavBufferManager& m_buffers;
    std::vector<std::pair<CTavLeafStruct*, TavBytes>> m_leaves;
};

// Counts what the outputs send, and passes it on to their devices.
class SentCounter {
public:
    explicit SentCounter(CTavMidiManager& midi) {
        for (const auto& out : midi.Outputs())
            m_taps.push_back(std::make_unique<Tap>(*out, count));
    }
    size_t count = 0;

private:
    class Tap : public CTavMidiOutDevice {
    public:
        Tap(CTavMidiOut& out, size_t& count) : m_out(out), m_next(out.Device()), m_count(count) {
            out.SetDevice(this);
        }
        ~Tap() override { m_out.SetDevice(m_next); }
        void Send(const TavBytes& bytes) override {
            ++m_count;
            if (m_next)
                m_next->Send(bytes);
        }

    private:
        CTavMidiOut& m_out;
        CTavMidiOutDevice* m_next;
        size_t& m_count;
    };
    std::vector<std::unique_ptr<Tap>> m_taps;
};

// Counts published changes: a part button's click publishes the part it holds already.
class ChangeCounter : public ITavBufferListener {
public:
    void BuffersChanged(const std::vector<CTavBuffer*>& changed, TavChangeOrigin) override {
        count += changed.size();
    }
    size_t count = 0;
};

class KeyboardNavigation : public test::VirtualEditor {
protected:
    void SetUp() override {
        VirtualEditor::SetUp();
        if (HasFatalFailure())
            return;
        main = Root("main");
        ASSERT_TRUE(main && main->Widget() && app->History());
        app->Files()->ask = [](const QString&) { return 3; }; // No: the changes are not saved
    }
    CTavView* Control(CTavPanel& panel, const std::string& path) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel.FindControl(path, view)) << path;
        return view;
    }
    CTavView* Focused() { return system.ViewManager().FocusedView(); }
    static void Send(QWidget* target, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(type, key, modifiers);
        QApplication::sendEvent(target, &event);
    }
    static void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Send(target, QEvent::KeyPress, key, modifiers);
        Send(target, QEvent::KeyRelease, key, modifiers);
    }
    static void Tab(QWidget* target, bool forward = true) {
        Press(target, forward ? Qt::Key_Tab : Qt::Key_Backtab, forward ? Qt::NoModifier : Qt::ShiftModifier);
    }
    // Tabs until the view has the focus; false when a whole round did not reach it.
    bool TabTo(CRootPanel& root, const CTavView* view) {
        const size_t stops = TavFocusOrder(root).size();
        for (size_t i = 0; i <= stops && Focused() != view; ++i)
            Tab(root.Widget());
        return Focused() == view;
    }
    static void Type(CPopupEdit& box, const QString& text) {
        box.LineEdit().setText(text);
        Press(&box.LineEdit(), Qt::Key_Return);
    }

    CRootPanel* main = nullptr;
};

TEST_F(KeyboardNavigation, TabWalksAWindowInReadingOrderWrapsAndShiftTabGoesBack) {
    Set("vs.control.entityType", 1); // the patch editor opens
    CRootPanel* editor = Root("patchEditor");
    ASSERT_TRUE(editor && editor->Widget());
    const StateSnapshot before(system.BufferManager());
    const size_t steps = app->History()->StepCount();
    for (CRootPanel* root : {main, editor}) {
        SCOPED_TRACE(root->Name());
        const std::vector<CTavView*> order = TavFocusOrder(*root);
        ASSERT_GT(order.size(), 40u);
        for (size_t i = 0; i < order.size(); ++i) {
            Tab(root->Widget());
            ASSERT_EQ(Focused(), order[i]) << i << " " << order[i]->Path();
        }
        Tab(root->Widget());
        EXPECT_EQ(Focused(), order.front());
        Tab(root->Widget(), false);
        EXPECT_EQ(Focused(), order.back());
        Tab(root->Widget(), false);
        EXPECT_EQ(Focused(), order[order.size() - 2]);
    }
    // The main window reads its top line first: the tool buttons, then the page tabs.
    std::vector<std::string> top;
    for (const CTavView* view : TavFocusOrder(*main))
        if (top.size() < 6)
            top.push_back(view->Path());
    EXPECT_EQ(top, (std::vector<std::string>{"main.sampleEdit", "main.read", "main.sync", "main.tabMixer",
                                             "main.tabEffects", "main.tabSetup"}));
    // Moving the focus changes nothing, and a knob shows its value in the tip bar.
    EXPECT_FALSE(before.Changed());
    EXPECT_EQ(app->History()->StepCount(), steps);
    CTavView* knob = main->FirstControlOf<CTavKnobControl>();
    ASSERT_TRUE(TabTo(*main, knob));
    ASSERT_NE(system.ViewManager().TipBar(), nullptr);
    EXPECT_TRUE(system.ViewManager().TipBar()->IsShown());
}

TEST_F(KeyboardNavigation, TheFocusFrameIsDrawnAroundTheStopAndRepaintedWhereItMoves) {
    CPanelWidget* widget = main->Widget();
    const std::vector<CTavView*> order = TavFocusOrder(*main);
    const auto amber = [&](TavPoint at) {
        QApplication::processEvents();
        return widget->BackBuffer().pixel(at.x - main->Rect().left, at.y - main->Rect().top) ==
               qRgb(240, 160, 48);
    };
    const TavRect first = order[0]->Rect(), second = order[1]->Rect();
    EXPECT_FALSE(amber({first.left - 1, first.top - 1})); // none before the keyboard moves
    Tab(widget);
    EXPECT_EQ(widget->KeyboardFocus().Frame(),
              (TavRect{first.left - 1, first.top - 1, first.right + 1, first.bottom + 1}));
    EXPECT_TRUE(amber({first.left - 1, first.top - 1}));
    EXPECT_TRUE(amber({first.right, first.bottom}));
    EXPECT_FALSE(amber({first.left + 2, first.top - 2}));
    // The next Tab repaints the old place without the frame and draws the new one.
    Tab(widget);
    EXPECT_FALSE(amber({first.left - 1, first.top - 1}));
    EXPECT_TRUE(amber({second.left - 1, second.top - 1}));
    // A click takes the frame away; the next Tab goes on from the clicked control.
    CTavView* knob = main->FirstControlOf<CTavKnobControl>();
    const QPointF at((knob->Rect().left + knob->Rect().right) / 2 - main->Rect().left,
                     (knob->Rect().top + knob->Rect().bottom) / 2 - main->Rect().top);
    for (const auto& [type, buttons] :
         {std::pair{QEvent::MouseButtonPress, Qt::MouseButtons(Qt::LeftButton)},
          std::pair{QEvent::MouseButtonRelease, Qt::MouseButtons(Qt::NoButton)}}) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
    EXPECT_FALSE(amber({second.left - 1, second.top - 1}));
    EXPECT_TRUE(widget->KeyboardFocus().Frame().IsEmpty());
    Tab(widget);
    EXPECT_EQ(Focused(), TavNextFocus(*main, knob, true));
}

TEST_F(KeyboardNavigation, AKnobReachedWithTabStepsWithArrowsAndTakesATypedValueOnF2) {
    CTavValue& send = Value("qv.prti.part[0].partReverbSendLevel");
    Set("qv.prti.part[0].partReverbSendLevel", 20);
    ASSERT_TRUE(TabTo(*main, Control(*main, "main.mixer.part1.reverbSend")));
    const size_t steps = app->History()->StepCount();
    Press(main->Widget(), Qt::Key_Up);
    Press(main->Widget(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_GT(send.GetRaw(), 22);
    EXPECT_EQ(app->History()->StepCount(), steps + 2); // one undo step per key run
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<CPopupEdit*>(QApplication::activeModalWidget())) {
            shown = box->LineEdit().text();
            Type(*box, "40");
        }
    });
    const int32_t before = send.GetRaw();
    Press(main->Widget(), Qt::Key_F2);
    EXPECT_EQ(shown, QString::number(before));
    EXPECT_EQ(send.GetRaw(), 40);
}

TEST_F(KeyboardNavigation, CtrlOneTwoThreeShowTheMainPagesFromEveryWindow) {
    CMainFrame* frame = app->MainFrame();
    const struct {
        int id;
        const char* text;
        const char* keys;
    } items[] = {{TavCommands::kShowMixer, "&Mixer", "Ctrl+1"},
                 {TavCommands::kShowEffects, "&Effects", "Ctrl+2"},
                 {TavCommands::kShowSetup, "Set&up", "Ctrl+3"}};
    for (const auto& item : items) {
        ASSERT_NE(frame->Action(item.id), nullptr);
        EXPECT_EQ(frame->Action(item.id)->text(), item.text);
        EXPECT_EQ(frame->Action(item.id)->shortcut(), QKeySequence(item.keys));
    }
    Set("vs.control.entityType", 1);
    ASSERT_TRUE(Root("patchEditor") && Root("patchEditor")->Widget());
    CTavPanel* effects = nullptr;
    ASSERT_TRUE(main->FindPanel("main.effects", effects));
    const struct {
        QWidget* window;
        int key;
        int32_t page;
    } cases[] = {{main->Widget(), Qt::Key_2, 1},
                 {Root("patchEditor")->Widget(), Qt::Key_3, 2},
                 {main->Widget(), Qt::Key_1, 0},
                 {Root("patchEditor")->Widget(), Qt::Key_2, 1}};
    for (const auto& c : cases) {
        Press(c.window, c.key, Qt::ControlModifier);
        EXPECT_EQ(Value("vs.control.mainPage").GetRaw(), c.page);
        EXPECT_EQ(effects->IsOpen(), c.page == 1);
    }
}

// Every control of the panel and its child panels; with openOnly, those shown now.
void ForEachControl(const CTavPanel& panel, const std::function<void(CTavView&)>& visit,
                    bool openOnly = false) {
    if (openOnly && !panel.IsOpen())
        return;
    for (const auto& control : panel.Controls())
        if (!openOnly || control->IsOpen())
            visit(*control);
    for (const auto& child : panel.ChildPanels())
        ForEachControl(*child, visit, openOnly);
}

// The kinds that only show values; every other control shown and enabled takes keys.
const std::set<std::string_view> kShowOnly = {"staticText",
                                              "staticTextPicture",
                                              "quasarSwStaticTextPicture",
                                              "envelope",
                                              "fadeRange",
                                              "bias",
                                              "quasarLfoControl",
                                              "valeIndicator",
                                              "quasarSampleViewControl",
                                              "quasarOverviewControl"};

TEST_F(KeyboardNavigation, EveryStopOfEveryPageOfEveryWindowChangesWithUpDownOrSpace) {
    // What the stops call is recorded, not run; menus choose another entry; edit boxes
    // take "1" (or "2" where they show "1").
    std::vector<std::unique_ptr<test::RecordedFunction>> functions;
    std::set<std::string> recorded;
    for (const auto& root : system.ViewManager().RootPanels())
        ForEachControl(*root, [&](CTavView& view) {
            std::string name;
            if (auto* button = dynamic_cast<CTavUnlatchButton*>(&view))
                name = button->Function();
            else if (auto* text = dynamic_cast<Brio::CTavPartPatchNameStaticText*>(&view))
                name = text->Function();
            if (name.empty() || !recorded.insert(name).second)
                return;
            CTavSystem::Instance().FunctionManager().Unregister(name);
            functions.push_back(std::make_unique<test::RecordedFunction>(name));
        });
    const auto calls = [&functions] {
        size_t count = 0;
        for (const auto& function : functions)
            count += function->calls.size();
        return count;
    };
    auto popup = std::make_unique<test::FakePopup>();
    test::FakePopup* menus = popup.get();
    menus->onShow = [menus](const CTavMenuItem& menu) {
        menus->answer = menus->lastCurrent == 0 && menu.CountLeaves() > 1 ? 1 : 0;
    };
    system.SetPopupMenu(std::move(popup));
    QTimer typist;
    typist.setInterval(0);
    QObject::connect(&typist, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<CPopupEdit*>(QApplication::activeModalWidget()))
            Type(*box, box->LineEdit().text() == "1" ? "2" : "1");
    });
    typist.start();
    const SentCounter sent(system.MidiManager());
    ChangeCounter changes;
    system.BufferManager().AddListener(changes);

    const struct {
        const char* window;
        const char* opens; // the value that opens the window, and what it is set to
        int32_t open;
        const char* page;
        int32_t pages;
    } windows[] = {{"main", nullptr, 0, "vs.control.mainPage", 3},
                   {"patchEditor", "vs.control.entityType", 1, "vs.control.editorPage", 4},
                   {"rhythmEditor", "vs.control.entityType", 2, "vs.control.editorPage", 4},
                   {"sampleEditor", "vs.sampleEdit.view.view", 1, "vs.sampleEdit.view.modifyView", 7}};
    // Ctrl+Space: a tone button of the one tone edited selects all four.
    const std::pair<int, Qt::KeyboardModifiers> kKeys[] = {{Qt::Key_Up, Qt::NoModifier},
                                                           {Qt::Key_Down, Qt::NoModifier},
                                                           {Qt::Key_Space, Qt::NoModifier},
                                                           {Qt::Key_Space, Qt::ControlModifier}};
    std::vector<std::string> unchanged, missed;
    size_t visited = 0;
    for (const auto& w : windows) {
        if (w.opens)
            Set(w.opens, w.open);
        CRootPanel* root = Root(w.window);
        ASSERT_TRUE(root && root->Widget()) << w.window;
        if (root == Root("sampleEditor")) {
            // The beat loop, picked from the list with keys, has beats and is wider than the
            // view; its markers sit between its ends, and it has chop points.
            app->Midi()->VirtualDevice().WithDevice([](CVirtualDevice& device) {
                CVirtualSampleMemory::Sample* loop =
                    device.Samples().Find(CVirtualSampleMemory::kUserGroup, 9);
                ASSERT_NE(loop, nullptr);
                loop->start = 22050;
                loop->loop = 44100;
                loop->end = 132300;
                loop->chopPoints = {66150, 88200};
            });
            auto* list = dynamic_cast<CTavListControl*>(Control(*root, "sampleEditor.list.sampleList"));
            ASSERT_TRUE(list && TabTo(*root, list));
            for (int i = 0; i < 20 && list->CurrentRow() != 9; ++i)
                Press(root->Widget(), Qt::Key_Down);
            Press(root->Widget(), Qt::Key_Space);
            root->OnTimer(CTavTimerInfo{});
            ASSERT_EQ(Value("vs.sampleEdit.view.sampleNumberL").GetRaw(), 9);
            // Zoomed in by keys, the view shows part of the sample: the scroll bar can move.
            ASSERT_TRUE(TabTo(*root, Control(*root, "sampleEditor.browse.zoomIn")));
            Press(root->Widget(), Qt::Key_Space);
            root->OnTimer(CTavTimerInfo{});
            ASSERT_LT(Value("vs.sampleEdit.view.viewRangeUp").GetRaw(),
                      Value("vs.sampleEdit.view.scrollRangeUp").GetRaw());
        }
        for (int32_t page = 0; page < w.pages; ++page) {
            Set(w.page, page);
            const std::vector<CTavView*> stops = TavFocusOrder(*root);
            ForEachControl(
                *root,
                [&](CTavView& view) {
                    auto* control = dynamic_cast<CTavControl*>(&view);
                    const bool input =
                        control && !kShowOnly.contains(control->GetKind()) && !control->IsDisabled();
                    const bool stop = std::find(stops.begin(), stops.end(), &view) != stops.end();
                    if (input != stop)
                        missed.push_back(view.Path() + (stop ? " is a stop" : " is no stop"));
                },
                true);
            for (CTavView* stop : stops) {
                ASSERT_TRUE(TabTo(*root, stop)) << stop->Path();
                StateSnapshot state(system.BufferManager());
                const size_t called = calls();
                const size_t messages = sent.count, published = changes.count;
                bool changed = false;
                for (const auto& [key, modifiers] : kKeys) {
                    Press(root->Widget(), key, modifiers);
                    changed = calls() != called || changes.count != published || sent.count != messages ||
                              state.Changed();
                    if (changed)
                        break;
                }
                // The tab of the page shown is chosen already; pressed again it keeps it.
                auto* latch = dynamic_cast<CTavLatchButton*>(stop);
                if (!changed && !(latch && latch->State() >= 2))
                    unchanged.push_back(stop->Path() + " (page " + std::to_string(page) + ")");
                state.Restore();
                ++visited;
            }
        }
        if (w.opens)
            Set(w.opens, 0);
    }
    system.BufferManager().RemoveListener(changes);
    EXPECT_GT(visited, 1000u);
    const auto lines = [](const std::vector<std::string>& paths) {
        std::string text;
        for (const std::string& path : paths)
            text += path + "\n";
        return text;
    };
    EXPECT_TRUE(missed.empty()) << lines(missed);
    EXPECT_TRUE(unchanged.empty()) << unchanged.size() << " stops changed nothing:\n" << lines(unchanged);
}

} // namespace
