#include "view/CTavKeyboardControl.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "app/CTavTextOut.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

// Rectangle coordinates beyond this are refused, so placing 256 keys stays well inside
// 32-bit arithmetic.
constexpr long kMaxCoordinate = 1L << 16;
constexpr long kMaxKeys = 256;
constexpr std::string_view kPressedSuffix = "Pressed";

// The rectangle a picture's attribute name (without "Pressed") sets; null for other names.
TavRect* ShapeNamed(TavKeyShapes& shapes, std::string_view name) {
    static constexpr std::string_view kWhiteNames[] = {"cKeyUpsideRectangle", "dKeyUpsideRectangle",
                                                       "eKeyUpsideRectangle", "fKeyUpsideRectangle",
                                                       "gKeyUpsideRectangle", "aKeyUpsideRectangle",
                                                       "bKeyUpsideRectangle"};
    for (size_t i = 0; i < std::size(kWhiteNames); ++i)
        if (name == kWhiteNames[i])
            return &shapes.whiteUpper[i];
    if (name == "ivoryKeyDownsideRectangle")
        return &shapes.ivoryLower;
    if (name == "ebonyKeyRectangle")
        return &shapes.ebony;
    if (name == "lowestKeyUpsideRectangle")
        return &shapes.lowestUpper;
    if (name == "lowestKeyDownsideRectangle")
        return &shapes.lowestLower;
    if (name == "highestKeyUpsideRectangle")
        return &shapes.highestUpper;
    if (name == "highestKeyDownsideRectangle")
        return &shapes.highestLower;
    return nullptr;
}

bool ParseRect(const std::string& text, TavRect& rect) {
    long left = 0, top = 0, right = 0, bottom = 0;
    if (std::sscanf(text.c_str(), "%li,%li,%li,%li", &left, &top, &right, &bottom) != 4)
        return false;
    for (long v : {left, top, right, bottom})
        if (v < -kMaxCoordinate || v > kMaxCoordinate)
            return false;
    rect = {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
            static_cast<int32_t>(bottom)};
    return true;
}

TavPoint TopLeft(const TavRect& rect) {
    return {rect.left, rect.top};
}

} // namespace

CTavKeyboardControl::CTavKeyboardControl() = default;

// The resource manager frees every image itself and may be gone before the views.
CTavKeyboardControl::~CTavKeyboardControl() = default;

bool CTavKeyboardControl::ConfigureItem(const std::string& tag, const std::string& text, bool& taken) {
    CTavTextOut* errors = ErrorOutput();
    auto fail = [errors](const std::string& format, const std::string& argument) {
        if (errors)
            errors->Printf(format.c_str(), argument.c_str());
        return false;
    };
    taken = true;
    if (tag == "bitmapRef") {
        CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr;
        m_bitmap = resources ? resources->FindBitmap(text) : nullptr;
        return m_bitmap || fail("Unable to find bitmap %s.\n", text);
    }
    if (tag == "physicalKeyRange") {
        long low = 0, high = 0;
        if (std::sscanf(text.c_str(), "%li,%li", &low, &high) != 2 || low < 0 || high <= low || high > kMaxKeys)
            return fail("Keyboard physicalKeyRange is invalid. : %s\n", text);
        m_lowKey = static_cast<int32_t>(low);
        m_highKey = static_cast<int32_t>(high);
        return true;
    }
    if (tag == "octaveValueRef") {
        m_octaveRef = AddValueRef(text);
        return true;
    }
    if (tag == "onVelocityValueRef") {
        m_velocityRef = AddValueRef(text);
        return true;
    }
    std::string_view name = tag;
    const bool pressed = name.ends_with(kPressedSuffix);
    if (pressed)
        name.remove_suffix(kPressedSuffix.size());
    TavRect* shape = ShapeNamed(pressed ? m_pressed : m_normal, name);
    if (!shape) {
        taken = false;
        return true;
    }
    return ParseRect(text, *shape) || fail("Keyboard " + tag + " is invalid. : %s\n", text);
}

bool CTavKeyboardControl::Configure(TavItems& items) {
    if (!CTavControl::Configure(items))
        return false;
    bool hasBitmap = false;
    for (auto it = items.begin(); it != items.end();) {
        bool taken = false;
        if (!ConfigureItem(it->first, it->second, taken))
            return false;
        if (!taken) {
            ++it;
            continue;
        }
        hasBitmap = hasBitmap || it->first == "bitmapRef";
        it = items.erase(it);
    }
    if (!hasBitmap) {
        if (CTavTextOut* errors = ErrorOutput())
            errors->Printf("Keyboard control %s needs bitmap. : %s\n", Name().c_str(), Path().c_str());
        return false;
    }
    return true;
}

bool CTavKeyboardControl::Associate(CTavPanel* parent) {
    CTavTextOut* errors = ErrorOutput();
    auto fail = [errors](const char* message) {
        if (errors)
            errors->Printf("%s", message);
        return false;
    };
    if (!CTavControl::Associate(parent))
        return fail("Unable to create keyboard control.\n");
    // The first reference is the note states; the octave and velocity come after every
    // "valueRef".
    if (m_valueRefs.empty() || m_octaveRef == 0 || m_velocityRef == 0)
        return fail("There is no value reference.\n");
    if (!m_bitmapAcquired && !(m_bitmapAcquired = m_bitmap && m_bitmap->Acquire()))
        return ReportFailure("Unable to create bitmap for keyboard. : %s\n");
    SetRect(m_rect);
    return true;
}

void CTavKeyboardControl::SetRect(const TavRect& rect) {
    m_origin = {rect.left, rect.top};
    CTavControl::SetRect(TavKeyboardRect(Layout()));
}

int32_t CTavKeyboardControl::Octave() const {
    const CTavValue* value = m_octaveRef >= 0 ? GetValue(m_octaveRef) : nullptr;
    return value && value->Kind() == kTavKindInteger ? value->GetRaw() : kNoShift;
}

int32_t CTavKeyboardControl::Velocity() const {
    const CTavValue* value = m_velocityRef >= 0 ? GetValue(m_velocityRef) : nullptr;
    // A note-on needs a velocity above 0, and the message has 7 bits for it.
    return value && value->Kind() == kTavKindInteger ? std::clamp(value->GetRaw(), int32_t{1}, int32_t{127})
                                                     : kDefaultVelocity;
}

bool CTavKeyboardControl::IsKeyOn(int32_t key) const {
    const int64_t note = TavNoteOfKey(key, Octave());
    return TavIsRealNote(note) && m_states[static_cast<size_t>(note)] > 0;
}

void CTavKeyboardControl::Refresh() {
    m_states.fill(0);
    if (const CTavValue* value = GetValue(0)) {
        const std::vector<int32_t> states = value->GetList();
        if (states.size() == kNoteCount)
            std::copy(states.begin(), states.end(), m_states.begin());
    }
}

void CTavKeyboardControl::Draw(CTavDrawInfo& info) {
    if (!m_bitmapAcquired || !info.Intersects(m_rect))
        return;
    const TavKeyboardLayout layout = Layout();
    // White keys first, so the black keys lie over the white keys' upper parts.
    for (const bool white : {true, false}) {
        for (int32_t key = m_lowKey; key < m_highKey; ++key) {
            if (TavIsWhiteKey(key) != white)
                continue;
            const TavKeyPlace place = TavPlaceKey(layout, key);
            const TavKeyShapes& source = IsKeyOn(key) ? m_pressed : m_normal;
            if (info.Intersects(place.upper))
                m_bitmap->DrawPart(info, place.upper, TopLeft(TavKeyShape(source, layout, key, TavKeyPart::kUpper)));
            if (white && info.Intersects(place.lower))
                m_bitmap->DrawPart(info, place.lower, TopLeft(TavKeyShape(source, layout, key, TavKeyPart::kLower)));
        }
    }
}

bool CTavKeyboardControl::OnMouse(const CTavMouseInfo& info) {
    if (!m_captured && !m_rect.Contains(info.point))
        return false;
    switch (info.kind) {
    case CTavMouseInfo::kPressed:
    case CTavMouseInfo::kDoubleClick: {
        const int32_t key = KeyAt(info.point);
        if (key < 0)
            return false;
        if (!m_captured)
            CTavControl::Capture(true);
        Press(key);
        return true;
    }
    case CTavMouseInfo::kMove: {
        if (!m_captured)
            return false;
        const int32_t key = KeyAt(info.point);
        if (key >= 0 && key != m_heldKey && m_playing)
            Press(key);
        return true;
    }
    case CTavMouseInfo::kReleased:
        if (!m_captured)
            return false;
        // A forced release (the real one went elsewhere) ends the note all the same.
        Capture(false);
        return true;
    }
    return false;
}

int32_t CTavKeyboardControl::KeyCursor() const {
    if (m_keyCursor >= m_lowKey && m_keyCursor < m_highKey)
        return m_keyCursor;
    const int32_t middle = m_lowKey + (m_highKey - m_lowKey) / 2;
    const int32_t c = middle - middle % 12;
    return c >= m_lowKey ? c : std::min(c + 12, m_highKey - 1);
}

bool CTavKeyboardControl::OnKey(const CTavKeyInfo& info) {
    if (!HasFocus() && !m_captured)
        return false;
    if (info.code == kTavKeySpace) {
        if (info.kind == CTavKeyInfo::kDown && !m_captured && m_highKey > m_lowKey) {
            CTavControl::Capture(true);
            Press(KeyCursor());
        } else if (info.kind == CTavKeyInfo::kUp && m_captured) {
            Capture(false);
        }
        return true;
    }
    int32_t step = 0;
    switch (info.code) {
    case kTavKeyLeft: step = -1; break;
    case kTavKeyRight: step = 1; break;
    case kTavKeyDown: step = -12; break;
    case kTavKeyUp: step = 12; break;
    default: return false;
    }
    if (info.kind != CTavKeyInfo::kDown)
        return true;
    const int32_t moved = KeyCursor() + step;
    if (moved >= m_lowKey && moved < m_highKey) {
        m_keyCursor = moved;
        if (m_captured && m_playing)
            Press(moved);
    }
    return true;
}

void CTavKeyboardControl::Capture(bool capture) {
    CTavControl::Capture(capture);
    if (!capture)
        EndPress();
}

bool CTavKeyboardControl::Close() {
    EndPress();
    return CTavControl::Close();
}

bool CTavKeyboardControl::OnValuesChanged(const CTavValueSet& changed) {
    const bool reacted = CTavControl::OnValuesChanged(changed);
    if (m_playing && GetValue(0) != m_playing && m_captured)
        Capture(false);
    return reacted;
}

void CTavKeyboardControl::Press(int32_t key) {
    if (!m_playing)
        m_playing = GetValue(0);
    m_heldKey = key;
    SetPressedNote(TavNoteOfKey(key, Octave()));
}

void CTavKeyboardControl::EndPress() {
    if (!m_playing)
        return;
    SetPressedNote(std::nullopt);
    m_playing = nullptr;
    m_heldKey = -1;
    m_sounding.reset();
}

void CTavKeyboardControl::SetPressedNote(std::optional<int64_t> note) {
    CTavValue* value = m_playing;
    CTavBufferManager* buffers = BufferManager();
    if (!value || !buffers)
        return;
    std::vector<int32_t> states = value->GetList();
    if (states.size() != kNoteCount)
        return;
    const auto wanted = [&note](int64_t n) { return note && *note == n; };
    const auto isOn = [&states](int64_t n) { return states[static_cast<size_t>(n)] > 0; };
    std::bitset<kNoteCount> off;
    const int32_t octave = Octave();
    for (int32_t key = m_lowKey; key < m_highKey; ++key) {
        const int64_t n = TavNoteOfKey(key, octave);
        if (TavIsRealNote(n) && isOn(n) && !wanted(n))
            off.set(static_cast<size_t>(n));
    }
    // A note played before the octave moved may lie outside the range's notes now.
    for (size_t n = 0; n < kNoteCount; ++n)
        if (m_sounding[n] && isOn(static_cast<int64_t>(n)) && !wanted(static_cast<int64_t>(n)))
            off.set(n);
    const bool on = note && TavIsRealNote(*note) && !isOn(*note);

    const int32_t velocity = Velocity();
    if (off.any()) {
        for (size_t n = 0; n < kNoteCount; ++n)
            if (off[n])
                states[n] = -velocity;
        TavSetValueList(*buffers, *value, states);
    }
    m_sounding &= ~off;
    if (on) {
        states[static_cast<size_t>(*note)] = velocity;
        TavSetValueList(*buffers, *value, states);
        m_sounding.set(static_cast<size_t>(*note));
    }
}
