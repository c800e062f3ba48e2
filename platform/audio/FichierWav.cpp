#include "platform/audio/FichierWav.h"

#include <QFile>
#include <QSaveFile>

namespace kinepo {

namespace {
void Ajouter16(QByteArray& b, std::uint16_t v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}
void Ajouter32(QByteArray& b, std::uint32_t v) {
    for (int k = 0; k < 4; ++k)
        b.append(char((v >> (8 * k)) & 0xFF));
}
} // namespace

QByteArray EnteteWav(const FormatPcm& f, std::uint32_t octets) {
    QByteArray h;
    h.reserve(44);
    h.append("RIFF");
    Ajouter32(h, 36 + octets);
    h.append("WAVEfmt ");
    Ajouter32(h, 16);
    Ajouter16(h, 1); // PCM
    Ajouter16(h, std::uint16_t(f.voies));
    Ajouter32(h, f.frequence);
    Ajouter32(h, f.frequence * std::uint32_t(f.octetsParTrame()));
    Ajouter16(h, std::uint16_t(f.octetsParTrame()));
    Ajouter16(h, std::uint16_t(f.bits));
    h.append("data");
    Ajouter32(h, octets);
    return h;
}

bool EcrireWav(const QString& chemin, const FormatPcm& format, const std::uint8_t* pcm,
               std::int64_t octets) {
    if (octets < 0 || octets > 0xFFFFFFFFll - 36) return false;
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QByteArray entete = EnteteWav(format, std::uint32_t(octets));
    if (f.write(entete) != entete.size()) return false;
    if (octets > 0 && f.write(reinterpret_cast<const char*>(pcm), octets) != octets) return false;
    return f.commit();
}

bool EstFichierWav(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray entete = f.read(12);
    return entete.size() == 12 && entete.startsWith("RIFF") && entete.mid(8, 4) == "WAVE";
}

bool CopierFichier(const QString& source, const QString& cible) {
    QFile entree(source);
    if (!entree.open(QIODevice::ReadOnly)) return false;
    QSaveFile sortie(cible);
    if (!sortie.open(QIODevice::WriteOnly)) return false;
    char morceau[1 << 16];
    for (;;) {
        const qint64 n = entree.read(morceau, sizeof morceau);
        if (n < 0) return false;
        if (n == 0) break;
        if (sortie.write(morceau, n) != n) return false;
    }
    return sortie.commit();
}

} // namespace kinepo
