#pragma once
// The one road every change takes out of the buffer manager. Listeners are registered
// with the buffer manager and told, in the order they registered, of every published list
// of changed buffers and of the user actions that group changes. GUI thread only.

#include <string_view>
#include <vector>

class CTavBuffer;

// Where a published change came from.
enum class TavChangeOrigin {
    kEdit,    // the editor: a control, a command, a file, a transfer it asked for
    kDevice,     // the device sent it by itself (a knob turned on the hardware)
    kDeviceCopy, // the device answered a request: its memory read back
    kHistory,    // undo or redo wrote bytes back
};

// How an action's changes are to be taken: the leaves it touched, or the whole state
// (a file opened, a memory read, an import).
enum class TavActionScope { kTouched, kWholeState };

class ITavBufferListener {
public:
    virtual ~ITavBufferListener() = default;
    virtual void BuffersChanged(const std::vector<CTavBuffer*>& changed, TavChangeOrigin origin) = 0;
    // A user action begins and ends (a drag, a key held, a menu command). Actions nest;
    // name is empty when the one who began it has none to give.
    virtual void ActionBegun(std::string_view /*name*/, TavActionScope /*scope*/) {}
    virtual void ActionEnded() {}
    // The action under way is better named this (a function it ran, a file it opened).
    virtual void ActionNamed(std::string_view /*name*/, TavActionScope /*scope*/) {}
};
