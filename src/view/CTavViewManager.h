#pragma once
// The view manager: builds the panels declared by the script with the view factory, opens
// root panels, hands value changes down the view tree, and holds the focused and the
// captured view. GUI thread only.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/TavClock.h"
#include "model/ITavBufferListener.h"
#include "script/CTavElementDefinition.h"
#include "view/ITavViewObserver.h"
#include "view/TavControlCoverage.h"

class CTavBuffer;
class CTavBufferManager;
class CTavPanel;
class CTavResourceManager;
class CTavRootPanel;
class CTavTextOut;
class CTavValue;
class CTavView;
class ITavClock;
class ITavPopupMenu;
class ITavProgress;
class ITavTipBar;
class ITavViewFactory;

class CTavViewManager : public ITavBufferListener {
public:
    // Value changes are handed to the views this many at a time.
    static constexpr size_t kChangeChunk = 8192;
    // What one Create may build: panel types nested in one another, and views in all. A
    // script that asks for more fails with a message instead of exhausting the stack or
    // the memory.
    static constexpr size_t kMaxPanelDepth = 32;
    static constexpr size_t kMaxViews = size_t{1} << 18;

    CTavViewManager();
    ~CTavViewManager();
    CTavViewManager(const CTavViewManager&) = delete;
    CTavViewManager& operator=(const CTavViewManager&) = delete;

    void SetErrorOutput(CTavTextOut* output) { m_errorOutput = output; }
    CTavTextOut* ErrorOutput() const { return m_errorOutput; }
    // The progress bar slot's object; used when it offers ITavProgress.
    void SetProgressBar(CTavTextOut* progressBar);
    void SetProgress(ITavProgress* progress) { m_progress = progress; }
    ITavProgress* Progress() const { return m_progress; }

    // The factory the panels are built with; the generic one unless another is set.
    // Set it before Create.
    void SetViewFactory(std::unique_ptr<ITavViewFactory> factory);
    ITavViewFactory& ViewFactory();

    std::vector<CTavTypeDefinition>& PanelTypeDefinitions() { return m_panelTypeDefinitions; }
    std::vector<CTavElementDefinition>& RootPanelDefinitions() { return m_rootPanelDefinitions; }
    // The script's "noControl" elements: values that have no control on purpose. Create
    // converts them; the rules stay for the coverage report.
    std::vector<CTavElementDefinition>& NoControlDefinitions() { return m_noControlDefinitions; }
    const std::vector<CTavNoControlRule>& NoControlRules() const { return m_noControlRules; }

    // Builds and associates every root panel, in script order, then frees the root panel
    // definitions. False after the first failure, with its messages on the error output.
    bool Create(CTavBufferManager& bufferManager, CTavResourceManager& resourceManager);
    // Opens the root panel with exactly this name, then lets its child panels take their
    // open state; false when there is none or it does not open.
    bool OpenRootPanel(std::string_view name);
    CTavRootPanel* FindRootPanel(std::string_view name) const;
    const std::vector<std::unique_ptr<CTavRootPanel>>& RootPanels() const { return m_rootPanels; }

    // The buffer manager hands over its changed buffers after edits and received data;
    // they reach every root panel in chunks, with the progress shown for long lists.
    void ValuesChanged(const std::vector<CTavBuffer*>& changed);
    // ITavBufferListener: every published change reaches the open panels.
    void BuffersChanged(const std::vector<CTavBuffer*>& changed, TavChangeOrigin) override { ValuesChanged(changed); }

    // Window positions in a text file: pairs of lines, a root panel's name and "x,y".
    // Loading ignores pairs naming no root panel; saving closes every open root panel
    // first, so that its window records where it is. False when the file cannot be opened.
    bool LoadWindowPositions(const std::string& path);
    bool SaveWindowPositions(const std::string& path);

    CTavView* FocusedView() const { return m_focusedView; }
    // Tells the observer when the focus moves.
    void SetFocusedView(CTavView* view);
    CTavView* CapturedView() const { return m_capturedView; }
    void SetCapturedView(CTavView* view) { m_capturedView = view; }

    CTavBufferManager* BufferManager() const { return m_bufferManager; }
    CTavResourceManager* ResourceManager() const { return m_resourceManager; }
    // The tip bar the controls show their values in (owned by the root object; none
    // without windows) and the clock their timed behaviour reads (the system clock unless
    // one is set).
    void SetTipBar(ITavTipBar* tipBar) { m_tipBar = tipBar; }
    ITavTipBar* TipBar() const { return m_tipBar; }
    // The popup menu the combo controls open (owned by the root object; none without
    // windows, where a combo does not open).
    void SetPopupMenu(ITavPopupMenu* popupMenu) { m_popupMenu = popupMenu; }
    ITavPopupMenu* PopupMenu() const { return m_popupMenu; }
    void SetClock(ITavClock* clock) { m_clock = clock; }
    ITavClock& Clock() const { return m_clock ? *m_clock : TavSystemClock(); }

    // What a value is called when a control is named after it ("Part 3 Level"): the namer
    // the application sets, else the edit history's words for its path.
    using ValueNamer = std::function<std::string(const CTavValue&)>;
    void SetValueNamer(ValueNamer namer) { m_valueNamer = std::move(namer); }
    std::string NameOfValue(const CTavValue& value) const;
    // The assistive technology observer (ITavViewObserver.h); none until the platform
    // installs one. The manager owns it; it goes before the views do.
    void SetViewObserver(std::unique_ptr<ITavViewObserver> observer) { m_observer = std::move(observer); }
    ITavViewObserver* ViewObserver() const { return m_observer.get(); }

    // Closes the open root panels and frees every panel and definition.
    void Destroy();

private:
    bool BuildPanel(CTavPanel& panel, const CTavElementDefinition& definition);
    // Counts one more view; false with the message when there are too many.
    bool CountView(const std::string& type);
    bool Fail(const char* format, const std::string& text) const;
    void ReportLeftOver(const char* prefix, const std::string& name, const TavItems& items) const;

    std::vector<CTavTypeDefinition> m_panelTypeDefinitions;
    std::vector<CTavElementDefinition> m_rootPanelDefinitions;
    std::vector<CTavElementDefinition> m_noControlDefinitions;
    std::vector<CTavNoControlRule> m_noControlRules;
    std::vector<std::unique_ptr<CTavRootPanel>> m_rootPanels;
    // While Create runs: the panel types being built (outermost first), the views made and
    // the work of macro resolution.
    std::vector<const CTavTypeDefinition*> m_buildingTypes;
    size_t m_viewCount = 0;
    TavMacroWork m_macroWork;
    std::unique_ptr<ITavViewFactory> m_factory;
    CTavView* m_focusedView = nullptr;
    CTavView* m_capturedView = nullptr;
    CTavBufferManager* m_bufferManager = nullptr;
    CTavResourceManager* m_resourceManager = nullptr;
    CTavTextOut* m_errorOutput = nullptr;
    ITavProgress* m_progress = nullptr;
    ITavTipBar* m_tipBar = nullptr;
    ITavPopupMenu* m_popupMenu = nullptr;
    ITavClock* m_clock = nullptr;
    ValueNamer m_valueNamer;
    // Last, so that it is destroyed first, while the views it knows still exist.
    std::unique_ptr<ITavViewObserver> m_observer;
};
