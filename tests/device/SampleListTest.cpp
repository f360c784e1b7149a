// The sample list and the sample view group button built from a small script over a
// catalog of the test's: rows of mono, stereo and empty entries, the rebuild on the
// modify mark, the selection the sample editor reads, and the group switch.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/CTavBufferAccessor.h"
#include "device/CTavSampleListControl.h"
#include "device/TavControlCatalog.h"
#include "entity/CTavEntityBanks.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavViewFactory.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

using namespace Brio;
using Texts = std::vector<std::string>;

const char* const kValues = R"(
<bitmap><name>latch</name><stateCount>4</stateCount></bitmap>
<textWriter><name>tw</name></textWriter>
<structType><type>View</type><name>view</name><address>00 00</address>
  <value><name>sampleGroupID</name><address>00</address><range>2,3</range><default>2</default></value>
  <value><name>sampleSelectState</name><address>01</address><range>0,2</range><default>0</default></value>
  <value><name>mark</name><address>02</address><range>0,127</range><default>0</default></value>
  <value><type>int4x4</type><name>first</name><address>04</address><range>0,7000</range><default>0</default></value>
  <value><type>int4x4</type><name>last</name><address>08</address><range>0,7000</range><default>0</default></value>
  <value><type>int4x4</type><name>current</name><address>0C</address><range>0,7000</range><default>0</default></value>
  <value><type>int4x4</type><name>top</name><address>10</address><range>0,7000</range><default>0</default></value>
  <value><type>int4x4</type><name>bottom</name><address>14</address><range>0,7000</range><default>0</default></value>
</structType>
<structType><type>Edit</type><name>sampleEdit</name><address>00 00 00</address>
  <struct><type>View</type></struct>
</structType>
<structType><type>Root</type><name>vs</name><address>00 00 00 00</address>
  <struct><type>Edit</type></struct>
</structType>
<struct><type>Root</type></struct>
)";

const std::string kControls =
    "<control><type>quasarSampleListControl</type><name>list</name><position>0,0</position><size>200,100</size>"
    "<textWriterRef>tw</textWriterRef><rowHeight>10</rowHeight>"
    "<headerTexts>No, Name, Ch, Size</headerTexts><columnWidths>50,80,20</columnWidths>"
    "<firstRowValueRef>vs.sampleEdit.view.first</firstRowValueRef>"
    "<lastRowValueRef>vs.sampleEdit.view.last</lastRowValueRef>"
    "<currentRowValueRef>vs.sampleEdit.view.current</currentRowValueRef>"
    "<firstVisibleRowValueRef>vs.sampleEdit.view.top</firstVisibleRowValueRef>"
    "<lastVisibleRowValueRef>vs.sampleEdit.view.bottom</lastVisibleRowValueRef>"
    "<waveGroupIDValueRef>vs.sampleEdit.view.sampleGroupID</waveGroupIDValueRef>"
    "<entityModifyValueRef>vs.sampleEdit.view.mark</entityModifyValueRef></control>"
    "<control><type>quasarSampleViewGroupButton</type><name>group</name><position>250,0</position>"
    "<bitmapRef>latch</bitmapRef><valueRef>vs.sampleEdit.view.sampleGroupID</valueRef>"
    "<onValue>3</onValue><offValue>2</offValue></control>";

class SampleListTest : public test::ModelFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(TavCreateFixedBanks(catalog, {}));
        catalog.SetInformation({3, 0, 0, 1}, CTavSampleInformation("Kick", TavSampleKind::Mono, 120, 0));
        catalog.SetInformation({3, 0, 0, 2}, CTavSampleInformation("Pad", TavSampleKind::StereoLeft, 300, 0));
        catalog.SetInformation({3, 0, 0, 3}, CTavSampleInformation("Pad", TavSampleKind::StereoRight, 300, 0));
        catalog.SetInformation({3, 1, 0, 1}, CTavSampleInformation("Loop", TavSampleKind::Mono, 50, 0));
        TavSetControlCatalog(&catalog);
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        system.ViewManager().SetViewFactory(std::make_unique<CTavViewFactory>());
        ASSERT_NO_FATAL_FAILURE(Build(test::MainPanelScript(kValues, "400,200", kControls)));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
        CTavView* view = nullptr;
        ASSERT_TRUE(panel->FindControl("main.list", view));
        list = dynamic_cast<CTavSampleListControl*>(view);
        ASSERT_NE(list, nullptr);
    }
    void TearDown() override {
        if (panel)
            panel->Close();
        TavSetControlCatalog(nullptr);
    }
    void Click(int32_t x, int32_t y, uint32_t modifiers = 0) {
        panel->OnMouse(CTavMouseInfo{CTavMouseInfo::kPressed, {x, y}, modifiers});
        panel->OnMouse(CTavMouseInfo{CTavMouseInfo::kReleased, {x, y}, modifiers});
    }
    // The row's texts while the list shows rows from 1.
    const Texts& Row(int32_t row) { return list->VisibleRowTexts().at(static_cast<size_t>(row - 1)); }
    int32_t Raw(const std::string& name) { return Value("vs.sampleEdit.view." + name).GetRaw(); }
    void Set(const std::string& name, int32_t raw) {
        TavSetValueInteger(Buffers(), Value("vs.sampleEdit.view." + name), raw);
    }
    const std::vector<ITavSampleList*>& Lists() {
        return CTavBufferAccessor::Instance().SampleEditor().SampleLists();
    }

    CTavEntityManager catalog;
    CTavRootPanel* panel = nullptr;
    CTavSampleListControl* list = nullptr;
};

TEST_F(SampleListTest, RowsShowNumberNameChannelAndRebuildOnTheModifyMark) {
    EXPECT_EQ(Raw("first"), 1);
    EXPECT_EQ(Raw("last"), kTavUserSampleCount - 1);
    EXPECT_EQ(Raw("top"), 1);
    EXPECT_EQ(Row(1), (Texts{"U0001", "Kick", "M", "120"}));
    EXPECT_EQ(Row(2), (Texts{"U0002", "Pad", "L", "300"}));
    EXPECT_EQ(Row(3), (Texts{"U0003", "", "R", "300"})); // the right half shows no name
    EXPECT_EQ(Row(4), (Texts{"U0004"}));                 // empty entry
    catalog.SetInformation({3, 0, 0, 4}, CTavSampleInformation("Hat", TavSampleKind::Mono, 10, 0));
    EXPECT_EQ(Row(4), (Texts{"U0004"}));
    Set("mark", 1);
    EXPECT_EQ(Row(4), (Texts{"U0004", "Hat", "M", "10"}));
}

TEST_F(SampleListTest, SelectionReachesTheSampleEditorAndTheSelectState) {
    ASSERT_EQ(Lists().size(), 1u);
    EXPECT_EQ(Lists()[0], list);
    Click(100, 25);           // row 2
    EXPECT_EQ(Raw("sampleSelectState"), 1);
    Click(100, 35, kTavShift); // to row 3
    EXPECT_EQ(Lists()[0]->SelectedSamples(), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(Raw("sampleSelectState"), 2);
    Lists()[0]->ClearSelection();
    EXPECT_EQ(Raw("sampleSelectState"), 0);
    EXPECT_TRUE(list->SelectedSamples().empty());
    panel->Close();
    EXPECT_TRUE(Lists().empty());
}

TEST_F(SampleListTest, GroupButtonResyncsOpenListsOnTheNewGroup) {
    Click(100, 45);
    Set("top", 3);
    Click(260, 10); // user samples to card samples
    EXPECT_EQ(Raw("sampleGroupID"), 3);
    EXPECT_TRUE(list->SelectedSamples().empty());
    EXPECT_EQ(Raw("last"), kTavCardSampleCount - 1);
    EXPECT_EQ(Raw("current"), 1);
    EXPECT_EQ(Raw("top"), 1);
    EXPECT_EQ(Row(1), (Texts{"C0001", "Loop", "M", "50"}));
    Click(260, 10);
    EXPECT_EQ(Row(2), (Texts{"U0002", "Pad", "L", "300"}));
}

} // namespace
