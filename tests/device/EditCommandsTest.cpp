// The Edit menu's Initialize, Copy and Paste commands over the shipped script: every code
// of the menu, the enable rules, what each command writes and sends, and the reads after
// Paste Part Info and Initialize Part Info.

#include <gtest/gtest.h>

#include <set>

#include "app/TavCommands.h"
#include "device/CTavEditCommands.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "support/DeviceLayerFixture.h"

namespace {

using namespace TavCommands;
using Brio::CTavEditCommands;
using Brio::TavStructBytes;

class EditCommands : public test::DeviceLayerFixture {
protected:
    void SetUp() override {
        StartLayer(test::ShippedScriptText());
        accessor.SetWaitCursor([this](bool on) { cursor.push_back(on); });
    }
    // Shows a part playing a patch (entity type 1) or a rhythm set (2).
    void Show(int32_t part, int32_t plays) {
        Play(part, plays == 2 ? 82 : 81, 0, 1);
        Edit(accessor.Bound().partId, part);
        ASSERT_EQ(Raw("vs.control.entityType"), plays);
    }
    bool Run(const std::string& name) {
        const int code = CTavEditCommands::CodeOf(name);
        EXPECT_GE(code, 0) << name;
        return commands.Run(code);
    }
    // Fills every byte of a struct with a pattern that stays inside 7 bits.
    void Scribble(CTavStruct& structure, uint8_t seed) {
        structure.ForEachLeaf([&](CTavLeafStruct& leaf) {
            std::vector<uint8_t>& bytes = *leaf.Bytes();
            for (size_t i = 0; i < bytes.size(); ++i)
                bytes[i] = static_cast<uint8_t>((seed + i) & 0x0F);
        });
    }

    // Every message sent through the first output.
    struct Sent : CTavMidiOutDevice {
        void Send(const TavBytes& bytes) override { messages.push_back(bytes); }
        std::vector<TavBytes> messages;
    };

    CTavEditCommands commands{accessor};
    std::vector<bool> cursor;
};

TEST_F(EditCommands, EveryMenuCodeNamesItsCommandAndStruct) {
    struct Case {
        const char* name;
        int code;
    };
    const Case cases[] = {
        {"Initialize Part Info", 0},        {"Initialize Patch", 512},
        {"Initialize Rhythm Set", 768},     {"Initialize Rhythm Set Key", 1280},
        {"Copy Part Info Part 1", 65792},   {"Copy Part Info Part 3", 65794},
        {"Copy Part Info Part 16", 65807},  {"Copy Patch Tone 1", 66576},
        {"Copy Patch Tone 4", 66579},       {"Copy Rhythm Set Key", 66816},
        {"Paste Part Info Part 1", 131328}, {"Paste Part Info Part 16", 131343},
        {"Paste Patch Tone 2", 132113},     {"Paste Patch Tone 4", 132115},
        {"Paste Rhythm Set Key", 132352},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CTavEditCommands::CodeOf(c.name), c.code) << c.name;
        EXPECT_EQ(CTavEditCommands::Name(c.code), c.name) << c.code;
    }
    // Every Edit menu item with a code is one of the 4 + 21 + 21 commands.
    std::set<int> codes;
    for (const MenuItem& item : MenuItems())
        if (item.editCode >= 0)
            codes.insert(item.editCode);
    EXPECT_EQ(codes.size(), 46u);
    for (int code : codes)
        EXPECT_EQ(CTavEditCommands::CodeOf(CTavEditCommands::Name(code)), code);
    EXPECT_EQ(CTavEditCommands::CodeOf("Copy Part Info Part 17"), -1);
    EXPECT_EQ(CTavEditCommands::CodeOf("&Copy Patch Tone 1"), -1);
    EXPECT_EQ(CTavEditCommands::CodeOf(""), -1);
    // Codes no menu item carries are refused.
    for (int code : {-1, 1, 256, 65536, 66560, 66580, 132114 + 100, 196608})
        EXPECT_EQ(commands.DisabledReason(code), "Unknown edit command.") << code;
}

TEST_F(EditCommands, EnableRulesFollowWhatThePartPlaysAndTheClipboard) {
    struct Case {
        const char* name;
        int32_t plays; // what the shown part plays: 0 none, 1 patch, 2 rhythm set
        bool copied;   // whether every clipboard slot holds data
        const char* reason;
    };
    const Case cases[] = {
        {"Initialize Part Info", 0, false, ""},
        {"Initialize Patch", 1, false, ""},
        {"Initialize Patch", 2, false, "Initialize Patch needs the part to play a patch."},
        {"Initialize Patch", 0, false, "Initialize Patch needs the part to play a patch."},
        {"Initialize Rhythm Set", 2, false, ""},
        {"Initialize Rhythm Set", 1, false, "Initialize Rhythm Set needs the part to play a rhythm set."},
        {"Initialize Rhythm Set Key", 2, false, ""},
        {"Initialize Rhythm Set Key", 1, false,
         "Initialize Rhythm Set Key needs the part to play a rhythm set."},
        {"Copy Part Info Part 5", 0, false, ""},
        {"Paste Part Info Part 5", 0, false, "Paste Part Info Part 5 needs something copied first."},
        {"Paste Part Info Part 5", 0, true, ""},
        {"Copy Patch Tone 2", 1, false, ""},
        {"Copy Patch Tone 2", 2, false, "Copy Patch Tone 2 needs the part to play a patch."},
        {"Paste Patch Tone 4", 1, false, "Paste Patch Tone 4 needs something copied first."},
        {"Paste Patch Tone 4", 1, true, ""},
        {"Paste Patch Tone 4", 2, true, "Paste Patch Tone 4 needs the part to play a patch."},
        {"Copy Rhythm Set Key", 2, false, ""},
        {"Copy Rhythm Set Key", 1, false, "Copy Rhythm Set Key needs the part to play a rhythm set."},
        {"Paste Rhythm Set Key", 2, true, ""},
        {"Paste Rhythm Set Key", 0, true, "Paste Rhythm Set Key needs the part to play a rhythm set."},
    };
    for (const Case& c : cases) {
        for (int slot = 0; slot < Brio::CTavBufferAccessor::kSlotCount; ++slot) {
            const auto which = static_cast<Brio::CTavBufferAccessor::Slot>(slot);
            if (c.copied)
                accessor.SetClip(which, {1});
            else
                accessor.ClearClip(which);
        }
        if (c.plays == 0) {
            accessor.SetCurrentPart(4);
            accessor.ShowEntity(CTavEntityId::Invalid());
        } else {
            Show(4, c.plays);
        }
        EXPECT_EQ(commands.DisabledReason(CTavEditCommands::CodeOf(c.name)), c.reason)
            << c.name << " " << c.plays;
    }
}

TEST_F(EditCommands, CopyPatchTone2ThenPasteTone4CopiesToneIndex1IntoIndex3) {
    Show(6, 1);
    const Brio::CTavBoundTable& bound = accessor.Bound();
    Scribble(*bound.patchTones[6][1], 3);
    const std::vector<uint8_t> tone2 = TavStructBytes(*bound.patchTones[6][1]);
    const std::vector<uint8_t> tone1 = TavStructBytes(*bound.patchTones[6][0]);
    ASSERT_NE(tone2, TavStructBytes(*bound.patchTones[6][3]));
    Sent sent;
    system.MidiManager().Output(0)->SetDevice(&sent);
    ASSERT_TRUE(Run("Copy Patch Tone 2"));
    EXPECT_TRUE(sent.messages.empty());
    ASSERT_TRUE(Run("Paste Patch Tone 4"));
    EXPECT_EQ(TavStructBytes(*bound.patchTones[6][3]), tone2);
    EXPECT_EQ(TavStructBytes(*bound.patchTones[6][0]), tone1);
    EXPECT_TRUE(Buffers().PendingChanges().empty());
    // Each leaf of the tone goes to the device once, not once per value it holds.
    size_t leaves = 0;
    bound.patchTones[6][3]->ForEachLeaf([&](CTavLeafStruct&) { ++leaves; });
    EXPECT_EQ(sent.messages.size(), leaves);
    EXPECT_EQ(cursor, (std::vector<bool>{true, false, true, false}));
}

TEST_F(EditCommands, PastePartInfoKeepsTheReceiveSwitchAndReadsWhatThePartPlays) {
    const Brio::CTavBoundTable& bound = accessor.Bound();
    Play(2, 82, 0, 7);
    Edit(bound.partLevel[2], 33);
    ASSERT_TRUE(Run("Copy Part Info Part 3"));
    struct Case {
        int32_t receive;
    };
    for (const Case c : {Case{0}, Case{1}}) {
        Edit(bound.receiveSwitch[4], c.receive);
        Edit(bound.receiveSwitch[2], 1 - c.receive);
        device->requests.clear();
        ASSERT_TRUE(Run("Paste Part Info Part 5"));
        EXPECT_EQ(bound.receiveSwitch[4]->GetRaw(), c.receive);
        EXPECT_EQ(bound.partLevel[4]->GetRaw(), 33);
        EXPECT_EQ(Raw("vs.control.partEntityType[4]"), 2);
        // The part's rhythm set is read from the device.
        ASSERT_FALSE(device->requests.empty());
        EXPECT_EQ(device->requests.front().address,
                  static_cast<uint32_t>(bound.rhythmSets[4]->AbsoluteRange().begin));
    }
}

TEST_F(EditCommands, InitializeRhythmSetWritesTheInitialToneOfEveryKey) {
    Show(1, 2);
    const Brio::CTavBoundTable& bound = accessor.Bound();
    for (int key = 0; key < 16; ++key)
        Scribble(*bound.rhythmTones[1][key], static_cast<uint8_t>(key));
    Scribble(*bound.rhythmTones[2][0], 1);
    const std::vector<uint8_t> otherSet = TavStructBytes(*bound.rhythmTones[2][0]);
    ASSERT_TRUE(Run("Initialize Rhythm Set"));
    const uint8_t keyBytes[16][3] = {{1, 10, 2}, {1, 11, 1}, {1, 11, 6}, {1, 12, 12}, {1, 14, 11}, {1, 15, 1},
                                     {2, 1, 12}, {1, 4, 5},  {2, 2, 2},  {2, 2, 3},   {2, 2, 4},   {2, 2, 7},
                                     {2, 4, 6},  {2, 4, 14}, {2, 6, 1},  {2, 6, 10}};
    for (int key = 0; key < 16; ++key) {
        const std::vector<uint8_t> bytes = TavStructBytes(*bound.rhythmTones[1][key]);
        ASSERT_GE(bytes.size(), 193u);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 12), "INIT TONE   ") << key;
        EXPECT_EQ((std::vector<uint8_t>(bytes.begin() + 40, bytes.begin() + 43)),
                  (std::vector<uint8_t>(std::begin(keyBytes[key]), std::end(keyBytes[key]))))
            << key;
        const std::array<uint8_t, 193> record = Brio::TavInitialRhythmTone(key);
        EXPECT_TRUE(std::equal(record.begin(), record.end(), bytes.begin())) << key;
        // A few bytes of the record that every key shares, and its last one.
        EXPECT_EQ(bytes[14], 0x7F);
        EXPECT_EQ(bytes[15], 0x3C);
        EXPECT_EQ(bytes[28], 0x0C);
        EXPECT_EQ(bytes[192], 0x7F);
        EXPECT_EQ(bytes[183], 0x60);
    }
    EXPECT_EQ(TavStructBytes(*bound.rhythmTones[2][0]), otherSet);
    // The set's common part is back to its defaults.
    Buffers().FindStruct("qv.rhy[1].common")->ForEachValue([](CTavValue& value) {
        if (value.Kind() == kTavKindInteger) {
            EXPECT_EQ(value.GetRaw(), value.Spec().defaultValue) << value.FullPath();
        }
    });
}

TEST_F(EditCommands, InitializePatchAndRhythmKeyResetOnlyTheirStruct) {
    const Brio::CTavBoundTable& bound = accessor.Bound();
    Show(0, 1);
    Scribble(*bound.patches[0], 2);
    Scribble(*bound.patches[1], 2);
    const std::vector<uint8_t> other = TavStructBytes(*bound.patches[1]);
    ASSERT_TRUE(Run("Initialize Patch"));
    bound.patches[0]->ForEachValue([](CTavValue& value) {
        if (value.Kind() == kTavKindInteger) {
            EXPECT_EQ(value.GetRaw(), value.Spec().defaultValue) << value.FullPath();
        }
    });
    EXPECT_EQ(TavStructBytes(*bound.patches[1]), other);

    Show(0, 2);
    Edit(bound.rhythmTone, 5);
    Scribble(*bound.rhythmTones[0][5], 4);
    Scribble(*bound.rhythmTones[0][6], 4);
    const std::vector<uint8_t> key6 = TavStructBytes(*bound.rhythmTones[0][6]);
    ASSERT_TRUE(Run("Copy Rhythm Set Key"));
    const std::vector<uint8_t> key5 = TavStructBytes(*bound.rhythmTones[0][5]);
    ASSERT_TRUE(Run("Initialize Rhythm Set Key"));
    bound.rhythmTones[0][5]->ForEachValue([](CTavValue& value) {
        if (value.Kind() == kTavKindInteger) {
            EXPECT_EQ(value.GetRaw(), value.Spec().defaultValue) << value.FullPath();
        }
    });
    EXPECT_EQ(TavStructBytes(*bound.rhythmTones[0][6]), key6);
    Edit(bound.rhythmTone, 6);
    ASSERT_TRUE(Run("Paste Rhythm Set Key"));
    EXPECT_EQ(TavStructBytes(*bound.rhythmTones[0][6]), key5);
}

TEST_F(EditCommands, InitializePartInfoListensOnEveryPartPlaysARhythmSetOnPart10AndReadsEveryPart) {
    const Brio::CTavBoundTable& bound = accessor.Bound();
    for (int part = 0; part < 16; ++part) {
        Edit(bound.receiveSwitch[part], 0);
        Edit(bound.partLevel[part], 1);
    }
    device->requests.clear();
    ASSERT_TRUE(Run("Initialize Part Info"));
    for (int part = 0; part < 16; ++part) {
        EXPECT_EQ(bound.receiveSwitch[part]->GetRaw(), 1) << part;
        EXPECT_EQ(bound.partLevel[part]->GetRaw(), bound.partLevel[part]->Spec().defaultValue) << part;
        EXPECT_EQ(Raw(("vs.control.partEntityType[" + std::to_string(part) + "]").c_str()),
                  part == 9 ? 2 : 1);
    }
    EXPECT_EQ(accessor.PartEntityId(9), (CTavEntityId{TavEntityType::RhythmSet, 0, 0, 0}));
    // Every part's patch, and part 10's rhythm set, are read with the progress bar.
    std::set<uint32_t> starts;
    for (uint32_t address : Requested())
        starts.insert(address);
    for (int part = 0; part < 16; ++part) {
        CTavStruct* read = part == 9 ? bound.rhythmSets[part] : bound.patches[part];
        EXPECT_TRUE(starts.count(static_cast<uint32_t>(read->AbsoluteRange().begin))) << part;
    }
    EXPECT_EQ(progress.started, progress.steps);
    EXPECT_EQ(progress.steps, static_cast<int>(device->requests.size()));
    EXPECT_EQ(progress.finished, 1);
}

TEST_F(EditCommands, OfflineTheReadsAreSkippedAndAnEmptyPasteDoesNothing) {
    accessor.Shutdown();
    ASSERT_TRUE(accessor.Start(system, nullptr, nullptr, clock));
    TavAddNameBank(accessor.Entities(), TavEntityType::Patch, TavEntityArea::User, 0, 128);
    TavAddNameBank(accessor.Entities(), TavEntityType::RhythmSet, TavEntityArea::User, 0, 64);
    EXPECT_TRUE(accessor.IsOffline());
    device->requests.clear();
    ASSERT_TRUE(Run("Initialize Part Info"));
    ASSERT_TRUE(Run("Copy Part Info Part 1"));
    ASSERT_TRUE(Run("Paste Part Info Part 2"));
    EXPECT_TRUE(device->requests.empty());
    EXPECT_EQ(progress.started, -1);
    // A slot whose size does not fit the struct pastes nothing.
    accessor.SetClip(Brio::CTavBufferAccessor::kPartSlot, {1, 2, 3});
    const std::vector<uint8_t> before = TavStructBytes(*accessor.Bound().parts[1]);
    ASSERT_TRUE(Run("Paste Part Info Part 2"));
    EXPECT_EQ(TavStructBytes(*accessor.Bound().parts[1]), before);
}

} // namespace
