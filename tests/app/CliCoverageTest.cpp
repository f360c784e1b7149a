// vireo-cli coverage, and what the shipped script must keep up with: its covered values
// and the device control kinds whose classes are built.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "device/CTavDeviceControlKinds.h"
#include "support/DeviceLayerFixture.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavView.h"
#include "view/CTavViewFactory.h"

namespace {

// The covered values of the shipped script never fall below this; raise it as panels land.
constexpr int kCoveredFloor = 47292;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// The kinds the panels were built with, as the view factory was asked for them.
class RecordingFactory : public CTavViewFactory {
public:
    explicit RecordingFactory(std::set<std::string>& kinds) : m_kinds(kinds) {}
    std::unique_ptr<CTavView> CreateControl(std::string_view kind) override {
        m_kinds.emplace(kind);
        return CTavViewFactory::CreateControl(kind);
    }

private:
    std::set<std::string>& m_kinds;
};

class ShippedScriptKinds : public test::ModelFixture {};

} // namespace

TEST(CliCoverage, TheShippedScriptKeepsItsCoveredValuesAndListsTheRest) {
    const auto result = test::RunCli({"--script-dir", VIREO_BUILT_SCRIPT_DIR, "coverage"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_FALSE(lines.empty());
    int covered = 0, total = 0;
    ASSERT_EQ(std::sscanf(lines.back().c_str(), "%d of %d values have a control", &covered, &total), 2)
        << lines.back();
    EXPECT_GE(covered, kCoveredFloor);
    // Every other value is listed once, missing or declared.
    size_t listed = 0;
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].starts_with("qv.") || lines[i].starts_with("  qv."))
            ++listed;
    EXPECT_EQ(listed, static_cast<size_t>(total - covered));
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size());
}

TEST(CliCoverage, DeclaredValuesAreListedApartWithTheirReason) {
    test::TempDir dir;
    dir.Write("VireoEditorScript.xml", R"(<?xml version="1.0" encoding="Shift_JIS"?>
<structType><type>common</type><name>common</name><address>00 00 00 00</address>
  <value><name>level</name></value><value><name>spare</name></value><value><name>pan</name></value>
</structType>
<structType><type>qvType</type><name>qv</name><address>01 00 00 00</address><struct><type>common</type></struct></structType>
<struct><type>qvType</type></struct>
<textWriter><name>t</name></textWriter>
<panelType><type>mainType</type>
  <control><type>staticText</type><name>level</name><valueRef>qv.common.level</valueRef><textWriterRef>t</textWriterRef></control>
</panelType>
<panel><type>mainType</type><name>main</name></panel>
<noControl><path>qv.common.sp*</path><path>qv.gone</path><reason>reserved by the device</reason></noControl>
)");
    const auto result = test::RunCli({"--script-dir", dir.Path().string(), "coverage"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "qv.common.pan\n"
                          "No control on purpose:\n"
                          "  qv.common.spare\treserved by the device\n"
                          "1 of 3 values have a control\n");
    EXPECT_EQ(result.err, "No value of qv matches the noControl path qv.gone.\n");

    dir.Write("VireoEditorScript.xml", "<noControl><path>qv.a</path></noControl><panelType><type>m</type></panelType>"
                                       "<panel><type>m</type><name>main</name></panel>");
    const auto refused = test::RunCli({"--script-dir", dir.Path().string(), "coverage"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "No control declaration needs paths and one reason. : qv.a\n"
                           "Unable to create view manager.\nUnable to create.\n");
}

TEST_F(ShippedScriptKinds, EveryBuiltDeviceControlKindIsUsed) {
    std::set<std::string> used;
    system.ViewManager().SetViewFactory(std::make_unique<RecordingFactory>(used));
    system.SetScriptFolder(VIREO_BUILT_SCRIPT_DIR);
    Build(test::ShippedScriptText());
    ASSERT_TRUE(used.count("knob")) << "the panels were not built through the factory";
    std::string unused;
    for (const auto& list : {Brio::TavDeviceControlKinds(), Brio::TavDeviceDialogKinds()})
        for (const Brio::CTavDeviceControlKind& kind : list)
            // The sibling device's LFO draws its own waveform set, which is not this device's.
            if (kind.make && !used.count(kind.kind) && std::string_view(kind.kind) != "valeLfoControl")
                unused += std::string(unused.empty() ? "" : ", ") + kind.kind;
    EXPECT_EQ(unused, "") << "device control kinds with a built class that no panel of the shipped script uses";
}
