#pragma once
// The audio work behind the virtual device's sample modify commands. Every function works
// on 16-bit audio at 44100 Hz and treats both channels of a pair alike.

#include <cstdint>
#include <string>
#include <vector>

#include "virtual/CVirtualSampleMemory.h"

using TavAudio = CVirtualSampleMemory::Audio;

// The frames from 'from' up to (not including) 'to', both clamped to the audio.
TavAudio TavCutAudio(const TavAudio& audio, uint32_t from, uint32_t to);
// The largest magnitude of any frame of either channel (0 to 32768).
int32_t TavPeak(const TavAudio& audio);
// Scales so that the peak reaches full scale (32767); silence stays silent.
void TavNormalize(TavAudio& audio);
// The 50/15 microsecond shelf: emphasis lifts the highs by about 10 dB, de-emphasis
// (deEmphasis true) is its inverse. A first-order filter, bilinear at 44100 Hz.
void TavEmphasis(TavAudio& audio, bool deEmphasis);

// One point of an amp envelope: a gain in percent (0-200, 100 keeps the level) at a frame.
struct TavAmpPoint {
    uint32_t frame = 0;
    int32_t percent = 100;
};
// Gains the audio by the envelope: linear from point to point (taken in frame order),
// the first point's gain before it and the last one's after it. One point is a flat gain.
void TavAmpEnvelope(TavAudio& audio, std::vector<TavAmpPoint> points);

// Stretches the audio to 'ratio' times its length (0.25 to 4) without changing its pitch
// (Rubber Band, offline). 'type' 0-9 goes from smooth (pads) to crisp (hard beats).
// False, with why, for a ratio out of range or a result beyond kMaxFrames frames.
bool TavTimeStretch(const TavAudio& audio, double ratio, int type, TavAudio& out, std::string& why);

// Chop points between 'from' and 'to' (both clamped to the audio), at most 'count' of
// them, ascending, never at 'from' itself:
// where the level rises above level/127 of full scale after at least 10 ms below it;
std::vector<uint32_t> TavLevelPoints(const TavAudio& audio, int level, uint32_t from, uint32_t to, size_t count);
// at the onsets aubio finds, at least minInterval seconds apart;
std::vector<uint32_t> TavBeatPoints(const TavAudio& audio, double minInterval, uint32_t from, uint32_t to,
                                    size_t count);
// dividing the range into 'parts' equal pieces (parts - 1 points).
std::vector<uint32_t> TavDividePoints(uint32_t from, uint32_t to, int parts, size_t count);
