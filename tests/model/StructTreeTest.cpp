// The struct tree built from struct types and root structs: array expansion, address
// packing and default sizes, range checks, path lookup, full paths and absolute ranges,
// initial contents, cloning, the messages of a failed build, and the leaf filter.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "model/CTavLeafFilter.h"
#include "model/CTavStruct.h"
#include "support/ModelFixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int32_t kQvBegin = 2097152; // 01 00 00 00
constexpr int32_t kPrtiBegin = kQvBegin + 256;

// A small image of the device memory: qv.prti holds common and the array part[0..3].
const char* const kQvScript = R"(
<structType><type>Part</type><name>$name</name><address>$adr</address>
  <value><name>partLevel</name><range>0,127</range><default>100</default></value>
  <value><name>partPan</name><range>-64S,63S</range><default>0S</default></value>
  <value><name>env.attack</name><default>10</default></value>
  <value><name>x..y</name><default>11</default></value>
</structType>
<structType><type>Common</type><name>$name</name><address>$address</address><size>00 10</size>
  <value><name>tempo</name><type>int2x7</type><address>01</address><range>200,2500</range><default>1200</default></value>
  <value><name>title</name><type>string</type><size>04</size><default>Qv</default></value>
  <value><name>mode</name><address>0A</address><range>0,1</range><default>1</default></value>
</structType>
<structType><type>Prti</type><name>$name</name><address>$address</address>
  <struct><type>Common</type><name>common</name><address>00 00</address></struct>
  <struct><type>Part</type><name>part</name><adr>01 00</adr><adr>01 10</adr><adr>01 20</adr><adr>01 30</adr></struct>
</structType>
<structType><type>QvRoot</type><name>$name</name><address>$address</address><size>00 10 00</size>
  <struct><type>Prti</type><name>prti</name><address>00 02 00</address></struct>
  <struct><type>Part</type><name>solo</name><adr>00 04 00</adr></struct>
</structType>
<struct><type>QvRoot</type><name>qv</name><address>01 00 00 00</address></struct>
)";

class StructTree : public test::ModelFixture {
protected:
    CTavStruct& Struct(const std::string& path) {
        CTavStruct* found = Buffers().FindStruct(path);
        EXPECT_NE(found, nullptr) << path;
        return *found;
    }
    static std::vector<std::string> ChildNames(const CTavStruct& structure) {
        std::vector<std::string> names;
        for (const auto& child : *structure.ChildStructs())
            names.push_back(child->Name());
        return names;
    }
};

class StructTreeQv : public StructTree {
protected:
    void SetUp() override { Build(kQvScript); }
};

// Reads the script, expects the creation to fail and answers everything it reported.
std::string CreationErrors(const std::string& script) {
    CTavSystem system;
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system.AttachErrorOutputToManagers();
    EXPECT_TRUE(system.ReadScript(script)) << system.ErrorText();
    EXPECT_FALSE(system.CreateManagers());
    return system.ErrorText();
}

// --- Arrays ----------------------------------------------------------------------------

TEST_F(StructTree, ThreeAddressItemsMakeThreeElementsNamedByIndexAtTheirAddresses) {
    ASSERT_NO_FATAL_FAILURE(Build(
        "<structType><type>Tone</type><name>$name</name><address>$adr</address>"
        "<value><name>level</name></value><value><name>pan</name></value></structType>"
        "<structType><type>Root</type><name>$name</name><address>$address</address>"
        "<struct><type>Tone</type><name>tone</name><adr>00 20</adr><adr>00 10</adr><adr>01 00</adr></struct>"
        "</structType>"
        "<struct><type>Root</type><name>r</name><address>00</address></struct>"));
    const CTavStruct* root = Buffers().FindStruct("r");
    ASSERT_NE(root, nullptr);
    const TavStructList& children = *root->ChildStructs();
    ASSERT_EQ(children.size(), 3u);
    const std::string names[] = {"tone[0]", "tone[1]", "tone[2]"};
    const TavRange ranges[] = {{32, 34}, {16, 18}, {128, 130}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(children[i]->Name(), names[i]);
        EXPECT_EQ(children[i]->Range(), ranges[i]);
        EXPECT_EQ(children[i]->Kind(), kTavLeafStruct);
    }
    EXPECT_EQ(Buffers().FindStruct("r.tone"), nullptr);
}

TEST_F(StructTreeQv, ASingleAddressItemKeepsThePlainName) {
    EXPECT_EQ(ChildNames(Struct("qv")), (std::vector<std::string>{"prti", "solo"}));
    EXPECT_EQ(Struct("qv.solo").Range(), (TavRange{512, 516}));
}

TEST_F(StructTreeQv, ArrayElementsFollowTheFirstInTheParentsChildList) {
    EXPECT_EQ(ChildNames(Struct("qv.prti")),
              (std::vector<std::string>{"common", "part[0]", "part[1]", "part[2]", "part[3]"}));
}

TEST_F(StructTreeQv, ArrayElementsHaveTheirOwnBytesAndShareValueSpecs) {
    CTavValue& first = Value("qv.prti.part[0].partLevel");
    CTavValue& second = Value("qv.prti.part[1].partLevel");
    first.SetRaw(5);
    EXPECT_EQ(first.GetRaw(), 5);
    EXPECT_EQ(second.GetRaw(), 100);
    EXPECT_EQ(Value("qv.prti.part[3].partLevel").GetRaw(), 100);
    EXPECT_EQ(&first.Spec(), &second.Spec());
}

TEST_F(StructTree, ARootInstanceWithSeveralAddressesMakesSeveralRootStructs) {
    ASSERT_NO_FATAL_FAILURE(
        Build("<structType><type>Leaf</type><name>$name</name><address>00</address>"
              "<value><name>v</name><default>7</default></value></structType>"
              "<structType><type>Bank</type><name>$name</name><address>$at</address>"
              "<struct><type>Leaf</type><name>leaf</name></struct></structType>"
              "<struct><type>Bank</type><name>bank</name><at>10 00</at><at>20 00</at></struct>"));
    CTavBufferManager& buffers = Buffers();
    ASSERT_EQ(buffers.RootStructs().size(), 2u);
    ASSERT_NE(buffers.FindRoot("bank[1]"), nullptr);
    EXPECT_EQ(buffers.FindRoot("bank[1]")->Range().begin, 0x10 * 128 * 2);
    CTavValue* second = buffers.FindValue("bank[1].leaf.v");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetRaw(), 7);
    EXPECT_EQ(second->AbsoluteRange().begin, 4096);
    second->SetRaw(1);
    EXPECT_EQ(buffers.FindValue("bank[0].leaf.v")->GetRaw(), 7);
}

// --- Packing and sizes -----------------------------------------------------------------

const char* const kPackingScript = R"(
<structType><type>Packed</type><name>$name</name>
  <value><name>a</name></value>
  <value><name>b</name><type>int2x7</type></value>
  <value><name>c</name><type>int5x7</type></value>
  <value><name>d</name><type>string</type><size>04</size></value>
</structType>
<structType><type>LargestEnd</type><name>$name</name>
  <value><name>late</name><address>0A</address></value>
  <value><name>early</name><address>00</address></value>
  <value><name>next</name></value>
</structType>
<structType><type>Pair</type><name>$name</name><address>$adr</address>
  <value><name>a</name></value><value><name>b</name></value>
</structType>
<structType><type>Root</type><name>$name</name><address>$address</address>
  <struct><type>Packed</type><name>packed</name></struct>
  <struct><type>LargestEnd</type><name>largest</name></struct>
  <struct><type>Pair</type><name>pair</name><adr>20</adr><adr>30</adr></struct>
  <struct><type>Packed</type><name>after</name></struct>
</structType>
<struct><type>Root</type><name>r</name><address>01 00</address></struct>
)";

class StructTreePacking : public StructTree {
protected:
    void SetUp() override { Build(kPackingScript); }
};

TEST_F(StructTreePacking, ValuesWithoutAddressesFollowOneAnotherFromZero) {
    EXPECT_EQ(Value("r.packed.a").Range(), (TavRange{0, 1}));
    EXPECT_EQ(Value("r.packed.b").Range(), (TavRange{1, 3}));
    EXPECT_EQ(Value("r.packed.c").Range(), (TavRange{3, 8}));
    EXPECT_EQ(Value("r.packed.d").Range(), (TavRange{8, 12}));
    EXPECT_EQ(Struct("r.packed").Range(), (TavRange{0, 12}));
}

TEST_F(StructTreePacking, AValueWithoutAddressFollowsThePreviousValueNotTheFurthest) {
    EXPECT_EQ(Value("r.largest.late").Range(), (TavRange{10, 11}));
    EXPECT_EQ(Value("r.largest.early").Range(), (TavRange{0, 1}));
    EXPECT_EQ(Value("r.largest.next").Range(), (TavRange{1, 2}));
}

TEST_F(StructTreePacking, TheDefaultSizeIsTheLargestEndOfTheChildren) {
    EXPECT_EQ(Struct("r.largest").Range().Length(), 11);
    EXPECT_EQ(Struct("r").Range(), (TavRange{128, 128 + 0x30 + 2 + 12}));
}

TEST_F(StructTreePacking, ChildStructsWithoutAddressesFollowThePreviousChildIncludingArrayElements) {
    EXPECT_EQ(Struct("r.largest").Range(), (TavRange{12, 23}));
    EXPECT_EQ(Struct("r.pair[0]").Range(), (TavRange{0x20, 0x22}));
    EXPECT_EQ(Struct("r.pair[1]").Range(), (TavRange{0x30, 0x32}));
    EXPECT_EQ(Struct("r.after").Range(), (TavRange{0x32, 0x32 + 12}));
}

// --- Paths, full paths and absolute ranges ---------------------------------------------

TEST_F(StructTreeQv, APathFindsTheValueInItsLeafUnderItsNodeAndRoot) {
    CTavValue& level = Value("qv.prti.part[3].partLevel");
    ASSERT_NE(level.Parent(), nullptr);
    EXPECT_EQ(level.Parent()->Name(), "part[3]");
    EXPECT_EQ(level.Parent()->Parent()->Name(), "prti");
    EXPECT_EQ(level.Root()->Name(), "qv");
    EXPECT_EQ(level.FullPath(), "qv.prti.part[3].partLevel");
}

TEST_F(StructTreeQv, ALeafFilterPassesOverTheLeavesThatHoldNoWatchedValue) {
    CTavLeafFilter filter;
    filter.Watch(&Value("qv.prti.part[1].partPan"));
    filter.Watch(nullptr);
    // Runs of one leaf and switches between leaves, watched or not.
    const struct {
        const char* path;
        bool mayHold;
    } cases[] = {{"qv.prti.part[0].partLevel", false}, {"qv.prti.part[0].partPan", false},
                 {"qv.prti.part[1].partLevel", true},  {"qv.prti.part[1].partPan", true},
                 {"qv.prti.common.tempo", false},      {"qv.prti.part[1].env.attack", true},
                 {"qv.prti.part[2].partPan", false}};
    for (const auto& c : cases)
        EXPECT_EQ(filter.MayHold(&Value(c.path)), c.mayHold) << c.path;
}

TEST_F(StructTreeQv, StructPathsEndAtANodeARootOrALeaf) {
    EXPECT_EQ(Struct("qv").Kind(), kTavRootStruct);
    EXPECT_EQ(Struct("qv.prti").Kind(), kTavNodeStruct);
    EXPECT_EQ(Struct("qv.prti.part[3]").Kind(), kTavLeafStruct);
    EXPECT_EQ(Struct("qv.prti.part[3]").FullPath(), "qv.prti.part[3]");
    EXPECT_EQ(Buffers().FindRootStruct("qv"), Buffers().FindRoot("qv"));
}

TEST_F(StructTreeQv, ValueNamesMayContainDots) {
    EXPECT_EQ(Value("qv.prti.part[3].env.attack").GetRaw(), 10);
    EXPECT_EQ(Value("qv.prti.part[3].x..y").GetRaw(), 11);
    EXPECT_EQ(Buffers().FindValue("qv.prti.part[3].env"), nullptr);
}

TEST_F(StructTreeQv, PathsThatNameNothingFindNothing) {
    const char* const structPaths[] = {
        "",
        "prti",
        "QV.prti",
        "qv.prti.part",
        "qv.prti.part[4]",
        "qv..prti",
        "qv.prti.part[3].partLevel", // a leaf is always the last component
        "qv.prti.part[3].",
        "qv.solo.partLevel",
    };
    for (const char* path : structPaths)
        EXPECT_EQ(Buffers().FindStruct(path), nullptr) << path;

    const char* const valuePaths[] = {
        "",
        "qv",
        "qv.prti",
        "qv.prti.part[3]",
        "qv.prti.part[3].",
        "qv.prti.part[3].partlevel",
        "qv.prti.part[3].partLevel.x",
        "prti.part[3].partLevel",
        "qv.prti.common.partLevel",
        "qv.prti.part[3].partLevel ",
    };
    for (const char* path : valuePaths)
        EXPECT_EQ(Buffers().FindValue(path), nullptr) << path;
}

TEST_F(StructTree, ANameBeginningWithADotFollowsTheSeparatingDot) {
    ASSERT_NO_FATAL_FAILURE(Build(
        "<structType><type>Leaf</type><name>$name</name><value><name>.v</name></value></structType>"
        "<structType><type>Node</type><name>$name</name><struct><type>Leaf</type><name>l</name></struct>"
        "</structType>"
        "<structType><type>Root</type><name>$name</name><struct><type>Node</type><name>.n</name></struct>"
        "</structType>"
        "<struct><type>Root</type><name>r</name></struct>"));
    EXPECT_NE(Buffers().FindValue("r..n.l..v"), nullptr);
    EXPECT_NE(Buffers().FindStruct("r..n.l"), nullptr);
    EXPECT_NE(Buffers().FindStruct("r..n"), nullptr);
}

TEST_F(StructTree, LookupTriesTheRootStructsInCreationOrder) {
    ASSERT_NO_FATAL_FAILURE(Build(
        "<structType><type>A</type><name>$name</name><value><name>shared</name><default>1</default></value>"
        "</structType>"
        "<structType><type>B</type><name>$name</name><value><name>shared</name><default>2</default></value>"
        "<value><name>only</name><default>3</default></value></structType>"
        "<structType><type>RootA</type><name>$name</name><struct><type>A</type><name>l</name></struct>"
        "</structType>"
        "<structType><type>RootB</type><name>$name</name><struct><type>B</type><name>l</name></struct>"
        "</structType>"
        "<struct><type>RootA</type><name>dup</name></struct>"
        "<struct><type>RootB</type><name>dup</name></struct>"));
    EXPECT_EQ(Buffers().FindValue("dup.l.shared")->GetRaw(), 1);
    EXPECT_EQ(Buffers().FindValue("dup.l.only")->GetRaw(), 3);
}

TEST_F(StructTreeQv, AbsoluteRangesAddTheBeginsOfEveryAncestor) {
    EXPECT_EQ(Struct("qv").AbsoluteRange(), (TavRange{kQvBegin, kQvBegin + 2048}));
    EXPECT_EQ(Struct("qv.prti").AbsoluteRange(), (TavRange{kPrtiBegin, kPrtiBegin + 0x30 + 128 + 4}));
    EXPECT_EQ(Struct("qv.prti.part[3]").AbsoluteRange(), (TavRange{kPrtiBegin + 176, kPrtiBegin + 180}));
    EXPECT_EQ(Value("qv.prti.part[3].partPan").AbsoluteRange(),
              (TavRange{kPrtiBegin + 177, kPrtiBegin + 178}));
    EXPECT_EQ(Value("qv.prti.common.tempo").AbsoluteRange(), (TavRange{kPrtiBegin + 1, kPrtiBegin + 3}));
    EXPECT_EQ(Value("qv.prti.part[3].partPan").Range(), (TavRange{1, 2}));
}

// --- Finding what a received range touches ---------------------------------------------

// Leaves and values in and out of address order: "ordered" is found by halving, "mixed"
// (values out of order and overlapping) and the overlapping pair "outer"/"inner" the slow way.
const char* const kLookupScript = R"(
<structType><type>Ordered</type><name>$name</name><address>$address</address>
  <value><name>a</name></value><value><name>b</name></value>
  <value><name>w</name><type>int2x7</type></value><value><name>d</name></value>
</structType>
<structType><type>Mixed</type><name>$name</name><address>$address</address><size>0C</size>
  <value><name>late</name><address>0A</address></value>
  <value><name>early</name><address>00</address></value>
  <value><name>wide</name><type>int2x7</type><address>01</address></value>
  <value><name>inside</name><address>02</address></value>
</structType>
<structType><type>Span</type><name>$name</name><address>$address</address><size>$size</size>
  <value><name>v</name></value>
</structType>
<structType><type>Root</type><name>$name</name><address>$address</address><size>00 40</size>
  <struct><type>Ordered</type><name>ordered</name><address>00</address></struct>
  <struct><type>Mixed</type><name>mixed</name><address>10</address></struct>
</structType>
<structType><type>Overlapping</type><name>$name</name><address>$address</address><size>00 40</size>
  <struct><type>Span</type><name>outer</name><address>00</address><size>08</size></struct>
  <struct><type>Span</type><name>inner</name><address>04</address><size>02</size></struct>
  <struct><type>Span</type><name>after</name><address>10</address><size>02</size></struct>
</structType>
<struct><type>Root</type><name>r</name><address>01 00</address></struct>
<struct><type>Overlapping</type><name>o</name><address>02 00</address></struct>
)";

TEST_F(StructTree, AReceivedRangeFindsTheLeafHoldingItAndTheValuesItTouchesInOrder) {
    Build(kLookupScript);
    struct Case {
        const char* root;
        int32_t begin, end; // relative to the root
        const char* leaf;   // null: no leaf holds the range
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {"r", 0, 1, "ordered", {"a"}},
        {"r", 2, 3, "ordered", {"w"}},
        {"r", 1, 5, "ordered", {"b", "w", "d"}},
        {"r", 4, 6, nullptr, {}},
        {"r", 0x10, 0x1C, "mixed", {"late", "early", "wide", "inside"}},
        {"r", 0x12, 0x13, "mixed", {"wide", "inside"}},
        {"r", 0x1A, 0x1B, "mixed", {"late"}},
        {"r", 0x14, 0x1A, "mixed", {}},
        {"r", 0x3F, 0x41, nullptr, {}},
        {"o", 4, 6, "outer", {}},
        {"o", 0, 1, "outer", {"v"}},
        {"o", 0x10, 0x11, "after", {"v"}},
        {"o", 7, 9, nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.root) + " " + std::to_string(c.begin) + ".." + std::to_string(c.end));
        CTavRootStruct& root = *Struct(c.root).AsRootStruct();
        const int32_t base = root.Range().begin;
        int32_t leafBegin = -1;
        CTavLeafStruct* leaf = root.FindLeaf({base + c.begin, base + c.end}, &leafBegin);
        if (!c.leaf) {
            EXPECT_EQ(leaf, nullptr);
            continue;
        }
        ASSERT_NE(leaf, nullptr);
        EXPECT_EQ(leaf->Name(), c.leaf);
        EXPECT_EQ(leafBegin, leaf->AbsoluteRange().begin);
        std::vector<CTavValue*> touched;
        leaf->CollectValues({base + c.begin - leafBegin, base + c.end - leafBegin}, touched);
        std::vector<std::string> names;
        for (const CTavValue* value : touched)
            names.push_back(value->Name());
        EXPECT_EQ(names, c.values);
    }
}

TEST_F(StructTree, AnAttachedCloneOfARootFindsItsOwnLeaves) {
    Build(kLookupScript);
    CTavRootStruct& original = *Struct("r").AsRootStruct();
    const TavRange mixed{original.Range().begin + 0x12, original.Range().begin + 0x13};
    ASSERT_NE(original.FindLeaf(mixed), nullptr); // the original has made its index
    std::unique_ptr<CTavStruct> copy = original.Clone();
    ASSERT_TRUE(copy->Attach(nullptr, nullptr));
    CTavLeafStruct* found = copy->AsRootStruct()->FindLeaf(mixed);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Root(), copy.get());
    EXPECT_NE(found, original.FindLeaf(mixed));
}

// --- Contents after creation -----------------------------------------------------------

TEST_F(StructTreeQv, AfterCreationEveryValueHoldsItsDefault) {
    int checked = 0;
    Struct("qv").ForEachValue([&checked](CTavValue& value) {
        ++checked;
        if (value.Kind() == kTavKindString)
            EXPECT_EQ(value.GetText(), "Qv  ") << value.FullPath();
        else
            EXPECT_EQ(value.GetRaw(), value.Spec().defaultValue) << value.FullPath();
    });
    EXPECT_EQ(checked, 3 + 5 * 4);
    EXPECT_EQ(Value("qv.prti.part[2].partPan").GetRaw(), 64);
}

TEST_F(StructTreeQv, AfterCreationTheBytesOutsideValuesAreZero) {
    EXPECT_EQ(*Struct("qv.prti.common").Bytes(), (Bytes{0x00, 0x09, 0x30, 'Q', 'v', ' ', ' ', 0x00, 0x00,
                                                        0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));
}

// --- Cloning ---------------------------------------------------------------------------

TEST_F(StructTreeQv, AnAttachedCloneOfALeafHasItsOwnBytes) {
    CTavStruct& original = Struct("qv.prti.common");
    CTavValue& tempo = Value("qv.prti.common.tempo");
    std::unique_ptr<CTavStruct> copy = original.Clone();
    ASSERT_TRUE(copy->Attach(original.Parent(), nullptr));
    EXPECT_EQ(copy->Range(), original.Range());

    CTavValue& copied = (*copy->ChildValues())[0];
    EXPECT_EQ(copied.Parent(), copy.get());
    EXPECT_EQ(&copied.Spec(), &tempo.Spec());
    copied.SetRaw(300);
    EXPECT_EQ(tempo.GetRaw(), 1200);
    tempo.SetRaw(2000);
    EXPECT_EQ(copied.GetRaw(), 300);
}

TEST_F(StructTreeQv, ACloneOfALeafIsSeparateFromTheOriginalBeforeItIsAttached) {
    CTavValue& tempo = Value("qv.prti.common.tempo");
    tempo.SetRaw(700);
    const std::pair<const char*, const char*> cases[] = {{"qv.prti.common", "common.tempo"},
                                                         {"qv.prti", "prti.common.tempo"}};
    for (const auto& [path, inCopy] : cases) {
        std::unique_ptr<CTavStruct> copy = Struct(path).Clone();
        CTavValue* copied = copy->FindValue(inCopy);
        ASSERT_NE(copied, nullptr) << path;
        EXPECT_NE(copied->Parent(), tempo.Parent()) << path;
        EXPECT_EQ(copied->GetRaw(), 700) << path;
        copied->SetRaw(300);
        EXPECT_EQ(tempo.GetRaw(), 700) << path;
    }
}

TEST_F(StructTreeQv, ACloneOfANodeCopiesEveryDescendant) {
    CTavStruct& original = Struct("qv.prti");
    std::unique_ptr<CTavStruct> copy = original.Clone();
    ASSERT_TRUE(copy->Attach(original.Parent(), nullptr));
    EXPECT_EQ(copy->Kind(), kTavNodeStruct);
    EXPECT_EQ(ChildNames(*copy), ChildNames(original));
    for (const auto& child : *copy->ChildStructs())
        EXPECT_EQ(child->Parent(), copy.get());

    CTavValue* copied = copy->FindValue("prti.part[3].partLevel");
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, &Value("qv.prti.part[3].partLevel"));
    copied->SetRaw(1);
    EXPECT_EQ(Value("qv.prti.part[3].partLevel").GetRaw(), 100);
}

// --- Failures --------------------------------------------------------------------------

// Struct types shared by the failure cases: a leaf Leaf and a root Root holding one.
const std::string kLeafType =
    "<structType><type>Leaf</type><name>$name</name><address>$address</address><size>04</size>"
    "<value><name>v</name></value></structType>";

std::string RootHolding(const std::string& childType, const std::string& extra = "<address>00</address>") {
    return "<structType><type>Root</type><name>$name</name><size>08</size><struct><type>" + childType +
           "</type><name>child</name>" + extra +
           "</struct></structType>"
           "<struct><type>Root</type><name>qv</name></struct>";
}

TEST(StructTreeFailure, EachFailureReportsItsCauseAndTheStructsThatContainedIt) {
    struct Case {
        const char* behaviour;
        std::string script;
        std::string errors;
    };
    const std::string rootFailed = "Unable to convert root struct definition Root to root struct.\n"
                                   "Unable to create buffer manager.\n";
    const std::string childFailed = "Unable to convert child struct definition : Mid\n" + rootFailed;
    const Case cases[] = {
        {"an unknown root type", kLeafType + "<struct><type>Nope</type><name>qv</name></struct>",
         "Unable to find struct type definition. : Nope\n"
         "Unable to convert root struct definition Nope to root struct.\n"
         "Unable to create buffer manager.\n"},
        {"an unknown child type", RootHolding("Missing"),
         "Unable to find child struct type definition : Missing\n" + rootFailed},
        {"an unknown grandchild type",
         "<structType><type>Mid</type><name>$name</name><struct><type>Missing</type></struct></structType>" +
             RootHolding("Mid"),
         "Unable to find child struct type definition : Missing\n" + childFailed},
        {"a type with both structs and values",
         kLeafType +
             "<structType><type>Mid</type><name>$name</name>"
             "<struct><type>Leaf</type><name>l</name><address>00</address></struct><value><name>v</name></"
             "value></structType>" +
             RootHolding("Mid"),
         "Struct type has both structs and values. : Mid\n" + childFailed},
        {"a root with values",
         "<structType><type>Root</type><name>$name</name><value><name>v</name></value></structType>"
         "<struct><type>Root</type><name>qv</name></struct>",
         "Root struct or node struct can not have child values. : Root\n" + rootFailed},
        {"unknown tags in a value",
         "<structType><type>Mid</type><name>$name</name>"
         "<value><type>int2x7</type><name>v</name><colour>red</colour><shade>x</shade></value></structType>" +
             RootHolding("Mid"),
         "Value type contains unknown tags. : int2x7 : colour, shade, \n" + childFailed},
        {"unknown tags in a struct type",
         "<structType><type>Mid</type><name>$name</name><colour>red</colour>"
         "<value><name>v</name></value></structType>" +
             RootHolding("Mid"),
         "Struct type contains unknown tags. : Mid : colour, \n" + childFailed},
        {"an invalid value definition",
         "<structType><type>Mid</type><name>$name</name>"
         "<value><type>int1x7</type><name>v</name><range>0,127 </range></value></structType>" +
             RootHolding("Mid"),
         "Value range is invalid. : v : 0,127 \n"
         "Unable to convert child values from element definitions. : int1x7\n" +
             childFailed},
        {"an unresolvable macro",
         "<structType><type>Mid</type><name>$nothing</name><value><name>v</name></value></structType>" +
             RootHolding("Mid"),
         "Unable to resolve macros. : Mid\n" + childFailed},
        {"a child longer than its parent",
         "<structType><type>Mid</type><name>$name</name><size>00 10</size><value><name>v</name></value>"
         "</structType>" +
             RootHolding("Mid"),
         "Struct qv.child address range exceeds parent struct's one.\n"
         "Unable to create root struct qv.\n"
         "Unable to create buffer manager.\n"},
        {"a child ending beyond its parent", kLeafType + RootHolding("Leaf", "<address>05</address>"),
         "Struct qv.child address range exceeds parent struct's one.\n"
         "Unable to create root struct qv.\n"
         "Unable to create buffer manager.\n"},
        {"a value ending beyond its leaf",
         "<structType><type>Mid</type><name>$name</name><size>02</size>"
         "<value><name>v</name><type>int2x7</type><address>01</address></value></structType>" +
             RootHolding("Mid"),
         "Value address range exceeds parent struct's one. : qv.child.v\n"
         "Unable to create root struct qv.\n"
         "Unable to create buffer manager.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        EXPECT_EQ(CreationErrors(c.script), c.errors);
    }
}

TEST_F(StructTree, AChildThatExactlyFillsItsParentIsAccepted) {
    ASSERT_NO_FATAL_FAILURE(Build(kLeafType + RootHolding("Leaf", "<address>04</address>")));
}

TEST(StructTreeFailure, ANestedChildLongerThanItsParentIsReportedByItsFullPath) {
    EXPECT_EQ(CreationErrors("<structType><type>Big</type><name>$name</name><size>00 10</size>"
                             "<value><name>v</name></value></structType>"
                             "<structType><type>Mid</type><name>$name</name><size>08</size>"
                             "<struct><type>Big</type><name>big</name></struct></structType>" +
                             RootHolding("Mid")),
              "Struct qv.child.big address range exceeds parent struct's one.\n"
              "Unable to create root struct qv.\n"
              "Unable to create buffer manager.\n");
}

} // namespace
