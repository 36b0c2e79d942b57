#pragma once
// The summary line while a conversion runs.

#include <cstdint>
#include <string>

// How much of duration position has reached, 0 to 100 (a position beyond the
// end is 100); -1 when either is unknown (negative, or a duration of 0).
// Both in 100 ns units.
int PercentDone(int64_t position, int64_t duration);

// "Please wait... Used Time: hh:mm:ss"; once the percentage is known, three
// blanks and "37%", and once some of the source has been converted, three
// blanks and the time left, estimated from the pace so far ("00:00:20 left",
// in the current language).
std::string ProgressLine(int elapsedSeconds, int64_t position, int64_t duration);

// What to tell of a finished conversion whose output ends short of the source
// (a decoder that gave up before the end, say): the current language's text
// and "hh:mm:ss.s / hh:mm:ss.s", how far the output reaches of the source.
// Empty when it reaches the end within a quarter second or one frame
// (frameTime, 0 when not known), whichever is longer, and 0.5% of the
// length; or when the position is unknown: negative, 0, or still
// startPosition, where the conversion began. All in 100 ns units.
std::string ShortOutputNote(int64_t position, int64_t startPosition, int64_t duration,
                            int64_t frameTime);
