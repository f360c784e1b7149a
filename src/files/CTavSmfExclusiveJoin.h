#pragma once
// The exclusive messages of a MIDI file track, whole. A message may be divided over events:
// an F0 event whose bytes do not end in F7, then F7 events carrying the rest, the last of
// them ending in F7. An F7 event that continues nothing is an escape, raw bytes for the
// wire; it is a message only when it holds a whole one, from F0 to F7. Fed every event of
// a track in order, the join hands out each complete message once. A divided message that
// another event, a new F0 event or the end of the track interrupts is dropped, so nothing
// unterminated ever comes out.

#include <cstdint>

#include "midi/CTavLongMessage.h"

class CTavSmfExclusiveJoin {
public:
    // An exclusive event: its status (F0 or F7) and its bytes as the file holds them, F0 in
    // front for an F0 event. Answers the message it completes (F0 first, F7 last), valid
    // until the next call, or null when it completes none.
    const TavBytes* Add(uint8_t status, const TavBytes& bytes);
    // Any other event, or the end of a track: a divided message still open is dropped.
    void Interrupt() { m_open = false; }
    // Whether a divided message waits for its continuation.
    bool IsOpen() const { return m_open; }

private:
    TavBytes m_message;
    bool m_open = false;
};
