// Control coverage: index expressions counted for every index they can take, references
// that only expressions read left out, and the script's noControl declarations.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/CTavValue.h"
#include "support/ModelFixture.h"
#include "view/CTavView.h"
#include "view/CTavViewFactory.h"
#include "view/CTavViewManager.h"
#include "view/TavControlCoverage.h"

namespace {

// A control bound to every "valueRef" it is given.
class Probe : public CTavView {
public:
    bool Configure(TavItems& items) override {
        if (!CTavView::Configure(items))
            return false;
        for (auto it = items.begin(); it != items.end();) {
            if (it->first != "valueRef") {
                ++it;
                continue;
            }
            AddValueRef(it->second);
            it = items.erase(it);
        }
        return true;
    }
};

// vs.ctl.part runs one past the tones, as "no part" does.
const char* const kModel = R"(
<structType><type>ctl</type><name>ctl</name><address>00 00</address>
  <value><name>part</name><range>0,3</range><default>0</default></value>
</structType>
<structType><type>vsType</type><name>vs</name><address>00 00 00</address><struct><type>ctl</type></struct></structType>
<struct><type>vsType</type></struct>
<structType><type>common</type><name>common</name><address>00 00</address>
  <value><name>a</name><range>0,2</range><default>0</default></value>
  <value><name>b</name></value>
  <value><name>spare1</name></value>
  <value><name>spare2</name></value>
</structType>
<structType><type>tone</type><name>tone</name><address>$adr</address><size>00 02</size>
  <value><name>level</name></value>
  <value><name>pan</name></value>
</structType>
<structType><type>qvType</type><name>qv</name><address>01 00 00</address>
  <struct><type>common</type></struct>
  <struct><type>tone</type><adr>00 10</adr><adr>00 12</adr><adr>00 14</adr></struct>
</structType>
<struct><type>qvType</type></struct>
)";

const char* const kPanels = R"(
<panelType><type>toneType</type><name>tone</name><openCondition>qv.common.b,1,==</openCondition>
  <control><type>probe</type><name>level</name><valueRef>qv.tone[vs.ctl.part].level</valueRef></control>
  <control><type>probe</type><name>pan</name><valueRef>qv.tone[vs.ctl.part,1,+,2,@min].pan</valueRef></control>
  <control><type>probe</type><name>byA</name><valueRef>qv.tone[qv.common.a].level</valueRef></control>
</panelType>
<panelType><type>mainType</type><name>main</name><panel><type>toneType</type></panel></panelType>
<panel><type>mainType</type></panel>
<noControl><path>qv.common.spare*</path><path>qv.nothing*</path><reason>reserved</reason></noControl>
<noControl><path>qv.tone[0].level</path><reason>has one after all</reason></noControl>
)";

class ControlCoverage : public test::ModelFixture {
protected:
    void SetUp() override {
        auto factory = std::make_unique<CTavViewFactory>();
        factory->Register("probe", [] { return std::make_unique<Probe>(); });
        system.ViewManager().SetViewFactory(std::move(factory));
        Build(std::string(kModel) + kPanels);
    }
    static std::vector<std::string> Paths(const std::vector<const CTavValue*>& values) {
        std::vector<std::string> paths;
        for (const CTavValue* value : values)
            paths.push_back(value->FullPath());
        return paths;
    }
};

TEST_F(ControlCoverage, IndexExpressionsCountForEveryIndexTheyCanTake) {
    CTavViewManager& views = system.ViewManager();
    const CTavControlCoverage coverage = TavMeasureControlCoverage(views, Buffers(), "qv", views.NoControlRules());
    EXPECT_EQ(coverage.total, 10u);
    // Every level; the pans of tones 1 and 2 only. qv.common.a and b are only read, by an
    // index and by the open condition.
    EXPECT_EQ(coverage.covered, 5u);
    EXPECT_EQ(Paths(coverage.missing), (std::vector<std::string>{"qv.common.a", "qv.common.b", "qv.tone[0].pan"}));
    ASSERT_EQ(coverage.excused.size(), 2u);
    EXPECT_EQ(coverage.excused[1].value->FullPath(), "qv.common.spare2");
    EXPECT_EQ(coverage.excused[1].rule->reason, "reserved");
    EXPECT_EQ(coverage.unmatchedPatterns, std::vector<std::string>{"qv.nothing*"});

    const auto expanded = [this](const char* path) {
        std::vector<const CTavValue*> values;
        for (CTavValue* value : TavExpandValuePath(Buffers(), path))
            values.push_back(value);
        return Paths(values);
    };
    EXPECT_EQ(expanded("qv.tone[vs.ctl.part,2,*].pan"), (std::vector<std::string>{"qv.tone[0].pan", "qv.tone[2].pan"}));
    EXPECT_EQ(expanded("qv.tone[qv.tone[vs.ctl.part].level,2,@min].pan"),
              (std::vector<std::string>{"qv.tone[0].pan", "qv.tone[1].pan", "qv.tone[2].pan"}));
    EXPECT_EQ(expanded("qv.tone[vs.ctl.part]"), std::vector<std::string>{}); // a struct
    EXPECT_EQ(expanded("qv.tone[1,0,/].pan"), std::vector<std::string>{});
    EXPECT_EQ(expanded("qv.tone[1"), std::vector<std::string>{});
}

TEST(ControlCoverageRules, PatternsAndDeclarationsAreCheckedAsWritten) {
    const struct {
        const char* pattern;
        const char* path;
        bool matches;
    } patterns[] = {
        {"qv.a", "qv.a", true},          {"qv.a", "qv.ab", false},
        {"qv.*", "qv.pat[1].x", true},   {"qv.pat[*].x", "qv.pat[12].x", true},
        {"qv.pat[*].x", "qv.pat[1].y", false}, {"*spare*", "qv.common.spare2", true},
        {"**", "", true},                {"qv.*.x", "qv.x", false},
    };
    for (const auto& c : patterns)
        EXPECT_EQ(TavPathMatches(c.pattern, c.path), c.matches) << c.pattern << " " << c.path;

    const struct {
        TavItems items;
        bool accepted;
    } declarations[] = {
        {{{"path", "qv.a"}, {"path", "qv.b"}, {"reason", "r"}}, true},
        {{{"reason", "r"}}, false},
        {{{"path", "qv.a"}}, false},
        {{{"path", "qv.a"}, {"reason", "r"}, {"reason", "s"}}, false},
        {{{"path", "qv.a"}, {"reason", ""}}, false},
        {{{"path", "qv.a"}, {"reason", "r"}, {"why", "x"}}, false},
    };
    for (const auto& c : declarations) {
        CTavElementDefinition definition;
        definition.items = c.items;
        std::vector<CTavNoControlRule> rules;
        CTavTextOutStringStream errors;
        EXPECT_EQ(TavConvertNoControlRules({definition}, rules, &errors), c.accepted) << errors.Text();
        EXPECT_EQ(errors.Text().empty(), c.accepted) << errors.Text();
    }
}

} // namespace
