#include "script/CTavResourceManager.h"

#include "app/CTavTextOut.h"

template <typename Table>
bool CTavResourceManager::CreateTables(std::vector<CTavElementDefinition>& definitions,
                                       std::map<std::string, std::unique_ptr<Table>, std::less<>>& tables,
                                       const char* convertMessage, const char* unknownPrefix,
                                       const char* duplicateMessage) {
    CTavTextOut* errors = m_errorOutput;
    for (const CTavElementDefinition& definition : definitions) {
        auto table = std::make_unique<Table>();
        TavItems items = definition.items;
        if (!table->Convert(items, errors)) {
            if (errors)
                errors->Printf(convertMessage, definition.type.c_str());
            return false;
        }
        if (!items.empty()) {
            if (errors) {
                errors->Printf(unknownPrefix, table->Name().c_str());
                for (const auto& item : items)
                    errors->Printf("%s, ", item.first.c_str());
                errors->Write("\n");
            }
            return false;
        }
        if (tables.count(table->Name())) {
            if (errors)
                errors->Printf(duplicateMessage, table->Name().c_str());
            return false;
        }
        std::string name = table->Name();
        tables.emplace(std::move(name), std::move(table));
    }
    return true;
}

bool CTavResourceManager::Create() {
    const bool created =
        CreateTables(m_stringTableDefinitions, m_stringTables,
                     "Unable to convert element definitions %s to string table.\n", "String Table %s unknown tags. : ",
                     "String table %s is duplicated.\n") &&
        CreateTables(m_numberTableDefinitions, m_numberTables,
                     "Unable to convert element definitions %s to integer table.\n",
                     "Integer Table %s unknown tags. : ", "Number table %s is duplicated.\n");
    m_stringTableDefinitions.clear();
    m_numberTableDefinitions.clear();
    return created;
}

void CTavResourceManager::Destroy() {
    m_bitmapDefinitions.clear();
    m_textWriterDefinitions.clear();
    m_stringTableDefinitions.clear();
    m_numberTableDefinitions.clear();
    m_stringTables.clear();
    m_numberTables.clear();
}

const CTavStringTable* CTavResourceManager::FindStringTable(std::string_view name) const {
    auto it = m_stringTables.find(name);
    return it != m_stringTables.end() ? it->second.get() : nullptr;
}

const CTavIntegerTable* CTavResourceManager::FindNumberTable(std::string_view name) const {
    auto it = m_numberTables.find(name);
    return it != m_numberTables.end() ? it->second.get() : nullptr;
}
