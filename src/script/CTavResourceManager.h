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
#include "script/ITavResourceFactory.h"

class CTavTextOut;

class CTavResourceManager {
public:
    CTavResourceManager();
    ~CTavResourceManager();
    CTavResourceManager(const CTavResourceManager&) = delete;
    CTavResourceManager& operator=(const CTavResourceManager&) = delete;

    void SetErrorOutput(CTavTextOut* output) { m_errorOutput = output; }
    CTavTextOut* ErrorOutput() const { return m_errorOutput; }

    // The factory that makes bitmaps, text writers and graph drawers; without one the
    // headless factory is used. Install it before Create.
    void SetResourceFactory(std::unique_ptr<ITavResourceFactory> factory);
    ITavResourceFactory& ResourceFactory();
    // The folder bitmaps load "<name>.bmp" from, ending with '/'. Set it before Create.
    void SetImageFolder(std::string folder) { m_imageFolder = std::move(folder); }
    const std::string& ImageFolder() const { return m_imageFolder; }

    std::vector<CTavElementDefinition>& BitmapDefinitions() { return m_bitmapDefinitions; }
    std::vector<CTavElementDefinition>& TextWriterDefinitions() { return m_textWriterDefinitions; }
    std::vector<CTavElementDefinition>& StringTableDefinitions() { return m_stringTableDefinitions; }
    std::vector<CTavElementDefinition>& NumberTableDefinitions() { return m_numberTableDefinitions; }

    // Builds bitmaps, text writers, string tables and number tables, in this order, from
    // their definitions; false after the first failure, with its message. The definitions
    // are freed either way.
    bool Create();
    // Frees the resources and any definitions still held.
    void Destroy();

    // Resources stay owned by the manager; callers acquire and draw through the pointers.
    CTavStateBitmap* FindBitmap(std::string_view name) const;
    CTavTextWriter* FindTextWriter(std::string_view name) const;
    const CTavStringTable* FindStringTable(std::string_view name) const;
    const CTavIntegerTable* FindNumberTable(std::string_view name) const;

private:
    template <typename Resource>
    using ResourceMap = std::map<std::string, std::unique_ptr<Resource>, std::less<>>;

    template <typename Resource, typename Make>
    bool CreateResources(const std::vector<CTavElementDefinition>& definitions,
                         ResourceMap<Resource>& resources, Make make, const char* convertMessage,
                         const char* unknownPrefix, const char* duplicateMessage);
    void FreeDefinitions();

    std::vector<CTavElementDefinition> m_bitmapDefinitions;
    ResourceMap<CTavStateBitmap> m_bitmaps;
    std::vector<CTavElementDefinition> m_textWriterDefinitions;
    ResourceMap<CTavTextWriter> m_textWriters;
    std::vector<CTavElementDefinition> m_stringTableDefinitions;
    ResourceMap<CTavStringTable> m_stringTables;
    std::vector<CTavElementDefinition> m_numberTableDefinitions;
    ResourceMap<CTavIntegerTable> m_numberTables;
    std::unique_ptr<ITavResourceFactory> m_factory;
    std::string m_imageFolder;
    CTavTextOut* m_errorOutput = nullptr;
};
