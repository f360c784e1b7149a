// What a hostile script cannot make the struct builder do: types that contain themselves,
// nesting without end, macro text that multiplies, and trees, leaves, strings and MIDI
// structs larger than the model allows; and the large but fair scripts that still build.

#include <gtest/gtest.h>

#include <string>

#include "../script/HostileScripts.h"
#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"

namespace {

// Reads the script, expects the model build to fail and answers the collected text.
std::string ModelErrors(const std::string& script) {
    CTavSystem system;
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system.AttachErrorOutputToManagers();
    EXPECT_TRUE(system.ReadScript(script)) << system.ErrorText();
    EXPECT_FALSE(system.CreateManagers(CTavSystem::Views::Skip));
    return system.ErrorText();
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST(StructBuildLimits, EachHostileScriptFailsWithTheMessageNamingWhatWasRefused) {
    struct Case {
        const char* behaviour;
        std::string script;
        std::string firstLine;
    };
    const Case cases[] = {
        {"a type holding itself",
         "<structType><type>Loop</type><name>l</name><struct><type>Loop</type></struct></structType>" +
             hostile::RootHolding("Loop", ""),
         "Unable to build struct type that contains itself. : Loop"},
        {"a cycle through another type",
         "<structType><type>A</type><name>a</name><struct><type>B</type></struct></structType>"
         "<structType><type>B</type><name>b</name><struct><type>A</type></struct></structType>" +
             hostile::RootHolding("A", ""),
         "Unable to build struct type that contains itself. : A"},
        {"a root type holding itself",
         "<structType><type>R</type><name>r</name><struct><type>R</type></struct></structType>"
         "<struct><type>R</type></struct>",
         "Unable to build struct type that contains itself. : R"},
        {"a chain deeper than the limit", hostile::StructChain(40), "Unable to nest struct types this deep. : T31"},
        {"macro text multiplied by nesting", hostile::MacroBomb(16, 4),
         "Resolved text is longer than 1048576 bytes. : a"},
        {"a tree of 16^6 leaves", hostile::StructFanOut(6, 16),
         "Unable to build more than 1048576 structs and values. : T6"},
        {"a leaf of 2 MiB",
         "<structType><type>Big</type><name>big</name><size>7F 7F 7F</size><value><name>v</name></value>"
         "</structType>" +
             hostile::RootHolding("Big", ""),
         "Leaf struct is larger than 1 MiB. : Big"},
        {"a string of 1 MiB and one byte",
         "<structType><type>Text</type><name>t</name><value><name>s</name><type>string</type>"
         "<size>40 00 01</size></value></structType>" +
             hostile::RootHolding("Text", ""),
         "String value is larger than 1 MiB. : s"},
        {"70 leaves of 1 MiB",
         "<structType><type>Mega</type><name>m</name><address>$adr</address><size>40 00 00</size>"
         "<value><name>v</name></value></structType>" +
             hostile::RootHolding("Mega", hostile::Repeat("<adr>00</adr>", 70)),
         "Unable to build more than 67108864 bytes of structs. : Mega"},
        {"an address past the largest integer",
         "<structType><type>Far</type><name>f</name><address>7F 7F 7F 7F 7F</address>"
         "<value><name>v</name></value></structType>" +
             hostile::RootHolding("Far", ""),
         "Struct address range is invalid. : Far"},
        {"a value address past the largest integer",
         "<structType><type>Far</type><name>f</name><value><name>v</name><address>0F 7F 7F 7F 7F</address>"
         "</value></structType>" +
             hostile::RootHolding("Far", ""),
         "Value address range is invalid. : v"},
        {"more MIDI structs than the model holds", hostile::MidiStructs(500),
         "Unable to build more than 1048576 structs and values. : m422"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        EXPECT_EQ(FirstLine(ModelErrors(c.script)), c.firstLine);
    }
}

TEST(StructBuildLimits, ACycleIsReportedAtEachLevelItPassedAndEndsTheBuild) {
    EXPECT_EQ(ModelErrors("<structType><type>A</type><name>a</name><struct><type>B</type></struct></structType>"
                          "<structType><type>B</type><name>b</name><struct><type>A</type></struct></structType>"
                          "<struct><type>A</type></struct>"),
              "Unable to build struct type that contains itself. : A\n"
              "Unable to convert child struct definition : A\n"
              "Unable to convert child struct definition : B\n"
              "Unable to convert root struct definition A to root struct.\n"
              "Unable to create buffer manager.\n");
}

TEST(StructBuildLimits, LargeButFairScriptsStillBuild) {
    struct Case {
        const char* behaviour;
        std::string script;
        const char* path;
    };
    const Case cases[] = {
        {"30000 array elements", hostile::ArrayItems(30000), "qv.leaf[29999].v"},
        {"100000 macro references", hostile::MacroReferences(100000), "qv.leaf.v"},
        {"50000 items one converter takes", hostile::ManyItems(50000), "qv.leaf.v"},
        {"a chain as deep as allowed", hostile::StructChain(30), nullptr},
        {"a tree of 16^4 leaves", hostile::StructFanOut(4, 16), "n.n.n.n.leaf.v"},
        {"a string of exactly 1 MiB",
         "<structType><type>Text</type><name>leaf</name><value><name>v</name><type>string</type>"
         "<size>40 00 00</size></value></structType>" +
             hostile::RootHolding("Text", ""),
         "qv.leaf.v"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        CTavSystem system;
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(c.script));
        ASSERT_TRUE(system.CreateManagers(CTavSystem::Views::Skip)) << FirstLine(system.ErrorText());
        if (c.path) {
            EXPECT_NE(system.BufferManager().FindValue(c.path), nullptr) << c.path;
        }
    }
}

TEST(StructBuildLimits, LookupAmongManyChildrenKeepsChildOrderForEqualAndDottedNames) {
    // Twenty array elements make the parent look its children up through its index.
    const std::string script =
        "<structType><type>Fill</type><name>fill</name><address>$adr</address>"
        "<value><name>v</name></value></structType>"
        "<structType><type>X</type><name>$name</name><value><name>x</name></value></structType>"
        "<structType><type>Y</type><name>$name</name><value><name>y</name></value></structType>"
        "<structType><type>Root</type><name>qv</name>"
        "<struct><type>X</type><name>dup</name></struct>"
        "<struct><type>Fill</type>" +
        hostile::Repeat("<adr>00</adr>", 20) +
        "</struct><struct><type>Y</type><name>dup</name></struct>"
        "<struct><type>Y</type><name>d.e</name></struct></structType>"
        "<struct><type>Root</type></struct><struct><type>Root</type></struct>";
    CTavSystem system;
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system.AttachErrorOutputToManagers();
    ASSERT_TRUE(system.ReadScript(script));
    ASSERT_TRUE(system.CreateManagers(CTavSystem::Views::Skip)) << system.ErrorText();
    CTavBufferManager& buffers = system.BufferManager();
    const TavStructList& roots = buffers.RootStructs();
    ASSERT_EQ(roots.size(), 2u);
    const TavStructList& children = *roots[0]->ChildStructs();
    ASSERT_EQ(children.size(), 23u);
    EXPECT_EQ(buffers.FindStruct("qv.dup"), children[0].get());
    EXPECT_EQ(buffers.FindValue("qv.dup.x"), &children[0]->ChildValues()->front());
    EXPECT_EQ(buffers.FindValue("qv.dup.y"), &children[21]->ChildValues()->front());
    EXPECT_EQ(buffers.FindStruct("qv.d.e"), children[22].get());
    EXPECT_EQ(buffers.FindValue("qv.fill[19].v"), &children[20]->ChildValues()->front());
    EXPECT_EQ(buffers.FindValue("qv.fill[20].v"), nullptr);
    EXPECT_EQ(buffers.FindStruct("qv"), roots[0].get());
}

} // namespace
