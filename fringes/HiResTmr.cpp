#include "fringes/HiResTmr.h"

#include <chrono>
#include <limits>

namespace kinepo {

std::uint64_t LireCompteur() {
    const auto t = std::chrono::steady_clock::now().time_since_epoch();
    return std::uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(t).count());
}

std::uint64_t FrequenceCompteur() {
    static const std::uint64_t frequence = [] {
        using periode = std::chrono::nanoseconds::period;
        return std::uint64_t(periode::den / periode::num);
    }();
    return frequence;
}

long double SecondesEcoulees(std::uint64_t a, std::uint64_t b, std::uint64_t frequence) {
    const std::uint64_t d = b >= a ? b - a : (std::numeric_limits<std::uint64_t>::max() - a) + b;
    return static_cast<long double>(d) / static_cast<long double>(frequence);
}

} // namespace kinepo
