#pragma once
// Tip bar operators: what a drag control shows in the tip bar while it has the focus. The
// single tip bar operator shows the main value: a string table entry, the integer plus an
// offset, or the text of a string value.

#include <cstdint>

#include "script/CTavElementDefinition.h"

class CTavDragControl;
class CTavStringTable;

class CTavTipBarOperator {
public:
    enum ConfigureResult : int { kConfigureFailed = 0, kTipBarNotWanted = 1, kTipBarWanted = 2 };

    explicit CTavTipBarOperator(CTavDragControl& control) : m_control(control) {}
    virtual ~CTavTipBarOperator() = default;
    CTavTipBarOperator(const CTavTipBarOperator&) = delete;
    CTavTipBarOperator& operator=(const CTavTipBarOperator&) = delete;

    // Takes the attributes it understands out of items; a ConfigureResult.
    virtual int Configure(TavItems& items) = 0;
    virtual bool Associate() = 0;
    // Gaining the focus places and shows the tip bar; losing it hides the tip bar.
    virtual void SetFocus(bool focus) = 0;
    // Shows the control's current value (only while the control has the focus).
    virtual void Refresh() = 0;
    // What an integer is shown as: the number added to it, and the table of its texts.
    virtual int32_t OffsetValue() const { return 0; }
    virtual const CTavStringTable* StringTable() const { return nullptr; }

    CTavDragControl& Control() const { return m_control; }

protected:
    CTavDragControl& m_control;
};

class CTavSingleTipBarOperator : public CTavTipBarOperator {
public:
    using CTavTipBarOperator::CTavTipBarOperator;

    // "useTipBar" (0 or 1, default 1), "offsetValue" (added to integers shown as numbers)
    // and "stringTableRef" (the texts integers are shown as).
    int Configure(TavItems& items) override;
    // With a string table the main value must be an integer.
    bool Associate() override;
    void SetFocus(bool focus) override;
    void Refresh() override;

    int32_t OffsetValue() const override { return m_offsetValue; }
    const CTavStringTable* StringTable() const override { return m_stringTable; }

protected:
    int32_t m_offsetValue = 0;
    const CTavStringTable* m_stringTable = nullptr;
};
