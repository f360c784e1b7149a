#pragma once
// The chop ID combo: a pop combo over the current chop point's number that offers only the
// chop points the device holds ("vs.sampleEdit.modify.chop.edit.chopPointCount").

#include "view/CTavPopControl.h"

namespace Brio {

class CTavChopIdCombo : public CTavPopComboControl {
public:
    std::string_view GetKind() const override { return "quasarChopIdCombo"; }
    bool Configure(TavItems& items) override;
    // Without chop points no menu opens; the control only redraws.
    void Pop() override;

protected:
    // The smaller of the combo's count and the chop point count.
    int32_t OfferedCount() const override;

private:
    int m_countRef = -1;
};

} // namespace Brio
