#include "view/CTavPanel.h"

#include <cctype>
#include <cstdio>

#include "app/CTavTextOut.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavControl.h"
#include "view/CTavViewManager.h"

namespace {

bool ParseLong(const std::string& text, int32_t& out) {
    long value = 0;
    if (!TavScanLong(text, value))
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

// The path of the panel and the component after its own name; false when the first
// component is not the name.
bool SplitOwnName(std::string_view path, const std::string& name, std::string_view& rest) {
    const size_t dot = path.find('.');
    if (path.substr(0, dot) != name)
        return false;
    rest = dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
    return true;
}

} // namespace

// --- CTavPanel --------------------------------------------------------------------------

CTavPanel::CTavPanel() = default;

// Views are torn down without touching resources: the resource manager may be gone
// already, and it frees every image itself.
CTavPanel::~CTavPanel() = default;

bool CTavPanel::Configure(TavItems& items) {
    if (!CTavView::Configure(items))
        return false;
    auto fail = [this](const char* format, const std::string& text) { return ReportFailure(format, text); };
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "bitmapRef") {
            CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr;
            m_bitmap = resources ? resources->FindBitmap(it->second) : nullptr;
            if (!m_bitmap)
                return fail("Unable to find bitmap for panel. : %s : %s\n", it->second);
        } else if (it->first == "openCondition") {
            int32_t result = 0;
            if (!m_openCondition.Parse(it->second) ||
                !m_openCondition.Evaluate(*this, TavExpressionMode::kRegistering, result))
                return fail("Unable to interpret open condition for panel. : %s : %s\n", it->second);
            m_hasOpenCondition = true;
            m_openConditionResult = result;
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    return true;
}

bool CTavPanel::Associate(CTavPanel* parent) {
    if (!CTavView::Associate(parent))
        return false;
    CTavTextOut* errors = ErrorOutput();
    for (const auto& child : m_childPanels) {
        if (!child->Associate(this)) {
            if (errors)
                errors->Printf("Unable to create child panel %s.\n", child->Path().c_str());
            return false;
        }
    }
    for (const auto& control : m_controls) {
        if (!control->Associate(this)) {
            if (errors)
                errors->Printf("Unable to create child control %s.\n", control->Path().c_str());
            return false;
        }
    }
    return true;
}

namespace {

bool IsDisabledControl(const CTavView& view) {
    const auto* control = dynamic_cast<const CTavControl*>(&view);
    return control && control->IsDisabled();
}

} // namespace

void CTavPanel::Draw(CTavDrawInfo& info) {
    if (!m_open || !info.Intersects(m_rect))
        return;
    if (m_bitmapAcquired)
        m_bitmap->DrawState(info, {m_rect.left, m_rect.top}, 0);
    for (const auto& child : m_childPanels)
        child->Draw(info);
    for (const auto& control : m_controls) {
        control->Draw(info);
        if (IsDisabledControl(*control))
            info.Dim(control->Rect());
    }
}

bool CTavPanel::OnMouse(const CTavMouseInfo& info) {
    if (!m_open || !HitTest(info.point))
        return false;
    for (const auto& child : m_childPanels)
        if (child->OnMouse(info))
            return true;
    for (const auto& control : m_controls)
        if (!IsDisabledControl(*control) && control->OnMouse(info))
            return true;
    return false;
}

bool CTavPanel::OnWheel(const CTavWheelInfo& info) {
    if (!m_open || !m_rect.Contains(info.point))
        return false;
    for (const auto& child : m_childPanels)
        if (child->OnWheel(info))
            return true;
    for (const auto& control : m_controls)
        if (!IsDisabledControl(*control) && control->OnWheel(info))
            return true;
    return false;
}

bool CTavPanel::OnTimer(const CTavTimerInfo& info) {
    if (!m_open)
        return false;
    for (const auto& child : m_childPanels)
        if (child->OnTimer(info))
            return true;
    for (const auto& control : m_controls)
        if (control->OnTimer(info))
            return true;
    return false;
}

bool CTavPanel::OnValuesChanged(const CTavValueSet& changed) {
    bool anything = false;
    bool evaluated = false;
    bool failed = false;
    if (!m_valueRefs.empty() && CTavView::OnValuesChanged(changed)) {
        anything = true;
        if (m_hasOpenCondition) {
            int32_t result = 0;
            evaluated = m_openCondition.Evaluate(*this, TavExpressionMode::kEvaluating, result);
            failed = !evaluated;
            if (evaluated)
                m_openConditionResult = result;
        }
    }
    // A condition that cannot be evaluated leaves the panel as it is.
    bool wanted = m_open;
    if (!failed && WantedOpenState(evaluated, wanted) && wanted != m_open) {
        if (wanted ? Open() : Close()) {
            Invalidate();
            anything = true;
        }
    }
    for (const auto& child : m_childPanels)
        anything = child->OnValuesChanged(changed) || anything;
    if (m_open)
        for (const auto& control : m_controls)
            anything = control->OnValuesChanged(changed) || anything;
    return anything;
}

bool CTavPanel::Open() {
    if (m_open)
        return true;
    // A bitmap whose image cannot be loaded leaves the panel without its background.
    if (m_bitmap && !m_bitmapAcquired)
        m_bitmapAcquired = m_bitmap->Acquire();
    CTavView::Open();
    for (const auto& control : m_controls)
        control->Open();
    return true;
}

bool CTavPanel::Close() {
    if (!m_open)
        return true;
    for (const auto& child : m_childPanels)
        child->Close();
    for (const auto& control : m_controls)
        control->Close();
    if (m_bitmapAcquired) {
        m_bitmap->Release();
        m_bitmapAcquired = false;
    }
    return CTavView::Close();
}

void CTavPanel::SetRect(const TavRect& rect) {
    const int32_t dx = rect.left - m_rect.left;
    const int32_t dy = rect.top - m_rect.top;
    CTavView::SetRect(rect);
    for (const auto& child : m_childPanels)
        child->SetRect(child->Rect().Offset(dx, dy));
    for (const auto& control : m_controls)
        control->SetRect(control->Rect().Offset(dx, dy));
}

bool CTavPanel::FindControl(std::string_view path, CTavView*& control) const {
    std::string_view rest;
    if (!SplitOwnName(path, m_name, rest) || rest.empty())
        return false;
    for (const auto& candidate : m_controls) {
        if (candidate->Name() == rest) {
            control = candidate.get();
            return true;
        }
    }
    for (const auto& child : m_childPanels)
        if (child->FindControl(rest, control))
            return true;
    return false;
}

bool CTavPanel::FindPanel(std::string_view path, CTavPanel*& panel) {
    std::string_view rest;
    if (!SplitOwnName(path, m_name, rest))
        return false;
    if (rest.empty()) {
        panel = this;
        return true;
    }
    for (const auto& child : m_childPanels)
        if (child->FindPanel(rest, panel))
            return true;
    return false;
}

void CTavPanel::AddChildPanel(std::unique_ptr<CTavNodePanel> panel) {
    m_childPanels.push_back(std::move(panel));
}

void CTavPanel::AddControl(std::unique_ptr<CTavView> control) {
    m_controls.push_back(std::move(control));
}

// --- CTavRootPanel ----------------------------------------------------------------------

bool CTavRootPanel::Configure(TavItems& items) {
    if (!CTavPanel::Configure(items))
        return false;
    auto fail = [this](const char* format, const std::string& text) { return ReportFailure(format, text); };
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "windowPosition") {
            long x = 0;
            long y = 0;
            if (std::sscanf(it->second.c_str(), "%li,%li", &x, &y) != 2)
                return fail("Window position is invalid for root panel. : %s : %s\n", it->second);
            m_windowPosition = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
        } else if (it->first == "title") {
            if (!ParseTitle(it->second))
                return fail("Title is invalid for root panel. : %s : %s\n", it->second);
        } else if (it->first == "closeValueRef") {
            m_closeValueRefIndex = AddValueRef(it->second);
        } else if (it->first == "closeValue") {
            if (!ParseLong(it->second, m_closeValue))
                return fail("Close value is invalid for root panel. : %s : %s\n", it->second);
        } else if (it->first == "modal") {
            int32_t modal = 0;
            if (!ParseLong(it->second, modal))
                return fail("Modal is invalid for root panel. : %s : %s\n", it->second);
            m_modal = modal != 0;
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    if (m_closeValueRefIndex < 0 && !m_valueRefs.empty())
        m_closeValueRefIndex = 0;
    return true;
}

bool CTavRootPanel::ParseTitle(const std::string& text) {
    m_titleLiterals.assign(1, std::string());
    m_titleExpressions.clear();
    m_titleRefs.clear();
    for (size_t at = 0; at < text.size();) {
        const size_t open = text.find('{', at);
        if (open == std::string::npos) {
            m_titleLiterals.back() += text.substr(at);
            break;
        }
        const size_t close = text.find('}', open);
        if (close == std::string::npos)
            return false;
        m_titleLiterals.back() += text.substr(at, open - at);
        CTavExpression expression;
        int32_t result = 0;
        if (!expression.Parse(std::string_view(text).substr(open + 1, close - open - 1)) || expression.Empty())
            return false;
        int ref = -1;
        const std::string& first = expression.Tokens().front();
        if (expression.Tokens().size() == 1 && std::isalpha(static_cast<unsigned char>(first[0]))) {
            // A single path may name a text value, which an expression cannot read.
            ref = AddValueRef(first);
            ValueRefs()[static_cast<size_t>(ref)].readByExpression = true;
            if (!ResolveValueRef(ref))
                return false;
        } else if (!expression.Evaluate(*this, TavExpressionMode::kRegistering, result)) {
            return false;
        }
        m_titleExpressions.push_back(std::move(expression));
        m_titleRefs.push_back(ref);
        m_titleLiterals.emplace_back();
        at = close + 1;
    }
    m_hasTitle = true;
    return true;
}

std::string CTavRootPanel::Title() {
    if (!m_hasTitle)
        return Name();
    std::string title = m_titleLiterals.front();
    for (size_t i = 0; i < m_titleExpressions.size(); ++i) {
        int32_t result = 0;
        if (m_titleRefs[i] >= 0) {
            const CTavValue* value = GetValue(m_titleRefs[i]);
            if (!value) {
                title += "?";
            } else if (value->Kind() == kTavKindString) {
                std::string text = value->GetText();
                text.erase(text.find_last_not_of(' ') + 1);
                title += text;
            } else {
                title += std::to_string(value->GetRaw());
            }
        } else if (m_titleExpressions[i].Evaluate(*this, TavExpressionMode::kEvaluating, result)) {
            title += std::to_string(result);
        } else {
            title += "?";
        }
        title += m_titleLiterals[i + 1];
    }
    return title;
}

bool CTavRootPanel::OnValuesChanged(const CTavValueSet& changed) {
    const bool anything = CTavPanel::OnValuesChanged(changed);
    if (m_hasTitle && IsOpen()) {
        std::string title = Title();
        if (title != m_lastTitle) {
            m_lastTitle = std::move(title);
            OnTitleChanged(m_lastTitle);
        }
    }
    return anything;
}

bool CTavRootPanel::Associate(CTavPanel*) {
    if (CTavPanel::Associate(nullptr))
        return true;
    if (CTavTextOut* errors = ErrorOutput())
        errors->Printf("Unable to create root panel %s.\n", Path().c_str());
    return false;
}

bool CTavRootPanel::OnKey(const CTavKeyInfo& info) {
    CTavView* focused = m_viewManager ? m_viewManager->FocusedView() : nullptr;
    return focused && focused != this && focused->OnKey(info);
}

bool CTavRootPanel::Open() {
    if (m_open)
        return true;
    if (!OpenWindow())
        return false;
    if (CTavPanel::Open())
        return true;
    CloseWindow();
    return false;
}

bool CTavRootPanel::Close() {
    if (!m_open)
        return true;
    CloseWindow();
    return CTavPanel::Close();
}

void CTavRootPanel::RequestClose() {
    if (m_valueRefs.empty()) {
        Close();
        return;
    }
    CTavValue* value = GetValue(m_closeValueRefIndex);
    CTavBufferManager* buffers = BufferManager();
    if (!value || !buffers)
        return;
    // One user edit: the device gets the value and the views (this panel's condition
    // among them) see the change.
    buffers->WriteInteger(*value, m_closeValue);
    buffers->TransmitPending();
    buffers->PublishPending();
    buffers->ClearPending();
}

bool CTavRootPanel::WantedOpenState(bool evaluated, bool& wanted) const {
    if (!evaluated)
        return false;
    wanted = m_openConditionResult != 0;
    return true;
}

// --- CTavNodePanel ----------------------------------------------------------------------

bool CTavNodePanel::Associate(CTavPanel* parent) {
    if (CTavPanel::Associate(parent))
        return true;
    if (CTavTextOut* errors = ErrorOutput())
        errors->Printf("Unable to create node panel %s.\n", Path().c_str());
    return false;
}

bool CTavNodePanel::WantedOpenState(bool, bool& wanted) const {
    const bool parentOpen = m_parent && m_parent->IsOpen();
    wanted = parentOpen && (!m_hasOpenCondition || m_openConditionResult != 0);
    return true;
}
