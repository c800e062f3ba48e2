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

// A WAV file of any sample format, its bytes given as they are written: the format chunk (16
// bytes, or 40 with WAVE_FORMAT_EXTENSIBLE), optional chunks before "fmt " and before "data".
struct WavBrut {
    std::uint16_t tag = 1;        // 1 PCM, 3 IEEE float, 0xFFFE WAVE_FORMAT_EXTENSIBLE
    std::uint16_t sousFormat = 1; // with 0xFFFE: 1 PCM, 3 IEEE float
    std::uint16_t voies = 1;
    std::uint32_t frequence = 11025;
    std::uint16_t bits = 24;
    QByteArray avantFmt, avantData;
    QByteArray donnees;
    std::optional<std::uint32_t> tailleRiff, tailleData;
};

inline QByteArray FabriquerWavBrut(const WavBrut& o) {
    QByteArray fmt;
    const std::uint16_t alignement = std::uint16_t(o.voies * (o.bits / 8));
    Ajouter16(fmt, o.tag);
    Ajouter16(fmt, o.voies);
    Ajouter32(fmt, o.frequence);
    Ajouter32(fmt, o.frequence * alignement);
    Ajouter16(fmt, alignement);
    Ajouter16(fmt, o.bits);
    if (o.tag == 0xFFFE) {
        Ajouter16(fmt, 22);                   // extension size
        Ajouter16(fmt, o.bits);               // valid bits
        Ajouter32(fmt, o.voies == 2 ? 3 : 4); // channel mask: FL FR, or FC
        // The sub-format GUID: the format code, then 00000000-0010-8000-00AA00389B71.
        Ajouter16(fmt, o.sousFormat);
        fmt.append(QByteArray::fromHex("000000001000800000aa00389b71"));
    }
    QByteArray corps("WAVE");
    corps.append(o.avantFmt);
    corps.append("fmt ");
    Ajouter32(corps, std::uint32_t(fmt.size()));
    corps.append(fmt);
    corps.append(o.avantData);
    corps.append("data");
    Ajouter32(corps, o.tailleData.value_or(std::uint32_t(o.donnees.size())));
    corps.append(o.donnees);
    QByteArray w("RIFF");
    Ajouter32(w, o.tailleRiff.value_or(std::uint32_t(corps.size())));
    w.append(corps);
    return w;
}

// A chunk: identifier, size, content and the pad byte that follows an odd size.
inline QByteArray Chunk(const char* id, const QByteArray& contenu) {
    QByteArray c(id, 4);
    Ajouter32(c, std::uint32_t(contenu.size()));
    c.append(contenu);
    if (contenu.size() % 2) c.append('\0');
    return c;
}

inline QString EcrireFichier(const QString& dossier, const QString& nom, const QByteArray& octets) {
    const QString chemin = QDir(dossier).filePath(nom);
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(octets);
    return chemin;
}

} // namespace kinepo::test
