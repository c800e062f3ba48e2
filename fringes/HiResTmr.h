#pragma once
// The high-resolution timer of the fringe form: a 64-bit counter that only goes forward (the
// monotonic clock, in nanoseconds) and its frequency, read once when the program starts.
#include <cstdint>

namespace kinepo {

// The counter now.
std::uint64_t LireCompteur();
// Counts per second (read once).
std::uint64_t FrequenceCompteur();
// Seconds from count a to a later count b. A counter that wrapped between them (b < a) gives
// (2^64 − 1 − a) + b counts.
long double SecondesEcoulees(std::uint64_t a, std::uint64_t b,
                             std::uint64_t frequence = FrequenceCompteur());

} // namespace kinepo
