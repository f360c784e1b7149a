#pragma once
// Pop-up edits of frame numbers in the sample edit window: a marker ("quasarLoopFrameEdit"),
// the current chop point ("quasarEditChopFrame"), and an amp envelope point's address or
// rate ("quasarBreakPointAddressEdit", "quasarBreakPointRateEdit"). Each shows its value
// as a decimal and takes one typed integer back; any other text keeps the value.

#include <cstdint>

#include "device/TavSampleControlSupport.h"
#include "view/CTavPopEditControl.h"

namespace Brio {

// The edits' common part: the value their id selects becomes the main value when the
// script gives no "valueRef"; the frame shown and typed is FrameRef's.
class CTavSampleFrameEdit : public CTavDeviceEdit<CTavPopEditControl> {
public:
    bool Associate(CTavPanel* parent) override;
    std::string GetText() const override;
    void SetText(const std::string& text) override;

protected:
    // Takes the id item (tag) out and checks it lies in first ... last; the message has
    // the control's path and the text.
    bool TakeId(TavItems& items, const char* tag, int32_t first, int32_t last, const char* message);
    // The typed frame, limited to the main value's range (and further where the kind says).
    virtual void Apply(int64_t frame) = 0;
    virtual int64_t Maximum() const;
    virtual int FrameRef() const { return 0; }
    int32_t Id() const { return m_id; }
    void SetMainPath(const std::string& path);

private:
    int32_t m_id = -1;
};

class CTavLoopFrameEdit : public CTavSampleFrameEdit {
public:
    std::string_view GetKind() const override { return "quasarLoopFrameEdit"; }
    // "frameId" (0 start, 1 loop, 2 end; required).
    bool Configure(TavItems& items) override;

protected:
    // Through the sample editor's marker operation, which keeps the markers in order.
    void Apply(int64_t frame) override;
};

class CTavEditChopFrame : public CTavSampleFrameEdit {
public:
    std::string_view GetKind() const override { return "quasarEditChopFrame"; }
    bool Configure(TavItems& items) override;

protected:
    // Only for a chop point that exists; the device is sent the frame.
    void Apply(int64_t frame) override;
    // The current chop point's frame, whatever the main value is.
    int FrameRef() const override { return m_frameRef; }

private:
    int m_frameRef = -1;
    int m_chopIdRef = -1;
    int m_countRef = -1;
};

// "breakPointId" 0 ... 3 selects "vs.sampleEdit.modify.amp.envAddress<n>" or "envRate<n>".
class CTavBreakPointEdit : public CTavSampleFrameEdit {
public:
    static constexpr int32_t kPoints = 4;
    bool Configure(TavItems& items) override;

protected:
    explicit CTavBreakPointEdit(const char* field) : m_field(field) {}
    void Apply(int64_t frame) override;

private:
    const char* m_field;
};

class CTavBreakPointAddressEdit : public CTavBreakPointEdit {
public:
    CTavBreakPointAddressEdit() : CTavBreakPointEdit("envAddress") {}
    std::string_view GetKind() const override { return "quasarBreakPointAddressEdit"; }
    bool Configure(TavItems& items) override;

protected:
    // An address lies inside the sample as well.
    int64_t Maximum() const override;

private:
    int m_endRef = -1;
};

class CTavBreakPointRateEdit : public CTavBreakPointEdit {
public:
    CTavBreakPointRateEdit() : CTavBreakPointEdit("envRate") {}
    std::string_view GetKind() const override { return "quasarBreakPointRateEdit"; }
};

} // namespace Brio
