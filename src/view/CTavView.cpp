#include "view/CTavView.h"

#include <algorithm>
#include <cstdio>

#include "app/CTavTextOut.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavExpression.h"

CTavValueSet::CTavValueSet(std::vector<CTavValue*> values) : m_values(std::move(values)) {
    std::sort(m_values.begin(), m_values.end());
    m_values.erase(std::unique(m_values.begin(), m_values.end()), m_values.end());
}

bool CTavValueSet::Contains(const CTavValue* value) const {
    // A leaf keeps its values side by side, so a change usually spans a narrow address
    // range and most views ask about values outside it.
    if (m_values.empty() || std::less<>()(value, m_values.front()) || std::less<>()(m_values.back(), value))
        return false;
    return std::binary_search(m_values.begin(), m_values.end(), value);
}

CTavView::CTavView() = default;
CTavView::~CTavView() = default;

CTavTextOut* CTavView::ErrorOutput() const {
    return m_viewManager ? m_viewManager->ErrorOutput() : nullptr;
}

CTavBufferManager* CTavView::BufferManager() const {
    return m_viewManager ? m_viewManager->BufferManager() : nullptr;
}

std::string CTavView::Path() const {
    std::string path = m_name;
    for (const CTavPanel* parent = GetParent(); parent; parent = parent->GetParent())
        path = parent->Name() + "." + path;
    return path;
}

void CTavView::Capture(bool capture) {
    if (CTavPanel* parent = GetParent())
        parent->Capture(capture);
    m_captured = capture;
    if (m_viewManager)
        m_viewManager->SetCapturedView(capture ? this : nullptr);
}

TavPoint CTavView::ToScreen(TavPoint point) const {
    const CTavPanel* parent = GetParent();
    return parent ? parent->ToScreen(point) : point;
}

TavPoint CTavView::ToClient(TavPoint point) const {
    const CTavPanel* parent = GetParent();
    return parent ? parent->ToClient(point) : point;
}

namespace {

// Coordinates beyond this are refused, so that placing a view under its parents (at most
// 32 levels deep) and adding its size stay far inside 32 bits.
constexpr long kMaxCoordinate = 1 << 20;

// Two signed long integers separated by a comma; blanks may precede either number.
bool ParsePair(const std::string& text, int32_t& first, int32_t& second) {
    long a = 0;
    long b = 0;
    if (std::sscanf(text.c_str(), "%li,%li", &a, &b) != 2)
        return false;
    if (a < -kMaxCoordinate || a > kMaxCoordinate || b < -kMaxCoordinate || b > kMaxCoordinate)
        return false;
    first = static_cast<int32_t>(a);
    second = static_cast<int32_t>(b);
    return true;
}

} // namespace

bool CTavView::Configure(TavItems& items) {
    // The name first, so that messages about the other attributes can name the view.
    for (const auto& [tag, text] : items)
        if (tag == "name")
            m_name = TavDecodeEntities(text);
    int32_t x = 0, y = 0, width = 0, height = 0;
    for (auto it = items.begin(); it != items.end();) {
        const std::string text = TavDecodeEntities(it->second);
        if (it->first == "position" && !ParsePair(text, x, y)) {
            if (CTavTextOut* errors = ErrorOutput())
                errors->Printf("Position is invalid for view. : %s : %s\n", Path().c_str(), text.c_str());
            return false;
        }
        if (it->first == "size" && !ParsePair(text, width, height)) {
            if (CTavTextOut* errors = ErrorOutput())
                errors->Printf("Size is invalid for view. : %s : %s\n", Path().c_str(), text.c_str());
            return false;
        }
        if (it->first == "label")
            m_label = text;
        if (it->first == "name" || it->first == "position" || it->first == "size" || it->first == "label")
            it = items.erase(it);
        else
            ++it;
    }
    m_rect = {x, y, x + width, y + height};
    return true;
}

bool CTavView::Associate(CTavPanel* parent) {
    m_parent = parent;
    // The parent is placed already; its children follow it without moving their own.
    if (parent)
        m_rect = m_rect.Offset(parent->Rect().left, parent->Rect().top);
    return ResolveValueRefs();
}

void CTavView::Invalidate(const TavRect* rect) {
    if (CTavPanel* parent = GetParent())
        parent->Invalidate(rect ? rect : &m_rect);
}

void CTavView::Update(const TavRect* rect) {
    if (CTavPanel* parent = GetParent())
        parent->Update(rect ? rect : &m_rect);
    else
        Invalidate(rect);
}

bool CTavView::OnValuesChanged(const CTavValueSet& changed) {
    if (changed.Empty())
        return false;
    const bool dependencyChanged =
        std::any_of(m_valueRefs.begin(), m_valueRefs.end(), [&changed](const auto& ref) {
            return std::any_of(ref.dependencies.begin(), ref.dependencies.end(),
                               [&changed](const CTavValue* value) { return changed.Contains(value); });
        });
    if (dependencyChanged) {
        for (const int index : ResolutionOrder())
            ResolveValueRef(index);
        Invalidate();
        return true;
    }
    for (const CTavValueRef& ref : m_valueRefs) {
        if (ref.value && changed.Contains(ref.value)) {
            Invalidate();
            return true;
        }
    }
    return false;
}

bool CTavView::Open() {
    m_open = true;
    return true;
}

bool CTavView::Close() {
    if (HasFocus())
        SetFocus(false);
    if (m_captured)
        Capture(false);
    m_open = false;
    return true;
}

void CTavView::SetFocus(bool focus) {
    if (!m_viewManager)
        return;
    CTavView* focused = m_viewManager->FocusedView();
    if (focus) {
        if (focused == this)
            return;
        if (focused)
            focused->SetFocus(false);
        m_viewManager->SetFocusedView(this);
    } else if (focused == this) {
        m_viewManager->SetFocusedView(nullptr);
    }
}

bool CTavView::HasFocus() const {
    return m_viewManager && m_viewManager->FocusedView() == this;
}

CTavValueRef* CTavView::GetValueRef(int index) {
    if (index == -1)
        index = 0;
    if (index < 0 || static_cast<size_t>(index) >= m_valueRefs.size())
        return nullptr;
    return &m_valueRefs[index];
}

const CTavValueRef* CTavView::GetValueRef(int index) const {
    return const_cast<CTavView*>(this)->GetValueRef(index);
}

CTavValue* CTavView::GetValue(int index) const {
    const CTavValueRef* ref = GetValueRef(index);
    return ref ? ref->value : nullptr;
}

size_t CTavView::OwnValueRefCount() const {
    return static_cast<size_t>(std::count_if(m_valueRefs.begin(), m_valueRefs.end(),
                                             [](const CTavValueRef& ref) { return !ref.readByExpression; }));
}

int CTavView::AddValueRef(std::string path) {
    m_valueRefs.push_back(CTavValueRef{std::move(path), nullptr, {}});
    return static_cast<int>(m_valueRefs.size()) - 1;
}

std::vector<int> CTavView::ResolutionOrder() const {
    // A reference that another's bracketed index reads is written inside that other's
    // path, so it is shorter. Those inner references go first, shortest first, so each is
    // up to date before the references whose indexes read it; the others keep their order.
    const auto readByAnother = [this](const std::string& path) {
        return !path.empty() && std::any_of(m_valueRefs.begin(), m_valueRefs.end(), [&path](const auto& ref) {
                   const size_t open = ref.path.find('[');
                   return ref.path.size() > path.size() && open != std::string::npos &&
                          ref.path.find(path, open + 1) != std::string::npos;
               });
    };
    std::vector<int> inner;
    std::vector<int> others;
    for (size_t index = 0; index < m_valueRefs.size(); ++index)
        (readByAnother(m_valueRefs[index].path) ? inner : others).push_back(static_cast<int>(index));
    std::stable_sort(inner.begin(), inner.end(), [this](int a, int b) {
        return m_valueRefs[a].path.size() < m_valueRefs[b].path.size();
    });
    inner.insert(inner.end(), others.begin(), others.end());
    return inner;
}

bool CTavView::ResolveValueRefs() {
    // Resolving may register further references (paths inside index expressions); they
    // are appended and resolved when they are registered.
    for (const int index : ResolutionOrder()) {
        if (!ResolveValueRef(index)) {
            if (CTavTextOut* errors = ErrorOutput())
                errors->Printf("Unable to associate view %s.\n", Path().c_str());
            return false;
        }
    }
    return true;
}

bool CTavView::ResolveValueRef(int index) {
    if (index < 0 || static_cast<size_t>(index) >= m_valueRefs.size())
        return false;
    // The list may grow while index expressions register their paths: work on copies and
    // look the reference up again at the end.
    const std::string path = m_valueRefs[index].path;
    std::string resolved;
    std::vector<CTavValue*> dependencies;
    bool ok = true;
    size_t copied = 0;
    for (size_t open = path.find('['); ok && open != std::string::npos; open = path.find('[', copied)) {
        const size_t close = TavClosingBracket(path, open);
        if (close == std::string::npos) {
            ok = false;
            break;
        }
        int32_t result = 0;
        ok = TavEvaluateExpression(std::string_view(path).substr(open + 1, close - open - 1), *this,
                                   TavExpressionMode::kRegistering, result, &dependencies);
        resolved.append(path, copied, open + 1 - copied);
        resolved += std::to_string(result);
        resolved += ']';
        copied = close + 1;
    }
    resolved.append(path, std::min(copied, path.size()));

    CTavBufferManager* buffers = BufferManager();
    CTavValue* value = ok && buffers ? buffers->FindValue(resolved) : nullptr;
    CTavValueRef& ref = m_valueRefs[index];
    ref.dependencies = std::move(dependencies);
    if (!value) {
        if (CTavTextOut* errors = buffers ? buffers->ErrorOutput() : nullptr)
            errors->Printf("Unable to convert value reference name %s to value.\n", path.c_str());
        return false;
    }
    ref.value = value;
    return true;
}

bool CTavView::ResolveValueRef(CTavValueRef& ref) {
    if (&ref >= m_valueRefs.data() && &ref < m_valueRefs.data() + m_valueRefs.size())
        return ResolveValueRef(static_cast<int>(&ref - m_valueRefs.data()));
    // A reference held elsewhere: resolve a copy through this view, then hand it back.
    const int index = AddValueRef(ref.path);
    const bool ok = ResolveValueRef(index);
    ref = m_valueRefs[index];
    if (m_refsIndexed > static_cast<size_t>(index)) {
        // The index may hold the copy just made; it is the last reference.
        if (const auto it = m_refIndex.find(m_valueRefs[index].path); it != m_refIndex.end() && it->second == index)
            m_refIndex.erase(it);
        m_refsIndexed = static_cast<size_t>(index);
    }
    m_valueRefs.erase(m_valueRefs.begin() + index);
    return ok;
}

int CTavView::FindValueRef(const CTavValue* value) const {
    if (!value)
        return -1;
    for (size_t index = 0; index < m_valueRefs.size(); ++index)
        if (m_valueRefs[index].value == value)
            return static_cast<int>(index);
    return -1;
}

int CTavView::FindValueRef(std::string_view path) const {
    constexpr size_t kIndexedRefs = 16;
    if (m_valueRefs.size() < kIndexedRefs) {
        for (size_t index = 0; index < m_valueRefs.size(); ++index)
            if (m_valueRefs[index].path == path)
                return static_cast<int>(index);
        return -1;
    }
    if (m_refsIndexed > m_valueRefs.size()) {
        m_refIndex.clear();
        m_refsIndexed = 0;
    }
    for (; m_refsIndexed < m_valueRefs.size(); ++m_refsIndexed)
        m_refIndex.emplace(m_valueRefs[m_refsIndexed].path, static_cast<int>(m_refsIndexed));
    const auto found = m_refIndex.find(std::string(path));
    if (found != m_refIndex.end() && m_valueRefs[static_cast<size_t>(found->second)].path == path)
        return found->second;
    return -1;
}

bool CTavView::ReportFailure(const char* format, const std::string& text) const {
    if (CTavTextOut* errors = ErrorOutput())
        errors->Printf(format, Path().c_str(), text.c_str());
    return false;
}

bool CTavView::ReportFailure(const char* format) const {
    if (CTavTextOut* errors = ErrorOutput())
        errors->Printf(format, Path().c_str());
    return false;
}

bool TavScanLong(const std::string& text, long& out) {
    return std::sscanf(text.c_str(), "%li", &out) == 1;
}
