#pragma once
// One parameter of the device: a field of one to five bytes, or a text, at a fixed
// address inside a leaf struct. Its bytes live in the leaf's byte array; its spec is
// shared and interned. Values are used on the GUI thread only.

#include <cstdint>
#include <string>
#include <vector>

#include "model/CTavBuffer.h"
#include "model/CTavValueSpec.h"
#include "model/TavValueTypes.h"

class CTavValue : public CTavBuffer {
public:
    explicit CTavValue(const CTavValueSpec* spec = nullptr) : m_spec(spec) {}

    const std::string& Name() const override { return m_spec->name; }
    TavRange Range() const override { return m_spec->Range(); }
    CTavStruct* Parent() const override { return m_parent; }
    bool IsValue() const override { return true; }

    const CTavValueSpec& Spec() const { return *m_spec; }
    void SetSpec(const CTavValueSpec* spec) { m_spec = spec; }
    virtual int Kind() const { return TavValueKindOf(m_spec->type); }
    int32_t Size() const { return m_spec->Size(); }

    // Binds the value to its parent's bytes; fails, writing "Value address range exceeds
    // parent struct's one. : <path>", when the value ends beyond the parent.
    virtual bool Attach(CTavStruct* parent, CTavTextOut* errors);

    // Integer access. No range check: callers keep raw values within the spec's range.
    virtual void SetRaw(int32_t raw);
    virtual int32_t GetRaw() const;
    virtual void SetPosition(int32_t position) { SetRaw(m_spec->RawOfPosition(position)); }
    virtual int32_t GetPosition() const { return m_spec->PositionOfRaw(GetRaw()); }

    // Text access: the bytes of the value. SetText copies the text from the first byte,
    // never more than the value's size; GetText gives exactly the value's size.
    virtual void SetText(const std::string& text);
    virtual std::string GetText() const;

    // Lists are only meaningful for derived values; the base ignores them.
    virtual void SetList(const std::vector<int32_t>& list);
    virtual std::vector<int32_t> GetList() const;

    // Sends the leaf that holds the value as one data set through the root struct's MIDI
    // output; false when the root has none.
    virtual bool Transmit() const;
    // Transmit within one pass of the buffer manager: a value bound to a leaf sends the
    // leaf only when the pass has not sent it yet; values that keep their own state (and
    // have no leaf memory) send themselves.
    bool TransmitOnce(uint32_t pass) const;
    // Integer kinds: raw = default. Texts: the default text, blank-padded to the size.
    virtual void ResetToDefault();

    uint8_t* Bytes() { return m_bytes; }
    const uint8_t* Bytes() const { return m_bytes; }

private:
    CTavStruct* m_parent = nullptr;
    uint8_t* m_bytes = nullptr;
    const CTavValueSpec* m_spec;
};
