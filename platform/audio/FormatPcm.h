#pragma once
// The PCM layout shared by the sound facilities: integer samples, interleaved channels,
// 8-bit unsigned (128 is silence) or 16-bit signed little-endian.
#include <cstdint>

namespace kinepo {

struct FormatPcm {
    std::uint32_t frequence = 11025; // frames per second
    int bits = 8;                    // 8 or 16
    int voies = 1;                   // 1 or 2

    int octetsParTrame() const { return voies * (bits / 8); }
    bool operator==(const FormatPcm&) const = default;
};

} // namespace kinepo
