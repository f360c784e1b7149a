#pragma once
// The view manager: builds the panels declared by the script and opens root panels as
// windows.

#include <string_view>
#include <vector>

#include "script/CTavElementDefinition.h"

class CTavTextOut;
class CTavBuffer;
class CTavBufferManager;
class CTavResourceManager;

class CTavViewManager {
public:
    void SetErrorOutput(CTavTextOut* output) { m_errorOutput = output; }
    CTavTextOut* ErrorOutput() const { return m_errorOutput; }
    void SetProgressBar(CTavTextOut* progressBar) { m_progressBar = progressBar; }

    std::vector<CTavTypeDefinition>& PanelTypeDefinitions() { return m_panelTypeDefinitions; }
    std::vector<CTavElementDefinition>& RootPanelDefinitions() { return m_rootPanelDefinitions; }

    // Builds the root panels. Panels are not built yet: the definitions are kept as read
    // and creation has nothing that can fail.
    bool Create(CTavBufferManager& bufferManager, CTavResourceManager& resourceManager);
    // Opens the root panel with exactly this name. Until panels are built this only finds
    // the root panel declared under that name; false when there is none.
    bool OpenRootPanel(std::string_view name);
    // The buffer manager hands over the changed buffers after edits and received data.
    // Nothing is shown for values yet, so there is nothing to update.
    void ValuesChanged(const std::vector<CTavBuffer*>& changed);
    void Destroy();

private:
    std::vector<CTavTypeDefinition> m_panelTypeDefinitions;
    std::vector<CTavElementDefinition> m_rootPanelDefinitions;
    CTavTextOut* m_errorOutput = nullptr;
    CTavTextOut* m_progressBar = nullptr;
};
