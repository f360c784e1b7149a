#include "app/CTavSystem.h"

#include <iterator>

#include "app/CTavTextOut.h"
#include "device/CTavDeviceControlKinds.h"
#include "midi/CTavMidiStruct.h"
#include "script/CTavTagReader.h"
#include "view/CTavViewFactory.h"

CTavSystem& CTavSystem::Instance() {
    static CTavSystem system;
    return system;
}

CTavSystem::~CTavSystem() {
    DeleteTextOuts();
}

void CTavSystem::SetTextOut(int slot, CTavTextOut* output) {
    if (slot < 0 || slot >= kSlotCount)
        return;
    CTavTextOut* previous = m_textOuts[slot];
    m_textOuts[slot] = output;
    if (!previous || previous == output)
        return;
    // The same object may sit in several slots; it goes only when the last one lets go.
    for (int other = 0; other < kSlotCount; ++other)
        if (m_textOuts[other] == previous)
            return;
    delete previous;
}

CTavTextOut* CTavSystem::TextOut(int slot) const {
    return (slot >= 0 && slot < kSlotCount) ? m_textOuts[slot] : nullptr;
}

int CTavSystem::PendingCode() const {
    auto* buffer = dynamic_cast<CTavTextOutBuffer*>(BufferOutput());
    return buffer ? buffer->PendingCode() : 0;
}

std::string CTavSystem::ErrorText() const {
    auto* stream = dynamic_cast<CTavTextOutStringStream*>(ErrorOutput());
    return stream ? stream->Text() : std::string();
}

void CTavSystem::AttachErrorOutputToManagers() {
    CTavTextOut* errors = ErrorOutput();
    m_bufferManager.SetErrorOutput(errors);
    m_viewManager.SetErrorOutput(errors);
    m_resourceManager.SetErrorOutput(errors);
    m_midiManager.SetErrorOutput(errors);
    m_viewManager.SetProgressBar(ProgressBar());
}

void CTavSystem::SetScriptFolder(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    m_scriptFolder = std::move(folder);
}

bool CTavSystem::ReadScript(std::istream& stream) {
    const std::string text{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    return ReadScript(text);
}

bool CTavSystem::ReadScript(std::string_view text) {
    CTavTagReader reader(text);
    for (std::string tag; reader.NextTag(tag);) {
        if (tag == "structType") {
            m_bufferManager.StructTypeDefinitions().push_back(
                CTavTypeDefinition::Parse(reader.ElementText()));
        } else if (tag == "struct") {
            m_bufferManager.RootStructDefinitions().push_back(
                CTavElementDefinition::Parse(reader.ElementText()));
        } else if (tag == "midiStruct") {
            m_bufferManager.MidiStructDefinitions().push_back(
                CTavElementDefinition::Parse(reader.ElementText()));
        } else if (tag == "midiIn") {
            m_midiManager.MidiInDefinitions().push_back(CTavElementDefinition::Parse(reader.ElementText()));
        } else if (tag == "midiOut") {
            m_midiManager.MidiOutDefinitions().push_back(CTavElementDefinition::Parse(reader.ElementText()));
        } else if (tag == "panelType") {
            m_viewManager.PanelTypeDefinitions().push_back(CTavTypeDefinition::Parse(reader.ElementText()));
        } else if (tag == "panel") {
            m_viewManager.RootPanelDefinitions().push_back(
                CTavElementDefinition::Parse(reader.ElementText()));
        } else if (tag == "noControl") {
            m_viewManager.NoControlDefinitions().push_back(CTavElementDefinition::Parse(reader.ElementText()));
        } else if (tag == "bitmap") {
            m_resourceManager.BitmapDefinitions().push_back(
                CTavElementDefinition::Parse(reader.ElementText()));
        } else if (tag == "textWriter") {
            m_resourceManager.TextWriterDefinitions().push_back(
                CTavElementDefinition::Parse(reader.ElementText()));
        } else if (tag == "stringTable") {
            m_resourceManager.StringTableDefinitions().push_back(
                CTavElementDefinition::Parse(reader.ElementText()));
        } else if (tag == "numberTable") {
            m_resourceManager.NumberTableDefinitions().push_back(
                CTavElementDefinition::Parse(reader.ElementText()));
        } else if (tag == "?xml version=\"1.0\" encoding=\"Shift_JIS\"?" || tag == "script" ||
                   tag == "/script") {
            // The declaration and the optional wrapper carry nothing.
        } else {
            if (ErrorOutput())
                ErrorOutput()->Printf("Unknown tag. : %s\n", TavShownText(tag).c_str());
            return false;
        }
    }
    return true;
}

bool CTavSystem::CreateManagers(Views views) {
    CTavTextOut* errors = ErrorOutput();
    auto fail = [errors](const char* line) {
        if (errors)
            errors->Write(line);
        return false;
    };
    // Bitmaps load their images from the script folder.
    m_resourceManager.SetImageFolder(m_scriptFolder);
    if (!m_resourceManager.Create())
        return fail("Unable to create resource manager.\n");
    if (!m_bufferManager.Create(m_resourceManager, &CTavMidiStruct::BuildAll))
        return fail("Unable to create buffer manager.\n");
    // The views hear every change first; whoever registers later hears it after them.
    m_bufferManager.AddListener(m_viewManager);
    if (!m_midiManager.Create(m_bufferManager))
        return fail("Unable to create MIDI manager.\n");
    // The device layer's control kinds are known before the panels are built; a factory
    // that does not take registrations (a test's) keeps the kinds it has.
    if (views == Views::Build)
        if (auto* factory = dynamic_cast<CTavViewFactory*>(&m_viewManager.ViewFactory()))
            Brio::TavRegisterDeviceControlKinds(*factory);
    if (views == Views::Build && !m_viewManager.Create(m_bufferManager, m_resourceManager))
        return fail("Unable to create view manager.\n");
    return true;
}

void CTavSystem::LoadWindowPositions(bool load) {
    const std::string path = m_scriptFolder + "WindowPosition.txt";
    if (load)
        m_viewManager.LoadWindowPositions(path);
    else
        m_viewManager.SaveWindowPositions(path);
}

void CTavSystem::DeleteTextOuts() {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        CTavTextOut* output = m_textOuts[slot];
        if (!output)
            continue;
        for (int other = slot; other < kSlotCount; ++other)
            if (m_textOuts[other] == output)
                m_textOuts[other] = nullptr;
        delete output;
    }
}

void CTavSystem::Shutdown() {
    m_functionManager.Clear();
    m_viewManager.Destroy();
    m_midiManager.Destroy();
    m_bufferManager.Destroy();
    m_resourceManager.Destroy();
    m_postCaller.reset();
    // Managers keep non-owning pointers to the error output; clear them before it goes.
    m_bufferManager.SetErrorOutput(nullptr);
    m_viewManager.SetErrorOutput(nullptr);
    m_resourceManager.SetErrorOutput(nullptr);
    m_midiManager.SetErrorOutput(nullptr);
    m_viewManager.SetProgressBar(nullptr);
    DeleteTextOuts();
    m_tipBar.reset();
    m_popupMenu.reset();
}
