#pragma once
// Conversion of reals to integers. Every such conversion in the program rounds to the
// nearest integer with ties to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2) unless the code says
// it truncates. Keep this the one place where that rule lives.
#include <cmath>
#include <cstdint>

namespace kinepo {

// Nearest integer, ties to even. The caller makes sure x lies within the int64 range.
inline std::int64_t Arrondi(double x) {
    // std::nearbyint follows the current rounding mode, which the program never changes
    // from its default: round to nearest, ties to even.
    return static_cast<std::int64_t>(std::nearbyint(x));
}

// Same, for values known to fit in an int (pixel positions, indices).
inline int ArrondiInt(double x) { return static_cast<int>(std::nearbyint(x)); }

} // namespace kinepo
