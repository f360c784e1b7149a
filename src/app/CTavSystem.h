#pragma once
// The root object of the editor: one per process. It owns the four managers (resource,
// buffer, MIDI, view), the text output slots and the services the device layer plugs in,
// and it reads the editor script into the managers' definition lists.
// Used on the GUI thread only.

#include <array>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

#include "device/CTavFunctionManager.h"
#include "midi/CTavMidiManager.h"
#include "model/CTavBufferManager.h"
#include "script/CTavResourceManager.h"
#include "view/CTavViewManager.h"
#include "view/ITavPopupMenu.h"
#include "view/ITavTipBar.h"

class CTavTextOut;

class CTavSystem {
public:
    enum Slot : int {
        kMessageBoxOutput = 0,
        kBufferOutput = 1,
        kErrorOutput = 2,
        kClipboardOutput = 3,
        kProgressBar = 4,
        kSlotCount = 5,
    };

    // Process-wide constants.
    static constexpr std::string_view kModelName = "Vireo";
    // The application title: the main window's title begins with it, and message boxes
    // and the progress dialog carry it.
    static constexpr std::string_view kApplicationTitle = "Vireo Editor";
    static constexpr std::string_view kRootName = "qv";
    static constexpr std::string_view kDataFileExtension = ".vro";
    static constexpr std::string_view kScriptFileName = "VireoEditorScript.xml";
    static constexpr std::string_view kScriptFolderName = "Script/";
    static constexpr std::string_view kCompanyKey = "Halden";
    static constexpr std::string_view kDocumentTypeId = "VireoEditor.Document";
    static constexpr std::string_view kDocumentTypeDescription = "Vireo Editor Document";

    CTavSystem() = default;
    ~CTavSystem();
    CTavSystem(const CTavSystem&) = delete;
    CTavSystem& operator=(const CTavSystem&) = delete;

    // The one instance of the process, made on first use.
    static CTavSystem& Instance();

    // Text output slots. The system owns what they hold. Storing into a slot deletes the
    // previous object unless another slot still holds it, so a shared object is deleted
    // exactly once.
    void SetTextOut(int slot, CTavTextOut* output);
    CTavTextOut* TextOut(int slot) const;
    CTavTextOut* MessageBoxOutput() const { return m_textOuts[kMessageBoxOutput]; }
    CTavTextOut* BufferOutput() const { return m_textOuts[kBufferOutput]; }
    CTavTextOut* ErrorOutput() const { return m_textOuts[kErrorOutput]; }
    CTavTextOut* ClipboardOutput() const { return m_textOuts[kClipboardOutput]; }
    CTavTextOut* ProgressBar() const { return m_textOuts[kProgressBar]; }
    // The buffer output's pending message code; 0 when none is pending.
    int PendingCode() const;
    // The text collected so far by the error output; empty when it collects nothing.
    std::string ErrorText() const;
    // Makes the error output the error output of every manager.
    void AttachErrorOutputToManagers();

    // The view manager hands the tip bar on to the controls.
    void SetTipBar(std::unique_ptr<ITavTipBar> tipBar) {
        m_tipBar = std::move(tipBar);
        m_viewManager.SetTipBar(m_tipBar.get());
    }
    // The view manager hands the popup menu on to the combo controls.
    void SetPopupMenu(std::unique_ptr<ITavPopupMenu> popupMenu) {
        m_popupMenu = std::move(popupMenu);
        m_viewManager.SetPopupMenu(m_popupMenu.get());
    }
    void SetFunctionPostCaller(std::unique_ptr<ITavFunctionPostCaller> caller) {
        m_postCaller = std::move(caller);
    }
    // The platform's factory of bitmaps, text writers and graph drawers; without one the
    // resource manager uses its headless factory. Install it before CreateManagers.
    void SetResourceFactory(std::unique_ptr<ITavResourceFactory> factory) {
        m_resourceManager.SetResourceFactory(std::move(factory));
    }
    ITavTipBar* TipBar() const { return m_tipBar.get(); }
    ITavPopupMenu* PopupMenu() const { return m_popupMenu.get(); }
    ITavFunctionPostCaller* FunctionPostCaller() const { return m_postCaller.get(); }

    // The folder that holds the script, ending with '/'.
    void SetScriptFolder(std::string folder);
    const std::string& ScriptFolder() const { return m_scriptFolder; }
    std::string ScriptPath() const { return m_scriptFolder + std::string(kScriptFileName); }

    // Reads every top-level element of the script into the definition lists. Returns
    // false, after writing "Unknown tag. : <tag>" to the error output, at a tag it does
    // not know.
    bool ReadScript(std::string_view text);
    bool ReadScript(std::istream& stream);

    // Creates the resource, buffer, MIDI and view managers in this order; the first that
    // fails writes its line to the error output and ends the creation. Without views the
    // panels are not built, so the parameter model works from the script text alone (the
    // controls' bitmaps live only in the assembled script folder).
    enum class Views { Build, Skip };
    bool CreateManagers(Views views = Views::Build);

    // Loads or saves the window positions kept in "WindowPosition.txt" in the script
    // folder. Saving closes the open root panels.
    void LoadWindowPositions(bool load);

    // Tears down the managers and every owned object, in reverse order of creation.
    void Shutdown();

    CTavResourceManager& ResourceManager() { return m_resourceManager; }
    CTavBufferManager& BufferManager() { return m_bufferManager; }
    CTavMidiManager& MidiManager() { return m_midiManager; }
    CTavViewManager& ViewManager() { return m_viewManager; }
    CTavFunctionManager& FunctionManager() { return m_functionManager; }

private:
    void DeleteTextOuts();

    CTavMidiManager m_midiManager;
    std::array<CTavTextOut*, kSlotCount> m_textOuts{};
    CTavBufferManager m_bufferManager;
    CTavViewManager m_viewManager;
    CTavResourceManager m_resourceManager;
    CTavFunctionManager m_functionManager;
    std::unique_ptr<ITavFunctionPostCaller> m_postCaller;
    std::unique_ptr<ITavTipBar> m_tipBar;
    std::unique_ptr<ITavPopupMenu> m_popupMenu;
    std::string m_scriptFolder;
};
