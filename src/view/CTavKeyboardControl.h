#pragma once
// The on-screen music keyboard: pressing a key turns its note on, dragging moves the note
// from key to key, letting go turns it off. It sends nothing itself: it writes the 128
// note states of a MIDI channel (the main value, "qvMidi.ch[c].note"), whose changes go
// out as note-on and note-off messages, and it lights the keys of every note that is on,
// whoever switched it on. Keys are drawn part by part from one bitmap (see
// TavKeyboardLayout.h for how the pictures' rectangles place them).

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

#include "view/CTavControl.h"
#include "view/TavKeyboardLayout.h"

class CTavStateBitmap;

class CTavKeyboardControl : public CTavControl {
public:
    static constexpr int kNoteCount = 128;
    // An octave value that shifts nothing.
    static constexpr int32_t kNoShift = 64;
    // The velocity used without a velocity value.
    static constexpr int32_t kDefaultVelocity = 64;

    CTavKeyboardControl();
    ~CTavKeyboardControl() override;

    std::string_view GetKind() const override { return "keyboard"; }
    // "bitmapRef" (required), "physicalKeyRange" ("L,H": keys L .. H - 1, at most 256
    // keys from 0), "octaveValueRef", "onVelocityValueRef" and the rectangles of the key
    // pictures ("cKeyUpsideRectangle" .. "highestKeyDownsideRectangle", each also with
    // "Pressed"), each "left,top,right,bottom".
    bool Configure(TavItems& items) override;
    // Needs a "valueRef"; loads the bitmap and takes the keyboard's size from the layout.
    bool Associate(CTavPanel* parent) override;
    void Draw(CTavDrawInfo& info) override;
    // A press on a key takes the capture and plays the key's note; moving onto another key
    // under the capture plays that one instead; the release, forced or not, lets all go.
    bool OnMouse(const CTavMouseInfo& info) override;
    // While focused the keys play a key cursor, which starts on the C nearest the middle:
    // Left and Right move it a key, Down and Up an octave, within the keyboard; Space held
    // down plays it (moved while held, the note moves along) and its release lets go.
    bool OnKey(const CTavKeyInfo& info) override;
    bool TakesKeyboardFocus() const override { return true; }
    // The key the keys play.
    int32_t KeyCursor() const;
    // Letting the capture go, however it happens, turns the played note off.
    void Capture(bool capture) override;
    bool Close() override;
    // A note value that resolves to another channel while a key is held ends the press on
    // the channel it was played on.
    bool OnValuesChanged(const CTavValueSet& changed) override;
    // Reads the note states.
    void Refresh() override;
    // Moves the keyboard's top-left corner; its size comes from the layout.
    void SetRect(const TavRect& rect) override;

    TavKeyboardLayout Layout() const { return {m_normal, m_lowKey, m_highKey, m_origin}; }
    // The key under a point (limited to the keyboard), or -1.
    int32_t KeyAt(TavPoint point) const { return TavKeyAt(Layout(), point); }
    // The octave value (kNoShift without one) and the note-on velocity (1 .. 127).
    int32_t Octave() const;
    int32_t Velocity() const;
    // Whether the key's note is on in the states last read.
    bool IsKeyOn(int32_t key) const;
    // The keyboard telling the notes that are on.
    void Describe(CTavControlDescription& description) const override;
    // The key held under the pointer, or -1.
    int32_t HeldKey() const { return m_heldKey; }
    int32_t LowKey() const { return m_lowKey; }
    int32_t HighKey() const { return m_highKey; }

private:
    bool ConfigureItem(const std::string& tag, const std::string& text, bool& taken);
    // Plays exactly the given note (none: silence): every note that is on in the keyboard's
    // range or was turned on here and is not the note goes off first, written and committed
    // once; then the note goes on, written and committed again.
    void SetPressedNote(std::optional<int64_t> note);
    void Press(int32_t key);
    // Ends a press: the note goes off on the value it was played on.
    void EndPress();

    CTavStateBitmap* m_bitmap = nullptr;
    bool m_bitmapAcquired = false;
    TavKeyShapes m_normal;
    TavKeyShapes m_pressed;
    int32_t m_lowKey = 0;
    int32_t m_highKey = 128;
    TavPoint m_origin;
    int m_octaveRef = -1;
    int m_velocityRef = -1;
    std::array<int32_t, kNoteCount> m_states{};
    int32_t m_heldKey = -1;
    int32_t m_keyCursor = -1;
    // The note value a press plays on, and the notes it turned on there.
    CTavValue* m_playing = nullptr;
    std::bitset<kNoteCount> m_sounding;
};
