#pragma once
// The base of every panel and control: a rectangle in root client coordinates, a name,
// the value references it is bound to, and its open and focus state. Views live on the
// GUI thread only.

#include <memory>
#include <string>
#include <unordered_map>
#include <string_view>
#include <vector>

#include "script/CTavElementDefinition.h"
#include "view/TavViewTypes.h"

class CTavBufferManager;
class CTavPanel;
class CTavTextOut;
class CTavValue;
class CTavViewManager;

// A value path as written in the script, the value it resolves to and the values its
// bracketed index expressions read. A reference an expression registered (a path read
// inside another's brackets, or by a condition) is marked as such.
struct CTavValueRef {
    std::string path;
    CTavValue* value = nullptr;
    std::vector<CTavValue*> dependencies;
    bool readByExpression = false;
};

// Set of changed values handed to OnValuesChanged (sorted pointers, for binary search).
class CTavValueSet {
public:
    CTavValueSet() = default;
    explicit CTavValueSet(std::vector<CTavValue*> values);
    bool Contains(const CTavValue* value) const;
    bool Empty() const { return m_values.empty(); }
    size_t Size() const { return m_values.size(); }

private:
    std::vector<CTavValue*> m_values;
};

// An attribute number as the script writes it ("%li": decimal, or 0x… hexadecimal).
bool TavScanLong(const std::string& text, long& out);

class CTavView {
public:
    CTavView();
    virtual ~CTavView();
    CTavView(const CTavView&) = delete;
    CTavView& operator=(const CTavView&) = delete;

    // The manager every view reaches the buffers, resources, focus and capture through.
    void SetViewManager(CTavViewManager* manager) { m_viewManager = manager; }
    CTavViewManager* ViewManager() const { return m_viewManager; }

    // Sets or clears the captured flag, the parent's first, and makes this view the view
    // manager's captured view (or none).
    virtual void Capture(bool capture);
    // The panel the view sits in; none for root panels.
    virtual CTavPanel* GetParent() const { return m_parent; }
    void SetParent(CTavPanel* parent) { m_parent = parent; }
    // Between root client and screen coordinates; views without their own window ask
    // their parent.
    virtual TavPoint ToScreen(TavPoint point) const;
    virtual TavPoint ToClient(TavPoint point) const;
    // Takes the attributes this class understands out of items; false with the message.
    // The base takes "name", "position", "size" and "label" (entities decoded); the texts
    // of the other items are left as written.
    virtual bool Configure(TavItems& items);
    // Records the parent, shifts the rectangle by the parent's top-left corner (none for
    // root panels) and resolves the value references.
    virtual bool Associate(CTavPanel* parent);
    virtual void Draw(CTavDrawInfo&) {}
    virtual bool OnMouse(const CTavMouseInfo&) { return false; }
    virtual bool OnKey(const CTavKeyInfo&) { return false; }
    virtual bool OnWheel(const CTavWheelInfo&) { return false; }
    virtual bool OnTimer(const CTavTimerInfo&) { return false; }
    // Marks the rectangle (none: the view's own) for repainting; the parent is asked, up
    // to the root panel, whose window does the work.
    virtual void Invalidate(const TavRect* rect = nullptr);
    // As Invalidate, followed by an immediate repaint where the window supports it.
    virtual void Update(const TavRect* rect = nullptr);
    // A dependency of a reference changed: every reference is resolved again and the view
    // invalidated. A referenced value changed: the view is invalidated. True in both cases.
    virtual bool OnValuesChanged(const CTavValueSet& changed);
    // Set the open flag. Closing also gives up the focus and the capture.
    virtual bool Open();
    virtual bool Close();
    // Focus is one view at a time, held by the view manager.
    virtual void SetFocus(bool focus);
    virtual bool HasFocus() const;
    // Whether the view does something with keys, so that Tab stops at it (see
    // TavFocusOrder.h); views that only show something answer false.
    virtual bool TakesKeyboardFocus() const { return false; }
    // The reference at index (-1 means 0); null when there is none. A control that shows
    // one of several values by turns answers the one it shows.
    virtual CTavValueRef* GetValueRef(int index);
    const CTavValueRef* GetValueRef(int index) const;
    // The resolved value of that reference; null when none.
    CTavValue* GetValue(int index) const;
    virtual void SetRect(const TavRect& rect) { m_rect = rect; }
    virtual bool HitTest(TavPoint point) const { return m_captured || m_rect.Contains(point); }

    const TavRect& Rect() const { return m_rect; }
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    // What assistive technology calls the view ("label"): the words the panel's picture
    // shows by it; empty when the script gives none.
    const std::string& Label() const { return m_label; }
    // The names of the view's ancestors and its own, joined with ".".
    std::string Path() const;
    bool IsOpen() const { return m_open; }
    bool IsCaptured() const { return m_captured; }
    std::vector<CTavValueRef>& ValueRefs() { return m_valueRefs; }
    // The references the view shows or edits, without those only an index or condition reads.
    size_t OwnValueRefCount() const;
    const std::vector<CTavValueRef>& ValueRefs() const { return m_valueRefs; }

    // Appends a reference to the path (not yet resolved); its index.
    int AddValueRef(std::string path);
    // Resolves every reference, the ones that bracketed indexes read before the ones whose
    // indexes read them; false with "Unable to associate view %s.\n".
    bool ResolveValueRefs();
    // Resolves one reference: each outermost bracketed text is evaluated as an expression
    // (registering mode) and replaced by its decimal result, then the path is looked up.
    // The values the expressions read become the reference's dependencies. On failure the
    // previous value stays and the message goes to the buffer manager's output.
    bool ResolveValueRef(int index);
    bool ResolveValueRef(CTavValueRef& ref);
    // Index of the reference whose resolved value is this, or -1.
    int FindValueRef(const CTavValue* value) const;
    // Index of the reference written exactly as path, or -1.
    int FindValueRef(std::string_view path) const;

    // Writes a message that names this view by its path (and the attribute text) to the
    // error output; always false, so a Configure can return it.
    bool ReportFailure(const char* format, const std::string& text) const;
    // The same for messages that name only the view.
    bool ReportFailure(const char* format) const;

protected:
    CTavTextOut* ErrorOutput() const;
    // The indexes of the references in the order they are resolved: the ones read inside
    // other references' brackets first (inner before outer), then the rest in order.
    std::vector<int> ResolutionOrder() const;
    CTavBufferManager* BufferManager() const;

    CTavPanel* m_parent = nullptr;
    TavRect m_rect;
    bool m_captured = false;
    std::string m_name;
    std::string m_label;
    std::vector<CTavValueRef> m_valueRefs;
    // The first reference of each path, for views with many references (a long open
    // condition registers one per path it reads): the first m_refsIndexed references.
    mutable std::unordered_map<std::string, int> m_refIndex;
    mutable size_t m_refsIndexed = 0;
    bool m_open = false;
    CTavViewManager* m_viewManager = nullptr;
};
