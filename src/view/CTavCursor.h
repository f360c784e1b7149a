#pragma once
// The cursor service: one per process. A view that wants a particular cursor over itself
// sets it together with itself as the owner; the root window asks the owner's HitTest
// whenever the cursor has to be chosen, and the owner resets the cursor once the mouse has
// left it. The platform derives from it and shows the cursor of the current kind.

class CTavView;

class CTavCursor {
public:
    // Cursor kinds: 0 is the standard arrow; 1 and 3 to 9 are the application's own
    // shapes (the device controls choose them).
    static constexpr int kArrow = 0;

    virtual ~CTavCursor() = default;

    // Shows the cursor of a known kind and makes owner the cursor's owner; an unknown kind
    // changes nothing.
    void SetCursor(int kind, CTavView* owner) {
        if (!IsKnownKind(kind))
            return;
        m_kind = kind;
        m_owner = owner;
        Show(kind);
    }
    // The arrow, without an owner.
    void Reset() {
        m_kind = kArrow;
        m_owner = nullptr;
        Show(kArrow);
    }
    // Resets when this view owns the cursor (a view that goes away or loses the mouse).
    void Release(const CTavView* view) {
        if (m_owner && m_owner == view)
            Reset();
    }
    CTavView* Owner() const { return m_owner; }
    int CurrentKind() const { return m_kind; }

    static bool IsKnownKind(int kind) { return kind == kArrow || kind == 1 || (kind >= 3 && kind <= 9); }

    // The process's cursor service; none until the platform installs one.
    static CTavCursor* Current() { return s_current; }
    static void SetCurrent(CTavCursor* cursor) { s_current = cursor; }

protected:
    // Makes the cursor of this kind the one shown.
    virtual void Show(int) {}

private:
    int m_kind = kArrow;
    CTavView* m_owner = nullptr;
    static inline CTavCursor* s_current = nullptr;
};
