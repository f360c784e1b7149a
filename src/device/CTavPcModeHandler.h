#pragma once
// Keeps the device in PC mode while the sample edit window is open: opening the window
// ("vs.sampleEdit.view.view" written non-zero) asks for PC mode, and the device's report
// that it left PC mode ("com.utility.command.pcModeResult" received as 0) asks again.

#include "model/ITavBufferHandler.h"

class CTavValue;

namespace Brio {

class CTavBufferAccessor;

class CTavPcModeHandler : public ITavBufferHandler {
public:
    CTavPcModeHandler(CTavBufferAccessor& accessor, const CTavValue* view, const CTavValue* result)
        : m_accessor(accessor), m_view(view), m_result(result) {}

    bool AfterWrite(const TavValueList& values) override;
    bool AfterLoad(const TavValueList& values) override { return AfterWrite(values); }
    bool AfterReceive(const TavValueList& values) override;

private:
    CTavBufferAccessor& m_accessor;
    const CTavValue* m_view;
    const CTavValue* m_result;
};

} // namespace Brio
