#include "midi/ITavMidiOut.h"

int TavShortMessageLength(uint8_t status) {
    if (status >= 0xF0) {
        if (status == 0xF2)
            return 3;
        if (status == 0xF1 || status == 0xF3)
            return 2;
        return 1;
    }
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 2;
    default:
        return 3;
    }
}
