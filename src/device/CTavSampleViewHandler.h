#pragma once
// Follows the sample edit window's state: opening the window ("vs.sampleEdit.view.view")
// puts the device in PC mode and refreshes the view, closing it lets the device go; a
// modify page ("vs.sampleEdit.view.modifyView") resets its parameters and refreshes what it
// shows; a sample name the user edits renames the catalog's entry; a sample chosen on the
// device becomes the shown one; and the device leaving PC mode while the window is open
// is reported and undone.

#include "model/ITavBufferHandler.h"

class CTavValue;

namespace Brio {

class CTavBufferAccessor;

// The modify pages of "vs.sampleEdit.view.modifyView".
namespace TavModifyPage {
inline constexpr int32_t None = 0;
inline constexpr int32_t Truncate = 1;
inline constexpr int32_t Emphasis = 2;
inline constexpr int32_t Normalize = 3;
inline constexpr int32_t Amp = 4;
inline constexpr int32_t TimeStretch = 5;
inline constexpr int32_t Chop = 6;
} // namespace TavModifyPage

class CTavSampleViewHandler : public ITavBufferHandler {
public:
    // The rate a time stretch page opens with: the length kept.
    static constexpr int32_t kUnitStretchRate = 100000;

    explicit CTavSampleViewHandler(CTavBufferAccessor& accessor);

    bool AfterWrite(const TavValueList& values) override;
    bool AfterReceive(const TavValueList& values) override;

private:
    void OnView(int32_t view);
    void OnModifyView(int32_t page);
    void OnSampleName();
    void OnSampleSelect();
    bool IsOpen() const;

    CTavBufferAccessor& m_accessor;
    CTavValue* m_view;
    CTavValue* m_modifyView;
    CTavValue* m_sampleName;
    CTavValue* m_sampleSelect;
    const CTavValue* m_pcModeResult;
};

} // namespace Brio
