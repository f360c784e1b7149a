#pragma once
// The mixer's part buttons. Each knows its part p from its "partId" text, a value
// expression read whenever the part is needed (so "$index" of a strip or a path both work).
// The edit part button shows and chooses the part the edit windows show; the solo part
// button solos its part on the device. Both act when the mouse is released over them.

#include <cstdint>
#include <string>

#include "view/CTavButton.h"
#include "view/TavExpression.h"

namespace Brio {

// What a release on an edit part button writes.
enum class TavEditPartAction { kSelectPart, kClearEntityType };

// Frame base of the edit part button: 2 while its part is shown with something valid in
// it, else 0.
int32_t TavEditPartFrameBase(int32_t partId, int32_t entityType, int32_t part);
// A release on the shown part hides it (entity type 0); anywhere else selects the part.
TavEditPartAction TavEditPartRelease(int32_t partId, int32_t entityType, int32_t part);
// Frame base of the solo part button over the solo value (0 no solo, else soloed part
// + 1): 0 no solo, 2 another part soloed, 4 this part soloed.
int32_t TavSoloPartFrameBase(int32_t solo, int32_t part);
// The solo value a release writes: off when this part is soloed, else this part.
int32_t TavSoloPartRelease(int32_t solo, int32_t part);

// The part number both buttons share; label names the button in messages ("edit", "solo").
class CTavPartButton : public CTavButton {
public:
    static constexpr int32_t kLastPart = 15;

    // The button's attributes and "partId" (required), which must give 0 ... 15.
    bool Configure(TavItems& items) override;
    // The part from the "partId" expression now; -1 when it does not evaluate.
    int32_t Part();

protected:
    explicit CTavPartButton(const char* label) : m_label(label) {}

private:
    const char* m_label;
    CTavExpression m_partId;
};

// Frames: 0 and 1 another part shown (up, pressed), 2 and 3 this part shown. Reads
// "vs.control.partId" and "vs.control.entityType" (the button's references after any
// "valueRef"); writes them without sending (view-state values). A double-click selects
// the part and then calls "function" with "arguments" when the script gives one, to open
// the part's editor say.
class CTavEditPartButton : public CTavPartButton {
public:
    CTavEditPartButton() : CTavPartButton("edit") {}
    std::string_view GetKind() const override { return "quasarEditPartButton"; }

    // The part button's attributes, "function" and "arguments".
    bool Configure(TavItems& items) override;
    // At least 4 frames; both view-state values exist and are integers.
    bool Associate(CTavPanel* parent) override;
    void Refresh() override;

    const std::string& Function() const { return m_function; }
    // A toggle: whether the part's editor is shown.
    void Describe(CTavControlDescription& description) const override;

protected:
    void OnPress(const CTavMouseInfo& info) override;
    void OnRelease(const CTavMouseInfo& info) override;

private:
    int m_partIdRef = -1;
    int m_entityTypeRef = -1;
    std::string m_function;
    std::string m_arguments;
    bool m_doubleClick = false;
};

// Frames (6): no solo, another part soloed, this part soloed, each up and pressed. Its
// main value ("valueRef") holds 0 for no solo or the soloed part + 1; a release writes it
// and sends it to the device.
class CTavSoloPartButton : public CTavPartButton {
public:
    CTavSoloPartButton() : CTavPartButton("solo") {}
    std::string_view GetKind() const override { return "quasarSoloPartButton"; }

    // A 6-state bitmap and an integer main value.
    bool Associate(CTavPanel* parent) override;
    void Refresh() override;
    // A toggle: whether the part is soloed (or another one).
    void Describe(CTavControlDescription& description) const override;

protected:
    void OnRelease(const CTavMouseInfo& info) override;
};

} // namespace Brio
