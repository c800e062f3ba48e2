#include "sound/EnregistrementSon.h"

#include "common/Arrondi.h"

#include <algorithm>
#include <cmath>

namespace kinepo {

std::vector<ModeEnregistrement> ListeModes(std::uint32_t masque) {
    struct Candidat {
        std::uint32_t drapeau, frequence, bits;
    };
    static constexpr Candidat candidats[] = {
        {Cap11025_8, 11025, 8},   {Cap11025_16, 11025, 16}, {Cap22050_8, 22050, 8},
        {Cap22050_16, 22050, 16}, {Cap44100_8, 44100, 8},   {Cap44100_16, 44100, 16},
    };
    std::vector<ModeEnregistrement> modes;
    for (const auto& c : candidats) {
        if (!(masque & c.drapeau)) continue;
        ModeEnregistrement m;
        m.frequence = c.frequence;
        m.bits = c.bits;
        m.stereo = false;
        m.texte = QStringLiteral("%1 Hz %2 bits").arg(c.frequence).arg(c.bits);
        if (m.stereo) m.texte += QStringLiteral(" stéréo");
        modes.push_back(m);
    }
    return modes;
}

int ModeChoisi(const std::vector<ModeEnregistrement>& modes, std::uint32_t frequence,
               std::uint32_t bits, int modeReglage) {
    for (std::size_t i = 0; i < modes.size(); ++i)
        if (modes[i].frequence == frequence && modes[i].bits == bits) return int(i);
    if (modeReglage >= 0 && modeReglage < int(modes.size())) return modeReglage;
    return -1;
}

int NiveauBuffer(const std::uint8_t* d, int taille, bool huitBits) {
    int a = 0;
    if (huitBits) {
        // Only swings above silence count, and an 8-bit swing already lies within 0 ... 127.
        for (int i = 0; i < taille; ++i)
            a = std::max(a, int(d[i]) - 128);
        return a;
    }
    for (int i = 0; i + 1 < taille; i += 2) {
        const int v = std::int16_t(std::uint16_t(d[i] | (d[i + 1] << 8)));
        a = std::max(a, std::abs(v));
    }
    return a / 256;
}

int HistoriqueNiveau::Longueur(std::uint32_t frequence, std::uint32_t bits) {
    const std::uint32_t diviseur = frequence == 0 ? 0 : 44100 / frequence;
    const int base = bits == 8 ? 16 : 32;
    if (diviseur == 0) return base; // above 44100 Hz: as at 44100 Hz
    return std::clamp(int(base / diviseur), 1, kTaille - 1);
}

void HistoriqueNiveau::Ajouter(int niveau) {
    for (int i = 0; i < longueur_; ++i)
        h_[i] = h_[i + 1];
    h_[longueur_] = niveau;
}

int HistoriqueNiveau::Maximum() const {
    return *std::max_element(h_.begin(), h_.begin() + longueur_ + 1);
}

double DureeEcoulee(std::int64_t ms) {
    if (ms < 0) ms = 0;
    const std::int64_t minutes = (ms / 60000) % 60;
    const std::int64_t secondes = (ms / 1000) % 60;
    const std::int64_t millis = ms % 1000;
    return double(minutes * 60 + secondes) + double(millis) / 1000.0;
}

int LimiteAttente(double e, int intervalleMs) {
    // The subtraction of the whole seconds is how the wait has always been counted; it shortens
    // the wait by a few milliseconds only.
    return ArrondiInt((1000.0 * e - std::trunc(e)) / intervalleMs) + 1;
}

} // namespace kinepo
