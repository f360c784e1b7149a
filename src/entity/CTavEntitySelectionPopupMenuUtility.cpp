#include "entity/CTavEntitySelectionPopupMenuUtility.h"

#include <cstdio>

namespace {

using CUtility = CTavEntitySelectionPopupMenuUtility;

// "  1...", " 33...", "1025...": a block's first number in three characters.
std::string DivisionTitle(int32_t number) {
    char text[24];
    std::snprintf(text, sizeof text, "%3d...", number);
    return text;
}

// Wraps a source iterator and notes the entity of every source it passes on.
class CRecordingIterator : public CUtility::ISourceIterator {
public:
    CRecordingIterator(CUtility::ISourceIterator& inner, std::vector<CTavEntityId>& entities)
        : m_inner(inner), m_entities(entities) {
        Note();
    }
    const CUtility::IMenuItemSource* Current() const override { return m_inner.Current(); }
    void Advance() override {
        m_inner.Advance();
        Note();
    }

private:
    void Note() {
        if (const CUtility::IMenuItemSource* source = m_inner.Current())
            m_entities.push_back(source->EntityId());
    }

    CUtility::ISourceIterator& m_inner;
    std::vector<CTavEntityId>& m_entities;
};

} // namespace

CUtility::CCreation CUtility::CTypeItemCreator::Create(const IMenuItemSource& item) {
    const int32_t type = item.EntityId().type;
    if (type == m_previous)
        return CCreation::None();
    m_previous = type;
    return CCreation::New(CTavMenuItem::Submenu(Print(item)));
}

CUtility::CCreation CUtility::CBankItemCreator::Create(const IMenuItemSource& item) {
    // The type is compared too: a type whose first bank pair equals the previous type's
    // last still gets a bank submenu of its own under its type's submenu.
    CTavEntityId id = item.EntityId();
    id.number = 0;
    if (id == m_previous)
        return CCreation::None();
    m_previous = id;
    return CCreation::New(CTavMenuItem::Submenu(Print(item)));
}

CUtility::CDivisionItemCreator::CDivisionItemCreator(int32_t size, int32_t offset)
    : m_size(size < 1 ? 1 : size), m_offset(offset) {}

CUtility::CCreation CUtility::CDivisionItemCreator::Create(const IMenuItemSource& item) {
    // Banks start at number 0, so the number is the index in the bank.
    const int32_t index = item.EntityId().number;
    if (index < 0 || index % m_size != 0)
        return CCreation::None();
    return CCreation::New(CTavMenuItem::Submenu(DivisionTitle(index + m_offset)));
}

int32_t CUtility::CBuckets::BucketOf(const IMenuItemSource& item) const {
    const int32_t bucket = Bucket(item);
    return bucket >= 0 && bucket < m_count ? bucket : 0;
}

CUtility::CCategoryItemCreator::CCategoryItemCreator(std::unique_ptr<IPrinter> printer, int32_t bucketCount)
    : CPrintingItemCreator(std::move(printer)), CBuckets(bucketCount), m_items(static_cast<size_t>(Count())) {}

CUtility::CCreation CUtility::CCategoryItemCreator::Create(const IMenuItemSource& item) {
    const int32_t bucket = BucketOf(item);
    CTavMenuItem*& made = m_items[static_cast<size_t>(bucket)];
    if (made)
        return CCreation::Again(made);
    auto submenu = CTavMenuItem::Submenu(Print(item));
    made = submenu.get();
    return CCreation::New(std::move(submenu), bucket);
}

CUtility::CCategorizedDivisionItemCreator::CCategorizedDivisionItemCreator(int32_t size, int32_t offset,
                                                                           int32_t bucketCount)
    : CBuckets(bucketCount), m_size(size < 1 ? 1 : size), m_offset(offset) {
    Restart();
}

void CUtility::CCategorizedDivisionItemCreator::Restart() {
    m_counts.assign(static_cast<size_t>(Count()), 0);
    m_items.assign(static_cast<size_t>(Count()), nullptr);
}

CUtility::CCreation CUtility::CCategorizedDivisionItemCreator::Create(const IMenuItemSource& item) {
    const size_t bucket = static_cast<size_t>(BucketOf(item));
    const int32_t index = m_counts[bucket]++;
    if (index % m_size != 0)
        return CCreation::Again(m_items[bucket]);
    auto submenu = CTavMenuItem::Submenu(DivisionTitle(index + m_offset));
    m_items[bucket] = submenu.get();
    return CCreation::New(std::move(submenu), static_cast<int32_t>(bucket));
}

CUtility::CCreation CUtility::CEntityItemCreator::Create(const IMenuItemSource& item) {
    return CCreation::New(std::make_unique<CTavMenuItem>(Print(item)));
}

CUtility::CCategorizedEntityItemCreator::CCategorizedEntityItemCreator(std::unique_ptr<IPrinter> printer,
                                                                       int32_t bucketCount)
    : CPrintingItemCreator(std::move(printer)), CBuckets(bucketCount) {}

CUtility::CCreation CUtility::CCategorizedEntityItemCreator::Create(const IMenuItemSource& item) {
    return CCreation::New(std::make_unique<CTavMenuItem>(Print(item)), BucketOf(item));
}

int32_t CUtility::CEntityMenu::LeafIndexOf(const CTavEntityId& id) const {
    if (!id.IsValid())
        return -1;
    for (size_t i = 0; i < entities.size(); ++i)
        if (entities[i] == id)
            return static_cast<int32_t>(i);
    return -1;
}

CTavEntityId CUtility::CEntityMenu::EntityAt(int32_t leafIndex) const {
    if (leafIndex < 0 || static_cast<size_t>(leafIndex) >= entities.size())
        return CTavEntityId::Invalid();
    return entities[static_cast<size_t>(leafIndex)];
}

CUtility::CEntityMenu CUtility::Build(ISourceIterator& sources, const CBuilder::CChain& chain) {
    CEntityMenu result;
    CRecordingIterator recording(sources, result.entities);
    result.menu = CBuilder::Build(recording, chain);
    // Sources past the builder's bound were noted but never listed.
    const size_t listed = static_cast<size_t>(CBuilder::kMaxItems);
    if (result.entities.size() > listed)
        result.entities.resize(listed);
    return result;
}
