#pragma once
// The two rules that bring a decoded sample into the 16-bit buffer of the sound form.
#include "common/Arrondi.h"

#include <cmath>
#include <cstdint>

namespace kinepo {

// An integer sample left-aligned on 32 bits (24- and 32-bit samples, and narrower ones shifted
// up) keeps its top 16 bits: 0x123456 in 24 bits gives 0x1234, -1 gives -1.
inline std::int16_t EntierVers16(std::int32_t v) {
    return std::int16_t(v >> 16);
}

// A floating sample (full scale ±1) becomes round(v × 32767), ties to even, clamped to the
// 16-bit range; a value that is not a number gives 0.
inline std::int16_t ReelVers16(double v) {
    if (std::isnan(v)) return 0;
    const double x = v * 32767.0;
    if (x >= 32767.0) return 32767;
    if (x <= -32768.0) return -32768;
    return std::int16_t(Arrondi(x));
}

} // namespace kinepo
