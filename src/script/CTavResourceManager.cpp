#include "script/CTavResourceManager.h"

#include "app/CTavTextOut.h"
#include "script/CTavHeadlessResources.h"

CTavResourceManager::CTavResourceManager() = default;

CTavResourceManager::~CTavResourceManager() = default;

void CTavResourceManager::SetResourceFactory(std::unique_ptr<ITavResourceFactory> factory) {
    m_factory = std::move(factory);
}

ITavResourceFactory& CTavResourceManager::ResourceFactory() {
    if (!m_factory)
        m_factory = std::make_unique<CTavHeadlessResourceFactory>();
    return *m_factory;
}

template <typename Resource, typename Make>
bool CTavResourceManager::CreateResources(const std::vector<CTavElementDefinition>& definitions,
                                          ResourceMap<Resource>& resources, Make make,
                                          const char* convertMessage, const char* unknownPrefix,
                                          const char* duplicateMessage) {
    CTavTextOut* errors = m_errorOutput;
    for (const CTavElementDefinition& definition : definitions) {
        std::unique_ptr<Resource> resource = make();
        TavItems items = definition.items;
        if (!resource || !resource->Convert(items, errors)) {
            if (errors)
                errors->Printf(convertMessage, definition.type.c_str());
            return false;
        }
        if (!items.empty()) {
            if (errors) {
                errors->Printf(unknownPrefix, resource->Name().c_str());
                for (const auto& item : items)
                    errors->Printf("%s, ", item.first.c_str());
                errors->Write("\n");
            }
            return false;
        }
        if (resources.count(resource->Name())) {
            if (errors)
                errors->Printf(duplicateMessage, resource->Name().c_str());
            return false;
        }
        std::string name = resource->Name();
        resources.emplace(std::move(name), std::move(resource));
    }
    return true;
}

bool CTavResourceManager::Create() {
    ITavResourceFactory& factory = ResourceFactory();
    auto makeBitmap = [&factory, this] {
        std::unique_ptr<CTavStateBitmap> bitmap = factory.CreateBitmap();
        if (bitmap) {
            bitmap->SetImageFolder(m_imageFolder);
            bitmap->SetErrorOutput(m_errorOutput);
        }
        return bitmap;
    };
    auto makeTextWriter = [&factory] { return factory.CreateTextWriter(); };
    auto makeStringTable = [] { return std::make_unique<CTavStringTable>(); };
    auto makeNumberTable = [] { return std::make_unique<CTavIntegerTable>(); };
    const bool created =
        CreateResources(m_bitmapDefinitions, m_bitmaps, makeBitmap,
                        "Unable to convert bitmap definition %s to bitmap.\n",
                        "Bitmap %s unknown tags. : ", "Bitmap %s is duplicated.\n") &&
        CreateResources(m_textWriterDefinitions, m_textWriters, makeTextWriter,
                        "Unable to convert element definitions %s to text writer.\n",
                        "Text Writer %s unknown tags. : ", "Text writer %s is duplicated.\n") &&
        CreateResources(m_stringTableDefinitions, m_stringTables, makeStringTable,
                        "Unable to convert element definitions %s to string table.\n",
                        "String Table %s unknown tags. : ", "String table %s is duplicated.\n") &&
        CreateResources(m_numberTableDefinitions, m_numberTables, makeNumberTable,
                        "Unable to convert element definitions %s to integer table.\n",
                        "Integer Table %s unknown tags. : ", "Number table %s is duplicated.\n");
    FreeDefinitions();
    return created;
}

void CTavResourceManager::FreeDefinitions() {
    m_bitmapDefinitions.clear();
    m_textWriterDefinitions.clear();
    m_stringTableDefinitions.clear();
    m_numberTableDefinitions.clear();
}

void CTavResourceManager::Destroy() {
    FreeDefinitions();
    m_bitmaps.clear();
    m_textWriters.clear();
    m_stringTables.clear();
    m_numberTables.clear();
}

CTavStateBitmap* CTavResourceManager::FindBitmap(std::string_view name) const {
    auto it = m_bitmaps.find(name);
    return it != m_bitmaps.end() ? it->second.get() : nullptr;
}

CTavTextWriter* CTavResourceManager::FindTextWriter(std::string_view name) const {
    auto it = m_textWriters.find(name);
    return it != m_textWriters.end() ? it->second.get() : nullptr;
}

const CTavStringTable* CTavResourceManager::FindStringTable(std::string_view name) const {
    auto it = m_stringTables.find(name);
    return it != m_stringTables.end() ? it->second.get() : nullptr;
}

const CTavIntegerTable* CTavResourceManager::FindNumberTable(std::string_view name) const {
    auto it = m_numberTables.find(name);
    return it != m_numberTables.end() ? it->second.get() : nullptr;
}
