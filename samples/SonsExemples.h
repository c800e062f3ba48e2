#pragma once
// The sample sounds of the sound form, computed from their definition (header-only so that the
// generator and the tests share it).
#include "platform/audio/FormatPcm.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kinepo::exemples {

struct SonExemple {
    FormatPcm format;
    std::vector<std::uint8_t> pcm; // 16-bit little-endian
};

inline void Ajouter16(std::vector<std::uint8_t>& b, double x) {
    const auto v = std::uint16_t(std::int16_t(std::lround(std::clamp(x, -1.0, 1.0) * 32767)));
    b.push_back(std::uint8_t(v & 0xFF));
    b.push_back(std::uint8_t(v >> 8));
}

// Two tuning forks, 440 Hz and 444 Hz, of equal loudness: a 442 Hz tone whose loudness beats
// 4 times a second. 3 s, 22050 Hz, 16-bit mono.
inline SonExemple DiapasonBattements() {
    SonExemple s{{22050, 16, 1}, {}};
    const int n = 3 * 22050;
    s.pcm.reserve(std::size_t(2 * n));
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / 22050;
        Ajouter16(s.pcm, 0.4 * std::sin(2 * M_PI * 440 * t) + 0.4 * std::sin(2 * M_PI * 444 * t));
    }
    return s;
}

// A hand clap heard by two microphones 1 m apart on its line: the left one hears it at 0.200 s,
// the right one 129 samples (2.925 ms, sound at 342 m/s) later, a little weaker. 1 s, 44100 Hz,
// 16-bit stereo.
inline SonExemple ClapDeuxMicros() {
    SonExemple s{{44100, 16, 2}, {}};
    const int n = 44100, debutGauche = 8820, retard = 129;
    auto clap = [](int k) {
        if (k < 0) return 0.0;
        const double t = k / 44100.0;
        return 0.9 * std::exp(-t / 0.004) * std::sin(2 * M_PI * 1500 * t);
    };
    s.pcm.reserve(std::size_t(4 * n));
    for (int i = 0; i < n; ++i) {
        Ajouter16(s.pcm, clap(i - debutGauche));
        Ajouter16(s.pcm, 0.7 * clap(i - debutGauche - retard));
    }
    return s;
}

} // namespace kinepo::exemples
