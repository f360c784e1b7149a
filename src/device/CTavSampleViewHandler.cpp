#include "device/CTavSampleViewHandler.h"

#include <algorithm>

#include "device/CTavBufferAccessor.h"
#include "device/TavSampleWire.h"
#include "model/CTavValue.h"

namespace Brio {

namespace {

bool Holds(const TavValueList& values, const CTavValue* value) {
    return value && std::find(values.begin(), values.end(), value) != values.end();
}

} // namespace

CTavSampleViewHandler::CTavSampleViewHandler(CTavBufferAccessor& accessor)
    : m_accessor(accessor), m_view(accessor.SampleEditor().Value("vs.sampleEdit.view.view")),
      m_modifyView(accessor.SampleEditor().Value("vs.sampleEdit.view.modifyView")),
      m_sampleName(accessor.SampleEditor().Value("com.utility.sample.sampleCommon.sampleName")),
      m_sampleSelect(accessor.SampleEditor().Value("com.utility.sampleEdit.select.sampleSelect")),
      m_pcModeResult(accessor.Bound().pcModeResult) {}

bool CTavSampleViewHandler::IsOpen() const {
    return m_view && m_view->GetRaw() != 0;
}

bool CTavSampleViewHandler::AfterWrite(const TavValueList& values) {
    bool acted = false;
    if (Holds(values, m_view)) {
        OnView(m_view->GetRaw());
        acted = true;
    }
    if (Holds(values, m_modifyView)) {
        OnModifyView(m_modifyView->GetRaw());
        acted = true;
    }
    if (Holds(values, m_sampleName)) {
        OnSampleName();
        acted = true;
    }
    return acted;
}

bool CTavSampleViewHandler::AfterReceive(const TavValueList& values) {
    bool acted = false;
    if (Holds(values, m_sampleSelect)) {
        OnSampleSelect();
        acted = true;
    }
    if (Holds(values, m_pcModeResult)) {
        m_accessor.OnPcModeResult(m_pcModeResult->GetRaw());
        acted = true;
    }
    return acted;
}

void CTavSampleViewHandler::OnView(int32_t view) {
    if (view == 0) {
        m_accessor.SampleEditor().CloseView();
        return;
    }
    m_accessor.OnSampleEditView(view);
    if (!m_accessor.IsOffline())
        m_accessor.SampleEditor().RefreshSampleView(true);
}

void CTavSampleViewHandler::OnModifyView(int32_t page) {
    CTavSampleEditor& editor = m_accessor.SampleEditor();
    auto reset = [&](const char* path, int32_t raw) { m_accessor.Notify(editor.Value(path), raw); };
    // The parameters reset even while the window is closed; only the device waits for it.
    const bool open = IsOpen() && !m_accessor.IsOffline();
    switch (page) {
    case TavModifyPage::None:
        if (open)
            editor.RefreshSampleView(true);
        editor.MarkSampleInformation();
        return;
    case TavModifyPage::Truncate:
        reset("vs.sampleEdit.modify.truncate.overwrite", 0);
        break;
    case TavModifyPage::Emphasis:
        reset("vs.sampleEdit.modify.emphasis.overwrite", 0);
        return;
    case TavModifyPage::Normalize:
        reset("vs.sampleEdit.modify.normalize.overwrite", 0);
        return;
    case TavModifyPage::Amp:
        reset("vs.sampleEdit.modify.amp.overwrite", 0);
        break;
    case TavModifyPage::TimeStretch:
        reset("vs.sampleEdit.modify.timeStretch.rate", kUnitStretchRate);
        break;
    case TavModifyPage::Chop:
        if (open && !editor.ReadChopPoints())
            return;
        break;
    default:
        break;
    }
    if (open)
        editor.RefreshSampleView(true);
}

void CTavSampleViewHandler::OnSampleName() {
    CTavSampleEditor& editor = m_accessor.SampleEditor();
    const CTavValue* group = editor.Value("vs.sampleEdit.view.sampleGroupID");
    const CTavValue* number = editor.Value("vs.sampleEdit.view.sampleNumberL");
    if (group && number && editor.RenameSample(group->GetRaw(), number->GetRaw(), m_sampleName->GetText()))
        editor.MarkSampleInformation();
}

// The device chose a sample itself: group (2 or 3) and number in two bytes of 7 bits.
void CTavSampleViewHandler::OnSampleSelect() {
    if (m_sampleSelect->Size() != 3)
        return;
    const uint8_t* bytes = m_sampleSelect->Bytes();
    if (!bytes)
        return;
    const int32_t group = bytes[0];
    const int32_t number = static_cast<int32_t>(TavGetSevenBits(bytes + 1, 2));
    CTavSampleEditor& editor = m_accessor.SampleEditor();
    if (CTavSampleEditor::AreaOf(group) < 0)
        return;
    const int32_t kind = editor.SampleKind(group, number);
    if (kind == TavSampleKind::None)
        return;
    m_accessor.Notify(editor.Value("vs.sampleEdit.view.sampleNumberL"), number);
    m_accessor.Notify(editor.Value("vs.sampleEdit.view.sampleGroupID"), group);
    if (kind == TavSampleKind::StereoLeft)
        m_accessor.Notify(editor.Value("vs.sampleEdit.view.sampleNumberR"), number + 1);
}

} // namespace Brio
