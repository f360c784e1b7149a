#pragma once
// The fuzz targets that need the editor's model build it from the shipped editor script,
// with the error and buffer outputs kept in memory. A script that does not build ends the
// run at once: every input would be wasted on it. The model is built once per run;
// FuzzSnapshot puts back what an input changed, so every input meets the same editor and
// a crash reproduces from its input alone.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "entity/CTavEntityManager.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "model/ITavBufferListener.h"

#ifndef VIREO_FUZZ_SCRIPT
#error "VIREO_FUZZ_SCRIPT must name the editor script"
#endif

// Reads the shipped script into system and creates its managers without views.
inline bool FuzzBuildShippedSystem(CTavSystem& system) {
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
    system.AttachErrorOutputToManagers();
    std::ifstream in(VIREO_FUZZ_SCRIPT, std::ios::binary);
    return in && system.ReadScript(in) && system.CreateManagers(CTavSystem::Views::Skip);
}

[[noreturn]] inline void FuzzCannotBuild(const CTavSystem& system) {
    std::fprintf(stderr, "Cannot build the editor from %s:\n%s\n", VIREO_FUZZ_SCRIPT,
                 system.ErrorText().c_str());
    std::abort();
}

// The state an input may change: the bytes of every leaf of the root structs ("qv" and
// the others) and of the MIDI structs, the roots' modified flags, and the entity catalog.
// Taken once after the build; Restore puts it back after an input that may have changed
// it, so the next one meets the editor as built. The bytes are copied into buffers made
// once, and only leaves that differ are written back, so restoring allocates nothing; the
// catalog, which cannot be copied, is built again by the given function only when an input
// changed it (its generation moved). The pending changes and the error output are emptied
// too. Comparing every leaf costs as much as a short input; a target whose inputs write a
// few leaves has the snapshot listen (TrackChanges) and put back only the leaves of the
// buffers published as changed. Bytes no value covers are not published when written;
// nothing but the transmission of their leaf reads them.
class FuzzSnapshot : private ITavBufferListener {
public:
    void Take(CTavSystem& system, CTavEntityManager* catalog = nullptr,
              std::function<void(CTavEntityManager&)> buildCatalog = {}) {
        m_system = &system;
        m_leaves.clear();
        m_roots.clear();
        CTavBufferManager& buffers = system.BufferManager();
        for (const TavStructList* list : {&buffers.RootStructs(), &buffers.MidiStructs()})
            for (const auto& structure : *list) {
                structure->ForEachLeaf([&](CTavLeafStruct& leaf) {
                    if (const std::vector<uint8_t>* bytes = leaf.Bytes())
                        m_leaves.push_back({&leaf, *bytes});
                });
                if (auto* root = dynamic_cast<CTavRootStruct*>(structure.get()))
                    m_roots.push_back({root, root->IsModified()});
            }
        m_catalog = catalog;
        m_buildCatalog = std::move(buildCatalog);
        m_generation = catalog ? catalog->Generation() : 0;
        m_index.clear();
        for (size_t i = 0; i < m_leaves.size(); ++i)
            m_index.emplace(m_leaves[i].first, i);
        m_touched.assign(m_leaves.size(), false);
        m_touchedList.clear();
        m_touchedList.reserve(m_leaves.size());
    }

    // From now on Restore puts back only the leaves published as changed.
    void TrackChanges() {
        if (m_system && !m_tracking) {
            m_system->BufferManager().AddListener(*this);
            m_tracking = true;
        }
    }

    void Restore() {
        if (!m_system)
            return;
        if (m_tracking) {
            for (size_t i : m_touchedList) {
                RestoreLeaf(m_leaves[i]);
                m_touched[i] = false;
            }
            m_touchedList.clear();
        } else {
            for (auto& entry : m_leaves)
                RestoreLeaf(entry);
        }
        for (const auto& [root, modified] : m_roots)
            root->SetModified(modified);
        if (m_catalog && m_catalog->Generation() != m_generation && m_buildCatalog) {
            m_catalog->Clear();
            m_buildCatalog(*m_catalog);
            m_generation = m_catalog->Generation();
        }
        m_system->BufferManager().ClearPending();
        if (auto* errors = dynamic_cast<CTavTextOutStringStream*>(m_system->ErrorOutput()))
            errors->Clear();
    }

private:
    using Leaf = std::pair<CTavLeafStruct*, std::vector<uint8_t>>;

    static void RestoreLeaf(Leaf& entry) {
        std::vector<uint8_t>& bytes = *entry.first->Bytes();
        const std::vector<uint8_t>& saved = entry.second;
        if (bytes.size() == saved.size() && !saved.empty() &&
            std::memcmp(bytes.data(), saved.data(), saved.size()) != 0)
            std::memcpy(bytes.data(), saved.data(), saved.size());
    }

    void Touch(const CTavStruct* leaf) {
        const auto found = m_index.find(leaf);
        if (found != m_index.end() && !m_touched[found->second]) {
            m_touched[found->second] = true;
            m_touchedList.push_back(found->second);
        }
    }

    void BuffersChanged(const std::vector<CTavBuffer*>& changed, TavChangeOrigin) override {
        for (CTavBuffer* buffer : changed) {
            if (buffer->IsValue())
                Touch(buffer->Parent());
            else if (auto* structure = dynamic_cast<CTavStruct*>(buffer))
                structure->ForEachLeaf([this](CTavLeafStruct& leaf) { Touch(&leaf); });
        }
    }

    CTavSystem* m_system = nullptr;
    std::vector<Leaf> m_leaves;
    std::unordered_map<const CTavStruct*, size_t> m_index; // leaf to its entry
    std::vector<bool> m_touched;
    std::vector<size_t> m_touchedList;
    bool m_tracking = false;
    std::vector<std::pair<CTavRootStruct*, bool>> m_roots;
    CTavEntityManager* m_catalog = nullptr;
    std::function<void(CTavEntityManager&)> m_buildCatalog;
    uint32_t m_generation = 0;
};
