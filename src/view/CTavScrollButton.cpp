#include "view/CTavScrollButton.h"

#include "view/CTavScrollControl.h"

bool CTavScrollButton::Configure(TavItems& items) {
    if (!CTavIncrementButton::Configure(items))
        return false;
    TavTakeScrollRangeRefs(*this, items);
    return true;
}

bool CTavScrollButton::Associate(CTavPanel* parent) {
    if (!CTavIncrementButton::Associate(parent))
        return ReportFailure("Unable to create scroll button. : %s\n");
    return true;
}

void CTavScrollButton::Step() {
    TavScrollWindow window;
    CTavBufferManager* buffers = BufferManager();
    if (buffers && TavScrollWindow::Read(*this, window))
        window.MoveTo(*this, *buffers, window.Limit(window.currentLower + Delta()));
}

void CTavScrollButton::OnRelease(const CTavMouseInfo& info) {
    CTavIncrementButton::OnRelease(info);
    SetValueIndex(CTavScrollControl::kOperated, 1);
}
