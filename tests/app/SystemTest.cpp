// The root object: ownership of the text output slots, reading the script into the
// managers' definition lists, creating the managers, and the window-free start-up steps.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "app/TavStartup.h"
#include "support/TestSupport.h"

namespace {

// Counts its own deletions so ownership mistakes show as 0 or 2.
class CountingTextOut : public CTavTextOut {
public:
    explicit CountingTextOut(int& deletions) : m_deletions(deletions) {}
    ~CountingTextOut() override { ++m_deletions; }

private:
    int& m_deletions;
};

constexpr const char* kDeclaration = R"(<?xml version="1.0" encoding="Shift_JIS"?>)";

// Every definition list of the system, flattened into one comparable text.
std::string DumpElement(const CTavElementDefinition& definition) {
    std::string text = "{" + definition.type;
    for (const auto& [tag, content] : definition.items)
        text += ";" + tag + "=" + content;
    return text + "}";
}

std::string DumpType(const CTavTypeDefinition& definition) {
    std::string text = "{" + definition.typeName;
    for (const auto& [tag, content] : definition.items)
        text += ";" + tag + "=" + content;
    for (const auto& child : definition.childStructs)
        text += ";struct" + DumpElement(child);
    for (const auto& child : definition.childValues)
        text += ";value" + DumpElement(child);
    return text + "}";
}

std::string DumpDefinitions(CTavSystem& system) {
    std::string text;
    auto elements = [&text](const char* name, const std::vector<CTavElementDefinition>& list) {
        text += std::string(name) + ":";
        for (const auto& definition : list)
            text += DumpElement(definition);
        text += "\n";
    };
    auto types = [&text](const char* name, const std::vector<CTavTypeDefinition>& list) {
        text += std::string(name) + ":";
        for (const auto& definition : list)
            text += DumpType(definition);
        text += "\n";
    };
    types("structType", system.BufferManager().StructTypeDefinitions());
    elements("struct", system.BufferManager().RootStructDefinitions());
    elements("midiStruct", system.BufferManager().MidiStructDefinitions());
    elements("midiIn", system.MidiManager().MidiInDefinitions());
    elements("midiOut", system.MidiManager().MidiOutDefinitions());
    types("panelType", system.ViewManager().PanelTypeDefinitions());
    elements("panel", system.ViewManager().RootPanelDefinitions());
    elements("bitmap", system.ResourceManager().BitmapDefinitions());
    elements("textWriter", system.ResourceManager().TextWriterDefinitions());
    elements("stringTable", system.ResourceManager().StringTableDefinitions());
    elements("numberTable", system.ResourceManager().NumberTableDefinitions());
    return text;
}

// A system whose error output collects, as at start-up.
class SystemWithErrorOutput : public ::testing::Test {
protected:
    SystemWithErrorOutput() { system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream); }

    CTavSystem system;
};

} // namespace

// --- Text output slots -----------------------------------------------------------------

TEST(SystemTextOutSlots, OutputHeldByTwoSlotsIsDeletedOnceAtShutdown) {
    for (int first = 0; first < CTavSystem::kSlotCount; ++first) {
        for (int second = first + 1; second < CTavSystem::kSlotCount; ++second) {
            SCOPED_TRACE(testing::Message() << "slots " << first << " and " << second);
            int deletions = 0;
            {
                CTavSystem system;
                auto* shared = new CountingTextOut(deletions);
                system.SetTextOut(first, shared);
                system.SetTextOut(second, shared);
                system.Shutdown();
                EXPECT_EQ(deletions, 1);
                for (int slot = 0; slot < CTavSystem::kSlotCount; ++slot)
                    EXPECT_EQ(system.TextOut(slot), nullptr) << "slot " << slot;
            }
            EXPECT_EQ(deletions, 1) << "deleted again when the system went away";
        }
    }
}

TEST(SystemTextOutSlots, OutputHeldByTwoSlotsIsDeletedOnceWhenTheSystemGoesAway) {
    for (int first = 0; first < CTavSystem::kSlotCount; ++first) {
        for (int second = first + 1; second < CTavSystem::kSlotCount; ++second) {
            SCOPED_TRACE(testing::Message() << "slots " << first << " and " << second);
            int deletions = 0;
            {
                CTavSystem system;
                auto* shared = new CountingTextOut(deletions);
                system.SetTextOut(first, shared);
                system.SetTextOut(second, shared);
            }
            EXPECT_EQ(deletions, 1);
        }
    }
}

TEST(SystemTextOutSlots, OutputHeldByEverySlotIsDeletedOnce) {
    int deletions = 0;
    {
        CTavSystem system;
        auto* shared = new CountingTextOut(deletions);
        for (int slot = 0; slot < CTavSystem::kSlotCount; ++slot)
            system.SetTextOut(slot, shared);
        system.Shutdown();
    }
    EXPECT_EQ(deletions, 1);
}

TEST(SystemTextOutSlots, DistinctOutputsAreEachDeletedAtShutdown) {
    std::vector<int> deletions(CTavSystem::kSlotCount, 0);
    CTavSystem system;
    for (int slot = 0; slot < CTavSystem::kSlotCount; ++slot)
        system.SetTextOut(slot, new CountingTextOut(deletions[static_cast<size_t>(slot)]));
    system.Shutdown();
    EXPECT_EQ(deletions, std::vector<int>(CTavSystem::kSlotCount, 1));
}

TEST(SystemTextOutSlots, ReplacingASlotDeletesTheOldOutputOnlyWhenNoOtherSlotHoldsIt) {
    struct Case {
        std::vector<int> heldBy;
        int replaced;
        bool deleted;
    };
    const Case cases[] = {
        {{0}, 0, true},     {{1}, 1, true},     {{2}, 2, true},     {{3}, 3, true},
        {{4}, 4, true},     {{0, 2}, 0, false}, {{0, 2}, 2, false}, {{1, 3}, 3, false},
        {{1, 4}, 1, false}, {{1, 4}, 4, false}, {{2, 4}, 4, false}, {{0, 1, 2, 3}, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "replacing slot " << c.replaced << " of " << c.heldBy.size() << " holding slot(s)");
        int oldDeletions = 0;
        int newDeletions = 0;
        CTavSystem system;
        auto* old = new CountingTextOut(oldDeletions);
        for (int slot : c.heldBy)
            system.SetTextOut(slot, old);
        auto* replacement = new CountingTextOut(newDeletions);
        system.SetTextOut(c.replaced, replacement);
        EXPECT_EQ(oldDeletions, c.deleted ? 1 : 0);
        EXPECT_EQ(system.TextOut(c.replaced), replacement);
        system.Shutdown();
        EXPECT_EQ(oldDeletions, 1);
        EXPECT_EQ(newDeletions, 1);
    }
}

TEST(SystemTextOutSlots, SharedOutputIsDeletedWhenTheLastSlotHoldingItIsReplaced) {
    int sharedDeletions = 0;
    int otherDeletions = 0;
    CTavSystem system;
    auto* shared = new CountingTextOut(sharedDeletions);
    system.SetTextOut(CTavSystem::kMessageBoxOutput, shared);
    system.SetTextOut(CTavSystem::kErrorOutput, shared);

    system.SetTextOut(CTavSystem::kMessageBoxOutput, new CountingTextOut(otherDeletions));
    EXPECT_EQ(sharedDeletions, 0);
    EXPECT_EQ(system.ErrorOutput(), shared);

    system.SetTextOut(CTavSystem::kErrorOutput, nullptr);
    EXPECT_EQ(sharedDeletions, 1);
    EXPECT_EQ(system.ErrorOutput(), nullptr);

    system.Shutdown();
    EXPECT_EQ(sharedDeletions, 1);
    EXPECT_EQ(otherDeletions, 1);
}

TEST(SystemTextOutSlots, StoringTheSameOutputAgainKeepsIt) {
    int deletions = 0;
    CTavSystem system;
    auto* output = new CountingTextOut(deletions);
    system.SetTextOut(CTavSystem::kBufferOutput, output);
    system.SetTextOut(CTavSystem::kBufferOutput, output);
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(system.BufferOutput(), output);
    system.Shutdown();
    EXPECT_EQ(deletions, 1);
}

TEST(SystemTextOutSlots, PendingCodeAndErrorTextComeFromTheBufferAndErrorOutputs) {
    CTavSystem system;
    EXPECT_EQ(system.PendingCode(), 0);
    EXPECT_EQ(system.ErrorText(), "");

    auto* buffer = new CTavTextOutBuffer;
    auto* errors = new CTavTextOutStringStream;
    system.SetTextOut(CTavSystem::kBufferOutput, buffer);
    system.SetTextOut(CTavSystem::kErrorOutput, errors);
    buffer->Report(5);
    errors->Write("Unable to create.\n");
    EXPECT_EQ(system.PendingCode(), 5);
    EXPECT_EQ(system.ErrorText(), "Unable to create.\n");

    // Outputs of other kinds in those slots have no code and collect no text.
    system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutStringStream);
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutBuffer);
    EXPECT_EQ(system.PendingCode(), 0);
    EXPECT_EQ(system.ErrorText(), "");
}

// --- Reading the script ----------------------------------------------------------------

TEST_F(SystemWithErrorOutput, EveryTopLevelTagGoesToItsOwnListInFileOrder) {
    const std::vector<std::string> elementTags = {"struct",     "midiStruct",  "midiIn",
                                                  "midiOut",    "panel",       "bitmap",
                                                  "textWriter", "stringTable", "numberTable"};
    const std::vector<std::string> typeTags = {"structType", "panelType"};
    std::string script = std::string(kDeclaration) + "\n<script>\n";
    for (const char* suffix : {"1", "2"}) {
        for (const auto& tag : typeTags)
            script += "<" + tag + "><type>" + tag + suffix + "</type></" + tag + ">\n";
        for (const auto& tag : elementTags)
            script += "<" + tag + "><name>" + tag + suffix + "</name></" + tag + ">\n";
    }
    script += "</script>\n";

    ASSERT_TRUE(system.ReadScript(script)) << system.ErrorText();
    EXPECT_EQ(system.ErrorText(), "");

    auto names = [](const std::vector<CTavElementDefinition>& list) {
        std::vector<std::string> result;
        for (const auto& definition : list)
            result.push_back(definition.Find("name") ? *definition.Find("name") : "?");
        return result;
    };
    auto typeNames = [](const std::vector<CTavTypeDefinition>& list) {
        std::vector<std::string> result;
        for (const auto& definition : list)
            result.push_back(definition.typeName);
        return result;
    };
    const std::pair<std::string, std::vector<std::string>> lists[] = {
        {"structType", typeNames(system.BufferManager().StructTypeDefinitions())},
        {"struct", names(system.BufferManager().RootStructDefinitions())},
        {"midiStruct", names(system.BufferManager().MidiStructDefinitions())},
        {"midiIn", names(system.MidiManager().MidiInDefinitions())},
        {"midiOut", names(system.MidiManager().MidiOutDefinitions())},
        {"panelType", typeNames(system.ViewManager().PanelTypeDefinitions())},
        {"panel", names(system.ViewManager().RootPanelDefinitions())},
        {"bitmap", names(system.ResourceManager().BitmapDefinitions())},
        {"textWriter", names(system.ResourceManager().TextWriterDefinitions())},
        {"stringTable", names(system.ResourceManager().StringTableDefinitions())},
        {"numberTable", names(system.ResourceManager().NumberTableDefinitions())},
    };
    for (const auto& [tag, contents] : lists) {
        SCOPED_TRACE(tag);
        EXPECT_EQ(contents, (std::vector<std::string>{tag + "1", tag + "2"}));
    }
}

TEST_F(SystemWithErrorOutput, TypeElementsAreReadAsTypeDefinitionsWithTheirChildren) {
    ASSERT_TRUE(system.ReadScript("<structType><type>Tone</type><size>01</size>"
                                  "<struct><type>Common</type><struct>nested</struct></struct>"
                                  "<value><name>level</name></value></structType>"
                                  "<panelType><type>Page</type><panel><name>p</name></panel>"
                                  "<control><name>c</name></control></panelType>"));
    EXPECT_EQ(DumpType(system.BufferManager().StructTypeDefinitions().at(0)),
              "{Tone;size=01;struct{Common;struct=nested};value{;name=level}}");
    EXPECT_EQ(DumpType(system.ViewManager().PanelTypeDefinitions().at(0)),
              "{Page;struct{;name=p};value{;name=c}}");
}

TEST(SystemReadScript, OnlyTheExactShiftJisDeclarationIsAccepted) {
    struct Case {
        std::string declaration;
        bool accepted;
    };
    const Case cases[] = {
        {R"(?xml version="1.0" encoding="Shift_JIS"?)", true},
        {R"(?xml version="1.0"?)", false},
        {R"(?xml version="1.0" encoding="shift_jis"?)", false},
        {R"(?xml version="1.0" encoding="UTF-8"?)", false},
        {R"(?xml version='1.0' encoding='Shift_JIS'?)", false},
        {R"(?xml  version="1.0" encoding="Shift_JIS"?)", false},
        {R"(?xml version="1.0" encoding="Shift_JIS")", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.declaration);
        CTavSystem fresh;
        auto* errors = new CTavTextOutStringStream;
        fresh.SetTextOut(CTavSystem::kErrorOutput, errors);
        const std::string script =
            "<" + c.declaration + ">\n<script>\n<panel><name>main</name></panel>\n</script>\n";
        EXPECT_EQ(fresh.ReadScript(script), c.accepted);
        EXPECT_EQ(errors->Text(), c.accepted ? "" : "Unknown tag. : " + c.declaration + "\n");
        EXPECT_EQ(fresh.ViewManager().RootPanelDefinitions().size(), c.accepted ? 1u : 0u);
    }
}

TEST(SystemReadScript, UnknownTopLevelTagIsReportedAndEndsTheRead) {
    const std::string unknownTags[] = {"panell", "Panel",   "structtype", R"(panel name="main")",
                                       "/panel", "script ", ""};
    for (const auto& tag : unknownTags) {
        SCOPED_TRACE(tag);
        CTavSystem fresh;
        auto* errors = new CTavTextOutStringStream;
        fresh.SetTextOut(CTavSystem::kErrorOutput, errors);
        errors->Write("Earlier line.\n");
        const std::string script =
            "<script>\n<bitmap><name>before</name></bitmap>\n<" + tag +
            "><name>x</name></panel>\n<bitmap><name>after</name></bitmap>\n</script>\n";
        EXPECT_FALSE(fresh.ReadScript(script));
        EXPECT_EQ(errors->Text(), "Earlier line.\nUnknown tag. : " + tag + "\n");
        ASSERT_EQ(fresh.ResourceManager().BitmapDefinitions().size(), 1u);
        EXPECT_EQ(DumpElement(fresh.ResourceManager().BitmapDefinitions()[0]), "{;name=before}");
    }
}

TEST(SystemReadScript, UnknownTagIsShownWithItsNulBytesEscapedAndCutTo400Bytes) {
    struct Case {
        const char* name;
        std::string tag;
        std::string shown;
    };
    const Case cases[] = {
        {"NUL inside", std::string("pan\0el", 6), "pan\\0el"},
        {"NUL first", std::string("\0panel", 6), "\\0panel"},
        {"400 bytes kept", std::string(400, 'x'), std::string(400, 'x')},
        {"longer cut", std::string(399, 'x') + "yz" + std::string(5000, 'q'), std::string(399, 'x') + "y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTavSystem fresh;
        auto* errors = new CTavTextOutStringStream;
        fresh.SetTextOut(CTavSystem::kErrorOutput, errors);
        EXPECT_FALSE(fresh.ReadScript("<bitmap></bitmap><" + c.tag + "></x>"));
        EXPECT_EQ(errors->Text(), "Unknown tag. : " + c.shown + "\n");
    }
}

TEST(SystemReadScript, UnknownTagWithoutAnErrorOutputStillFails) {
    CTavSystem system;
    EXPECT_FALSE(system.ReadScript("<bogus></bogus>"));
}

TEST(SystemReadScript, ScriptWithAndWithoutTheScriptWrapperIsReadTheSame) {
    const std::string body = "<!-- voices > tones -->\n"
                             "<structType><type>Tone</type><value><name>level</name></value></structType>\n"
                             "<struct><type>Tone</type><name>tone</name><address>00 00</address></struct>\n"
                             "<midiIn><name>in</name></midiIn>\n"
                             "<panel><type>Page</type><name>main</name></panel>\n"
                             "<stringTable><name>onOff</name><elements>Off, On</elements></stringTable>\n";
    CTavSystem wrapped;
    CTavSystem bare;
    CTavSystem declaredOnly;
    ASSERT_TRUE(wrapped.ReadScript(std::string(kDeclaration) + "\n<script>\n" + body + "</script>\n"));
    ASSERT_TRUE(bare.ReadScript(body));
    ASSERT_TRUE(declaredOnly.ReadScript(std::string(kDeclaration) + "\n" + body));
    EXPECT_EQ(DumpDefinitions(bare), DumpDefinitions(wrapped));
    EXPECT_EQ(DumpDefinitions(declaredOnly), DumpDefinitions(wrapped));
    CTavSystem empty;
    EXPECT_NE(DumpDefinitions(wrapped), DumpDefinitions(empty));
}

TEST(SystemReadScript, ReadingFromAStreamMatchesReadingTheText) {
    const std::string script = std::string(kDeclaration) + "<script><panel><name>main</name></panel>"
                                                           "<bitmap><name>\x83\x65</name></bitmap></script>";
    CTavSystem fromText;
    CTavSystem fromStream;
    std::istringstream stream(script);
    ASSERT_TRUE(fromText.ReadScript(script));
    ASSERT_TRUE(fromStream.ReadScript(stream));
    EXPECT_EQ(DumpDefinitions(fromStream), DumpDefinitions(fromText));
}

TEST(SystemReadScript, TopLevelElementWithoutItsEndTagTakesTheRestOfTheScript) {
    CTavSystem system;
    ASSERT_TRUE(system.ReadScript("<panel><name>main</name>\n<bitmap><name>b</name></bitmap>\n"));
    ASSERT_EQ(system.ViewManager().RootPanelDefinitions().size(), 1u);
    EXPECT_EQ(DumpElement(system.ViewManager().RootPanelDefinitions()[0]),
              "{;name=main;bitmap=<name>b</name>}");
    EXPECT_TRUE(system.ResourceManager().BitmapDefinitions().empty());
}

TEST(SystemReadScript, EmptyScriptIsReadWithoutError) {
    CTavSystem system;
    EXPECT_TRUE(system.ReadScript(""));
    EXPECT_TRUE(system.ReadScript(std::string(kDeclaration) + "<script></script>"));
}

// --- Managers --------------------------------------------------------------------------

TEST_F(SystemWithErrorOutput, ManagersAreCreatedFromAReadScript) {
    ASSERT_TRUE(system.ReadScript(std::string(kDeclaration) +
                                  "<script><panelType><type>mainType</type></panelType>"
                                  "<panel><type>mainType</type><name>main</name></panel></script>"));
    EXPECT_TRUE(system.CreateManagers());
    EXPECT_EQ(system.ErrorText(), "");
    EXPECT_TRUE(system.ViewManager().OpenRootPanel("main"));
}

TEST_F(SystemWithErrorOutput, ShutdownEmptiesTheDefinitionListsAndTheSlots) {
    ASSERT_TRUE(
        system.ReadScript("<structType><type>T</type></structType><midiOut></midiOut><bitmap></bitmap>"));
    ASSERT_TRUE(system.CreateManagers());
    system.Shutdown();
    CTavSystem empty;
    EXPECT_EQ(DumpDefinitions(system), DumpDefinitions(empty));
    EXPECT_EQ(system.ErrorOutput(), nullptr);
}

// --- Script folder ---------------------------------------------------------------------

TEST(SystemScriptFolder, CommandLineBeatsEnvironmentWhichBeatsTheProgramFolder) {
    struct Case {
        const char* program;
        const char* commandLine;
        const char* environment;
        const char* expected;
    };
    const Case cases[] = {
        {"/opt/vireo/", "/from/option", "/from/env", "/from/option/"},
        {"/opt/vireo/", "/from/option/", "", "/from/option/"},
        {"/opt/vireo/", "", "/from/env", "/from/env/"},
        {"/opt/vireo/", "", "/from/env/", "/from/env/"},
        {"/opt/vireo/", "", "", "/opt/vireo/Script/"},
        {"", "", "", "Script/"},
        {"/opt/vireo/", "relative", "", "relative/"},
        {"/opt/vireo/", "/", "/from/env", "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "option '" << c.commandLine << "', environment '" << c.environment << "'");
        EXPECT_EQ(TavResolveScriptFolder(c.program, c.commandLine, c.environment), c.expected);
    }
}

// --- Command-line file ---------------------------------------------------------------

TEST(SystemCommandLineFile, ALinkNamesItsTargetAndEveryNameBecomesAbsolute) {
    test::TempDir dir;
    const std::filesystem::path& d = dir.Path();
    const std::string latin1 = "S\xe4tze.vro"; // not valid UTF-8
    dir.Write("song.vro", "x");
    dir.Write(latin1, "x");
    std::filesystem::create_directories(d / "links");
    std::filesystem::create_symlink("../song.vro", d / "links" / "relative.vro");
    std::filesystem::create_symlink(d / "links" / "relative.vro", d / "chain.vro");
    std::filesystem::create_symlink(d / latin1, d / "latin1-link.vro");
    std::filesystem::create_symlink(d / "gone.vro", d / "broken.vro");
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(d);
    struct Case {
        std::string given;
        std::string expected;
    };
    const Case cases[] = {
        {"", ""},
        {(d / "song.vro").string(), (d / "song.vro").string()},
        {"links/relative.vro", (d / "song.vro").string()},
        {(d / "chain.vro").string(), (d / "song.vro").string()},
        {"latin1-link.vro", (d / latin1).string()},
        {latin1, (d / latin1).string()},
        {"./links/../song.vro", (d / "song.vro").string()},
        {"broken.vro", (d / "broken.vro").string()}, // reading it then fails with its code
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_EQ(TavResolveCommandLineFile(c.given), c.expected);
    }
    std::filesystem::current_path(cwd);
}

TEST(SystemScriptFolder, StoredFolderGainsATrailingSlashAndNamesTheScriptFile) {
    CTavSystem system;
    system.SetScriptFolder("/data/Script");
    EXPECT_EQ(system.ScriptFolder(), "/data/Script/");
    EXPECT_EQ(system.ScriptPath(), "/data/Script/VireoEditorScript.xml");
    system.SetScriptFolder("/data/Script/");
    EXPECT_EQ(system.ScriptFolder(), "/data/Script/");
}

// --- Loading the script at start-up ----------------------------------------------------

namespace {

class SystemScriptLoading : public ::testing::Test {
protected:
    SystemScriptLoading() {
        TavInstallHeadlessOutputs(system);
        system.SetScriptFolder(dir.Path().string());
    }

    void WriteScript(const std::string& content) {
        dir.Write(std::string(CTavSystem::kScriptFileName), content);
    }

    test::TempDir dir;
    CTavSystem system;
    std::string failure;
};

} // namespace

TEST_F(SystemScriptLoading, MissingScriptFileFailsWithOnlyTheOpenMessage) {
    dir.Write("OtherScript.xml", "<script></script>");
    system.ErrorOutput()->Write("Earlier line.\n");
    EXPECT_FALSE(TavLoadScriptAndCreateManagers(system, failure));
    EXPECT_EQ(failure, "Unable to open script.\n");
}

TEST_F(SystemScriptLoading, MissingScriptFolderFailsWithOnlyTheOpenMessage) {
    system.SetScriptFolder((dir.Path() / "absent").string());
    EXPECT_FALSE(TavLoadScriptAndCreateManagers(system, failure));
    EXPECT_EQ(failure, "Unable to open script.\n");
}

TEST_F(SystemScriptLoading, WhatStandsInPlaceOfTheScriptFileIsNamedAndNotWaitedOn) {
    const auto path = dir.Path() / std::string(CTavSystem::kScriptFileName);
    const std::pair<test::NotAFile, const char*> cases[] = {
        {test::NotAFile::kFolder, " : a folder, not a file\n"},
        {test::NotAFile::kFifo, " : not a regular file\n"},
        {test::NotAFile::kEndless, " : not a regular file\n"},
        {test::NotAFile::kDangling, ""}, // nothing there
    };
    for (const auto& [kind, reason] : cases) {
        std::filesystem::remove(path);
        test::MakeNotAFile(kind, path);
        EXPECT_FALSE(TavLoadScriptAndCreateManagers(system, failure));
        EXPECT_EQ(failure, (*reason ? path.string() + reason : "") + "Unable to open script.\n") << test::Describe(kind);
    }
}

TEST_F(SystemScriptLoading, MisspeltTopLevelTagNamesTheTagThenTheReadFailure) {
    WriteScript(std::string(kDeclaration) +
                "\n<script>\n<panelType><type>mainType</type></panelType>\n"
                "<panell><type>mainType</type><name>main</name></panell>\n</script>\n");
    EXPECT_FALSE(TavLoadScriptAndCreateManagers(system, failure));
    EXPECT_EQ(failure, "Unknown tag. : panell\nUnable to read script.\n");
}

TEST_F(SystemScriptLoading, ReadFailureShowsEveryLineCollectedBeforeIt) {
    WriteScript("<?xml version=\"1.0\"?>\n<script></script>\n");
    system.ErrorOutput()->Write("Earlier line.\n");
    EXPECT_FALSE(TavLoadScriptAndCreateManagers(system, failure));
    EXPECT_EQ(failure, "Earlier line.\nUnknown tag. : ?xml version=\"1.0\"?\nUnable to read script.\n");
}

TEST_F(SystemScriptLoading, ValidScriptIsReadAndTheManagersCreated) {
    WriteScript(std::string(kDeclaration) +
                "\n<script>\n<!-- The main panel. -->\n<panelType><type>mainType</type></panelType>\n"
                "<panel><type>mainType</type><name>main</name></panel>\n</script>\n");
    EXPECT_TRUE(TavLoadScriptAndCreateManagers(system, failure)) << failure;
    EXPECT_EQ(failure, "");
    EXPECT_EQ(system.ErrorText(), "");
    EXPECT_EQ(system.ViewManager().PanelTypeDefinitions().size(), 1u);
    EXPECT_TRUE(system.ViewManager().OpenRootPanel("main"));
}
