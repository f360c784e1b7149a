#pragma once
// The resource manager: bitmaps, text writers, string tables and number tables declared
// by the editor script, looked up by name.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/CTavElementDefinition.h"
#include "script/CTavTable.h"

class CTavTextOut;

class CTavResourceManager {
public:
    void SetErrorOutput(CTavTextOut* output) { m_errorOutput = output; }
    CTavTextOut* ErrorOutput() const { return m_errorOutput; }

    std::vector<CTavElementDefinition>& BitmapDefinitions() { return m_bitmapDefinitions; }
    std::vector<CTavElementDefinition>& TextWriterDefinitions() { return m_textWriterDefinitions; }
    std::vector<CTavElementDefinition>& StringTableDefinitions() { return m_stringTableDefinitions; }
    std::vector<CTavElementDefinition>& NumberTableDefinitions() { return m_numberTableDefinitions; }

    // Builds the string and number tables from their definitions and frees those
    // definitions; false after the first failure. Bitmaps and text writers are drawn by
    // the platform layer and are not built yet: their definitions are kept as read.
    bool Create();
    // Frees the resources and any definitions still held.
    void Destroy();

    const CTavStringTable* FindStringTable(std::string_view name) const;
    const CTavIntegerTable* FindNumberTable(std::string_view name) const;

private:
    template <typename Table>
    bool CreateTables(std::vector<CTavElementDefinition>& definitions,
                      std::map<std::string, std::unique_ptr<Table>, std::less<>>& tables, const char* convertMessage,
                      const char* unknownPrefix, const char* duplicateMessage);

    std::vector<CTavElementDefinition> m_bitmapDefinitions;
    std::vector<CTavElementDefinition> m_textWriterDefinitions;
    std::vector<CTavElementDefinition> m_stringTableDefinitions;
    std::vector<CTavElementDefinition> m_numberTableDefinitions;
    std::map<std::string, std::unique_ptr<CTavStringTable>, std::less<>> m_stringTables;
    std::map<std::string, std::unique_ptr<CTavIntegerTable>, std::less<>> m_numberTables;
    CTavTextOut* m_errorOutput = nullptr;
};
