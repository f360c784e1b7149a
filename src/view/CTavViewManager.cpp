#include "view/CTavViewManager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/CTavTextOut.h"
#include "files/TavReadFile.h"
#include "files/TavSafeFile.h"
#include "model/CTavEditHistory.h"
#include "model/CTavValue.h"
#include "view/CTavPanel.h"
#include "view/CTavViewFactory.h"
#include "view/ITavProgress.h"

CTavViewManager::CTavViewManager() = default;

CTavViewManager::~CTavViewManager() {
    if (m_observer) {
        m_observer->ViewsDestroyed();
        m_observer.reset();
    }
}

void CTavViewManager::SetFocusedView(CTavView* view) {
    if (view == m_focusedView)
        return;
    m_focusedView = view;
    if (m_observer)
        m_observer->FocusChanged(view);
}

std::string CTavViewManager::NameOfValue(const CTavValue& value) const {
    return m_valueNamer ? m_valueNamer(value) : CTavEditHistory::NameOfValue(value);
}

void CTavViewManager::SetProgressBar(CTavTextOut* progressBar) {
    m_progress = dynamic_cast<ITavProgress*>(progressBar);
}

void CTavViewManager::SetViewFactory(std::unique_ptr<ITavViewFactory> factory) {
    m_factory = std::move(factory);
}

ITavViewFactory& CTavViewManager::ViewFactory() {
    if (!m_factory)
        m_factory = std::make_unique<CTavViewFactory>();
    return *m_factory;
}

bool CTavViewManager::Fail(const char* format, const std::string& text) const {
    if (m_errorOutput)
        m_errorOutput->Printf(format, text.c_str());
    return false;
}

void CTavViewManager::ReportLeftOver(const char* prefix, const std::string& name,
                                     const TavItems& items) const {
    if (!m_errorOutput)
        return;
    m_errorOutput->Printf(prefix, name.c_str());
    for (const auto& item : items)
        m_errorOutput->Printf("%s, ", item.first.c_str());
    m_errorOutput->Write("\n");
}

bool CTavViewManager::Create(CTavBufferManager& bufferManager, CTavResourceManager& resourceManager) {
    m_bufferManager = &bufferManager;
    m_resourceManager = &resourceManager;
    ITavViewFactory& factory = ViewFactory();
    bool created = true;
    m_buildingTypes.clear();
    m_viewCount = 0;
    m_macroWork = TavMacroWork();
    for (const CTavElementDefinition& definition : m_rootPanelDefinitions) {
        if (!CountView(definition.type)) {
            created = Fail("Unable to convert root panel definition %s to root panel.\n", definition.type);
            break;
        }
        std::unique_ptr<CTavRootPanel> panel = factory.CreateRootPanel();
        if (!panel) {
            created = Fail("Unable to convert root panel definition %s to root panel.\n", definition.type);
            break;
        }
        panel->SetViewManager(this);
        CTavRootPanel& root = *panel;
        m_rootPanels.push_back(std::move(panel));
        if (!BuildPanel(root, definition)) {
            created = Fail("Unable to convert root panel definition %s to root panel.\n", definition.type);
            break;
        }
        // The root panel names itself when its association fails.
        if (!root.Associate(nullptr)) {
            created = false;
            break;
        }
    }
    m_rootPanelDefinitions.clear();
    if (created && !TavConvertNoControlRules(m_noControlDefinitions, m_noControlRules, m_errorOutput))
        created = false;
    m_noControlDefinitions.clear();
    return created;
}

bool CTavViewManager::CountView(const std::string& type) {
    static_assert(kMaxViews == 262144, "the message names the limit");
    if (++m_viewCount <= kMaxViews)
        return true;
    return Fail("Unable to build more than 262144 panels and controls %s.\n", type);
}

namespace {

// Marks a panel type as being built for as long as it lives.
class CBuildingType {
public:
    CBuildingType(std::vector<const CTavTypeDefinition*>& building, const CTavTypeDefinition* type)
        : m_building(building) {
        m_building.push_back(type);
    }
    ~CBuildingType() { m_building.pop_back(); }
    CBuildingType(const CBuildingType&) = delete;
    CBuildingType& operator=(const CBuildingType&) = delete;

private:
    std::vector<const CTavTypeDefinition*>& m_building;
};

} // namespace

bool CTavViewManager::BuildPanel(CTavPanel& panel, const CTavElementDefinition& definition) {
    const CTavTypeDefinition* found = TavFindTypeDefinition(m_panelTypeDefinitions, definition.type);
    if (!found)
        return Fail("Unable to find panel definition %s.\n", definition.type);
    // A type that holds itself, directly or through others, would never end.
    if (std::find(m_buildingTypes.begin(), m_buildingTypes.end(), found) != m_buildingTypes.end())
        return Fail("Unable to build panel type %s that contains itself.\n", definition.type);
    if (m_buildingTypes.size() >= kMaxPanelDepth)
        return Fail("Unable to nest panel type %s this deep.\n", definition.type);
    const CBuildingType building(m_buildingTypes, found);
    const CTavTypeDefinition& type = *found;
    TavItems typeItems = type.items;
    if (!TavResolveMacros(definition.items, typeItems, m_errorOutput, &m_macroWork))
        return Fail("Unable to resolve macros %s.\n", definition.type);
    // A type that gives the panel no name leaves it the name of its definition; it is set
    // first so that messages about the panel's attributes name it.
    if (const std::string* name = definition.Find("name"))
        panel.SetName(TavDecodeEntities(*name));
    if (!panel.Configure(typeItems))
        return Fail("Unable to convert panel from element definitions %s.\n", definition.type);
    if (!typeItems.empty()) {
        ReportLeftOver("Panel %s unknown tags. : ", panel.Path(), typeItems);
        return false;
    }

    for (const CTavElementDefinition& child : type.childStructs) {
        CTavElementDefinition childDefinition = child;
        if (!TavResolveMacros(definition.items, childDefinition.items, m_errorOutput, &m_macroWork))
            return Fail("Unable to resolve macros %s.\n", child.type);
        if (!CountView(child.type))
            return Fail("Unable to convert child panel definition %s to child panel.\n", child.type);
        if (!TavFindTypeDefinition(m_panelTypeDefinitions, childDefinition.type))
            return Fail("Unable to find child panel type definition %s.\n", child.type);
        std::unique_ptr<CTavNodePanel> node = ViewFactory().CreateNodePanel();
        if (!node)
            return Fail("Unable to convert child panel definition %s to child panel.\n", child.type);
        node->SetViewManager(this);
        node->SetParent(&panel);
        CTavNodePanel& built = *node;
        panel.AddChildPanel(std::move(node));
        if (!BuildPanel(built, childDefinition))
            return Fail("Unable to convert child panel definition %s to child panel.\n", child.type);
    }

    for (const CTavElementDefinition& controlDefinition : type.childValues) {
        TavItems attributes = controlDefinition.items;
        if (!TavResolveMacros(definition.items, attributes, m_errorOutput, &m_macroWork))
            return Fail("Unable to resolve macros %s.\n", controlDefinition.type);
        if (!CountView(controlDefinition.type))
            return Fail("Unable to create child control %s.\n", controlDefinition.type);
        std::unique_ptr<CTavView> control = ViewFactory().CreateControl(controlDefinition.type);
        if (!control)
            return Fail("Unable to create child control %s.\n", controlDefinition.type);
        control->SetViewManager(this);
        control->SetParent(&panel);
        CTavView& built = *control;
        panel.AddControl(std::move(control));
        if (!built.Configure(attributes))
            return Fail("Unable to convert child control from element definitions %s.\n",
                        controlDefinition.type);
        if (!attributes.empty()) {
            ReportLeftOver("Control %s unknown tags. : ", built.Path(), attributes);
            return false;
        }
    }
    return true;
}

bool CTavViewManager::OpenRootPanel(std::string_view name) {
    CTavRootPanel* panel = FindRootPanel(name);
    if (!panel || !panel->Open())
        return false;
    panel->OnValuesChanged(CTavValueSet());
    return true;
}

CTavRootPanel* CTavViewManager::FindRootPanel(std::string_view name) const {
    for (const auto& panel : m_rootPanels)
        if (panel->Name() == name)
            return panel.get();
    return nullptr;
}

void CTavViewManager::ValuesChanged(const std::vector<CTavBuffer*>& changed) {
    if (m_rootPanels.empty()) // nothing shows a value (a headless system)
        return;
    const size_t count = changed.size();
    ITavProgress* progress = count > kChangeChunk ? m_progress : nullptr;
    if (progress)
        progress->Start(static_cast<int>(count / kChangeChunk + 1));
    for (size_t first = 0; first < count; first += kChangeChunk) {
        const size_t last = std::min(count, first + kChangeChunk);
        std::vector<CTavValue*> values;
        values.reserve(last - first);
        for (size_t i = first; i < last; ++i)
            if (changed[i] && changed[i]->IsValue())
                values.push_back(static_cast<CTavValue*>(changed[i]));
        const CTavValueSet chunk(std::move(values));
        for (const auto& panel : m_rootPanels)
            panel->OnValuesChanged(chunk);
        if (progress)
            progress->Step();
    }
    if (progress)
        progress->Finish();
}

namespace {

// The positions of a few hundred windows take a few kilobytes.
constexpr uint64_t kMaxWindowPositionsSize = 1u << 20;

// Takes the next line of at most 255 characters off the text, without its line end; a
// longer line is taken in pieces. False at the end.
bool NextLine(std::string_view& text, std::string_view& line) {
    constexpr size_t kMaxLine = 255;
    if (text.empty())
        return false;
    const size_t end = text.find('\n');
    if (end != std::string_view::npos && end <= kMaxLine) {
        line = text.substr(0, end);
        text.remove_prefix(end + 1);
    } else {
        line = text.substr(0, kMaxLine);
        text.remove_prefix(line.size());
    }
    while (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return true;
}

} // namespace

bool CTavViewManager::LoadWindowPositions(const std::string& path) {
    std::string content;
    if (TavReadWholeFile(path, kMaxWindowPositionsSize, content) != TavFileRead::kRead)
        return false;
    std::string_view text = content;
    std::string_view name;
    std::string_view position;
    while (NextLine(text, name) && NextLine(text, position)) {
        long x = 0;
        long y = 0;
        if (std::sscanf(std::string(position).c_str(), "%li,%li", &x, &y) != 2)
            continue;
        if (CTavRootPanel* panel = FindRootPanel(std::string(name)))
            panel->SetWindowPosition({static_cast<int32_t>(x), static_cast<int32_t>(y)});
    }
    return true;
}

bool CTavViewManager::SaveWindowPositions(const std::string& path) {
    std::string text;
    char position[64];
    for (const auto& panel : m_rootPanels) {
        // An open panel's window records where it is when it goes.
        if (panel->IsOpen())
            panel->Close();
        const TavPoint at = panel->WindowPosition();
        std::snprintf(position, sizeof position, "\n%d,%d\n", at.x, at.y);
        text += panel->Name() + position;
    }
    return TavSaveFileSafely(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

void CTavViewManager::Destroy() {
    if (m_observer)
        m_observer->ViewsDestroyed();
    m_focusedView = nullptr;
    m_capturedView = nullptr;
    for (const auto& panel : m_rootPanels)
        panel->Close();
    m_focusedView = nullptr;
    m_capturedView = nullptr;
    m_rootPanels.clear();
    m_panelTypeDefinitions.clear();
    m_rootPanelDefinitions.clear();
    m_noControlDefinitions.clear();
    m_noControlRules.clear();
}
