#pragma once
// Buffer handlers: every write through the buffer manager is offered to a chain of
// handlers before it happens (a handler may take it over) and after it happened (a handler
// may keep related values consistent). All hooks run on the GUI thread.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CTavValue;

using TavIntegerWrites = std::vector<std::pair<CTavValue*, int32_t>>;
using TavTextWrites = std::vector<std::pair<CTavValue*, std::string>>;
using TavListWrites = std::vector<std::pair<CTavValue*, std::vector<int32_t>>>;
using TavValueList = std::vector<CTavValue*>;

class ITavBufferHandler {
public:
    virtual ~ITavBufferHandler() = default;
    // Before-hooks answer true when the handler took the write over.
    virtual bool BeforeWriteLists(const TavListWrites&) { return false; }
    virtual bool BeforeWriteTexts(const TavTextWrites&) { return false; }
    virtual bool BeforeWriteIntegers(const TavIntegerWrites&) { return false; }
    // After-hooks answer true when the handler did something.
    virtual bool AfterWrite(const TavValueList&) { return false; }
    virtual bool AfterLoad(const TavValueList&) { return false; }
    virtual bool AfterReceive(const TavValueList&) { return false; }
};

// An ordered chain of owned handlers. Each hook calls every handler in order, never
// stopping early, and answers true when any of them did.
class CTavBufferHandlers : public ITavBufferHandler {
public:
    void Add(std::unique_ptr<ITavBufferHandler> handler) { m_handlers.push_back(std::move(handler)); }
    size_t Count() const { return m_handlers.size(); }
    // The handler at a place in the chain; null past the end.
    ITavBufferHandler* At(size_t index) const { return index < m_handlers.size() ? m_handlers[index].get() : nullptr; }
    void Clear() { m_handlers.clear(); }

    bool BeforeWriteLists(const TavListWrites& writes) override;
    bool BeforeWriteTexts(const TavTextWrites& writes) override;
    bool BeforeWriteIntegers(const TavIntegerWrites& writes) override;
    bool AfterWrite(const TavValueList& values) override;
    bool AfterLoad(const TavValueList& values) override;
    bool AfterReceive(const TavValueList& values) override;

private:
    template <typename List>
    bool Each(bool (ITavBufferHandler::*hook)(const List&), const List& list) {
        bool any = false;
        for (auto& handler : m_handlers)
            any = ((*handler).*hook)(list) || any;
        return any;
    }

    std::vector<std::unique_ptr<ITavBufferHandler>> m_handlers;
};
