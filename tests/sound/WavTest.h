#pragma once
// WAV files made by the tests: a canonical 44-byte header (or a variant of it) and generated
// samples, so that every expected value is computed here rather than read from a fixture.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace kinepo::test {

struct OptionsWav {
    std::uint32_t frequence = 11025;
    int voies = 1;
    int bits = 8;
    std::int64_t trames = 11025;
    QByteArray chunkAvantData;               // e.g. a "LIST" chunk between "fmt " and "data"
    std::optional<std::uint32_t> tailleRiff; // default: the true size
    std::optional<std::uint32_t> tailleData; // default: the true size
    // Sample of frame i, channel v: 0..255 for 8 bits, -32768..32767 for 16 bits.
    std::function<int(std::int64_t i, int v)> echantillon = [](std::int64_t i, int v) {
        return int((i * 7 + v * 50) % 256);
    };
};

inline void Ajouter16(QByteArray& b, std::uint16_t v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}
inline void Ajouter32(QByteArray& b, std::uint32_t v) {
    for (int k = 0; k < 4; ++k)
        b.append(char((v >> (8 * k)) & 0xFF));
}

inline QByteArray FabriquerWav(const OptionsWav& o) {
    QByteArray donnees;
    const int octetsParEch = o.bits / 8;
    donnees.reserve(qsizetype(o.trames * o.voies * octetsParEch));
    for (std::int64_t i = 0; i < o.trames; ++i)
        for (int v = 0; v < o.voies; ++v) {
            const int s = o.echantillon(i, v);
            if (octetsParEch == 1)
                donnees.append(char(std::uint8_t(s)));
            else if (octetsParEch == 2)
                Ajouter16(donnees, std::uint16_t(std::int16_t(s)));
            else
                for (int k = 0; k < octetsParEch; ++k)
                    donnees.append(char(k == octetsParEch - 1 ? s >> 8 : 0));
        }
    QByteArray w;
    const std::uint32_t tailleVraie = std::uint32_t(36 + o.chunkAvantData.size() + donnees.size());
    w.append("RIFF");
    Ajouter32(w, o.tailleRiff.value_or(tailleVraie));
    w.append("WAVEfmt ");
    Ajouter32(w, 16);
    Ajouter16(w, 1);
    Ajouter16(w, std::uint16_t(o.voies));
    Ajouter32(w, o.frequence);
    Ajouter32(w, std::uint32_t(o.frequence * o.voies * octetsParEch));
    Ajouter16(w, std::uint16_t(o.voies * octetsParEch));
    Ajouter16(w, std::uint16_t(o.bits));
    w.append(o.chunkAvantData);
    w.append("data");
    Ajouter32(w, o.tailleData.value_or(std::uint32_t(donnees.size())));
    w.append(donnees);
    return w;
}

inline QString EcrireFichier(const QString& dossier, const QString& nom, const QByteArray& octets) {
    const QString chemin = QDir(dossier).filePath(nom);
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(octets);
    return chemin;
}

} // namespace kinepo::test
