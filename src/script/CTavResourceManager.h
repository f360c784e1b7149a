#pragma once
// The resource manager: bitmaps, text writers, string tables and number tables declared
// by the editor script, looked up by name.

#include <vector>

#include "script/CTavElementDefinition.h"

class CTavTextOut;

class CTavResourceManager {
public:
    void SetErrorOutput(CTavTextOut* output) { m_errorOutput = output; }
    CTavTextOut* ErrorOutput() const { return m_errorOutput; }

    std::vector<CTavElementDefinition>& BitmapDefinitions() { return m_bitmapDefinitions; }
    std::vector<CTavElementDefinition>& TextWriterDefinitions() { return m_textWriterDefinitions; }
    std::vector<CTavElementDefinition>& StringTableDefinitions() { return m_stringTableDefinitions; }
    std::vector<CTavElementDefinition>& NumberTableDefinitions() { return m_numberTableDefinitions; }

    // Builds the resources from their definitions. Resources are not built yet: the
    // definitions are kept as read and creation has nothing that can fail.
    bool Create();
    // Frees the resources and any definitions still held.
    void Destroy();

private:
    std::vector<CTavElementDefinition> m_bitmapDefinitions;
    std::vector<CTavElementDefinition> m_textWriterDefinitions;
    std::vector<CTavElementDefinition> m_stringTableDefinitions;
    std::vector<CTavElementDefinition> m_numberTableDefinitions;
    CTavTextOut* m_errorOutput = nullptr;
};
