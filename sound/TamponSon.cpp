#include "sound/TamponSon.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace kinepo {

EWavError::EWavError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

TamponSon::TamponSon() : octets_(new std::uint8_t[kTailleBloc]()) {}

void TamponSon::Definir(FormatSon format, std::int32_t nbEchantillons, std::uint32_t frequence,
                        const QString& nomFichier) {
    octets_[0] = format;
    const std::int64_t parEchantillon = Voies() * (Bits() / 8);
    nbEchantillons_ =
        std::int32_t(std::clamp<std::int64_t>(nbEchantillons, 0, kDonneesMax / parEchantillon));
    frequence_ = frequence;
    troncature_ = 1.0;
    nomFichier_ = nomFichier;
}

namespace {

std::uint32_t lire32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

} // namespace

void TamponSon::Read(const QString& nomFichier) {
    // Paths are case-sensitive here, so the name is kept as given rather than upper-cased.
    nomFichier_ = nomFichier;
    if (!QFileInfo::exists(nomFichier)) return;

    QFile f(nomFichier);
    if (!f.open(QIODevice::ReadOnly)) throw EWavError(QStringLiteral("Problème d'ouverture"));
    const qint64 tailleFichier = f.size();
    // From here on the previous sound is gone, whatever happens.
    nbEchantillons_ = 0;

    // The fixed-offset header: the RIFF size, the frequency, the channels and the bits sit at
    // the canonical places, and the chunk search starts at byte 36. Bytes missing from a short
    // file stay zero.
    std::uint8_t entete[40] = {};
    const qint64 lus = f.read(reinterpret_cast<char*>(entete), sizeof entete);
    const std::uint32_t tailleRiff = lire32(entete + 4);
    frequence_ = lire32(entete + 24);
    std::uint8_t format;
    switch (entete[34]) {
    case 8:
        format = Mono8;
        break;
    case 16:
        format = Mono16;
        break;
    default:
        throw EWavError(QStringLiteral("Format du fichier WAV non reconnu"));
    }
    if (entete[22] == 2) format = (format == Mono16) ? Stereo16 : Stereo8;

    // The data tag is searched byte by byte from offset 36, so that any chunk between "fmt "
    // and "data" is skipped. The search may move the window at most RIFF-size times; having
    // moved it that many times counts as not finding the tag (so a RIFF size of 0 is refused),
    // and so does the end of the file. The file is scanned through a small buffer rather than
    // one read per byte.
    std::uint8_t fenetre[4];
    std::memcpy(fenetre, entete + 36, 4);
    qint64 position = 40; // file bytes taken so far, window included
    qint64 deplacements = 0;
    bool trouve = lus >= 40 && std::memcmp(fenetre, "data", 4) == 0;
    if (lus >= 40) {
        char morceau[8192];
        qint64 nMorceau = 0, iMorceau = 0;
        while (!trouve && deplacements < qint64(tailleRiff)) {
            if (iMorceau == nMorceau) {
                nMorceau = f.read(morceau, sizeof morceau);
                iMorceau = 0;
                if (nMorceau <= 0) break;
            }
            std::memmove(fenetre, fenetre + 1, 3);
            fenetre[3] = std::uint8_t(morceau[iMorceau++]);
            ++position;
            ++deplacements;
            trouve = std::memcmp(fenetre, "data", 4) == 0;
        }
    }
    if (!trouve || deplacements >= qint64(tailleRiff))
        throw EWavError(QStringLiteral("Format incorrect"));

    std::uint8_t taille[4] = {};
    f.seek(position);
    f.read(reinterpret_cast<char*>(taille), 4);
    std::int64_t tailleDonnees = lire32(taille);
    troncature_ = 1.0;
    if (tailleDonnees > kDonneesMax) {
        troncature_ = double(tailleDonnees) / double(kDonneesMax);
        tailleDonnees = kDonneesMax;
    }

    octets_[0] = format;
    const int debut = (format == Mono8 || format == Stereo8) ? 1 : 2;
    // One read call for the whole data; an early end of the file gives fewer bytes.
    const qint64 recus = tailleDonnees > 0 && position + 4 < tailleFichier
                             ? f.read(reinterpret_cast<char*>(octets_.get() + debut), tailleDonnees)
                             : 0;
    f.close();
    const std::int64_t octetsLus = std::max<qint64>(recus, 0);
    nbEchantillons_ = std::int32_t(octetsLus / (Voies() * (Bits() / 8)));
    if (nbEchantillons_ < 1) throw EWavError(QString());
}

} // namespace kinepo
