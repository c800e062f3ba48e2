#include "sound/TamponSon.h"

#include "platform/audio/DecodeurSon.h"
#include "sound/ConversionSon.h"

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
    converti_ = false;
    nomFichier_ = nomFichier;
}

namespace {

std::uint32_t lire32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
std::uint16_t lireMot(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (std::uint16_t(p[1]) << 8));
}

constexpr std::uint32_t kTailleInconnue = 0xFFFFFFFFu; // a WAV written through a pipe

// Where a chunk's content starts in the file (-1: not found) and the size its header gives.
struct Chunk {
    qint64 debut = -1;
    std::uint32_t taille = 0;
    bool trouve() const { return debut >= 0; }
};

// Walks the RIFF chunks from byte 12 (identifier, size, content, a pad byte after an odd
// size) up to the end of the file, for the first "fmt " and "data". The RIFF size is not a
// bound: files written through a pipe leave it at 0 or 0xFFFFFFFF. A chunk that runs past the
// end of the file ends the walk.
void ParcourirChunks(QFile& f, qint64 tailleFichier, Chunk& fmt, Chunk& data) {
    qint64 pos = 12;
    while (pos + 8 <= tailleFichier && !(fmt.trouve() && data.trouve())) {
        std::uint8_t entete[8];
        if (!f.seek(pos) || f.read(reinterpret_cast<char*>(entete), 8) != 8) return;
        const std::uint32_t taille = lire32(entete + 4);
        if (!fmt.trouve() && std::memcmp(entete, "fmt ", 4) == 0 && taille >= 16)
            fmt = {pos + 8, taille};
        else if (!data.trouve() && std::memcmp(entete, "data", 4) == 0)
            data = {pos + 8, taille};
        pos += 8 + qint64(taille) + (taille & 1);
    }
}

// The byte-by-byte search for the "data" tag from `debut`: a four-byte window that moves on by
// one byte at most RIFF-size times; having moved it that many times counts as not finding the
// tag (so a RIFF size of 0 is refused), and so does the end of the file. Returns the offset just
// past the tag, or -1. The file is scanned through a small buffer rather than one read per byte.
qint64 ChercherData(QFile& f, qint64 debut, std::uint32_t tailleRiff) {
    std::uint8_t fenetre[4];
    if (!f.seek(debut) || f.read(reinterpret_cast<char*>(fenetre), 4) != 4) return -1;
    qint64 position = debut + 4; // file bytes taken so far, window included
    qint64 deplacements = 0;
    bool trouve = std::memcmp(fenetre, "data", 4) == 0;
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
    if (!trouve || deplacements >= qint64(tailleRiff)) return -1;
    return position;
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
    converti_ = false;

    // The canonical header: the RIFF size, then the format chunk right after the 12-byte RIFF
    // header, the chunk search starting at byte 36. Bytes missing from a short file stay zero.
    std::uint8_t entete[40] = {};
    const qint64 lus = f.read(reinterpret_cast<char*>(entete), sizeof entete);
    const std::uint32_t tailleRiff = lire32(entete + 4);
    const bool riff =
        lus >= 12 && std::memcmp(entete, "RIFF", 4) == 0 && std::memcmp(entete + 8, "WAVE", 4) == 0;
    // Anything that is not a RIFF WAVE file may be another kind of sound.
    if (!riff && LireConverti(nomFichier, -1)) return;

    // A RIFF file says where its chunks are; the fixed offsets are kept for what the walk does
    // not find, so that a canonical file reads exactly as before.
    Chunk fmt, data;
    if (riff) ParcourirChunks(f, tailleFichier, fmt, data);
    std::uint8_t champs[16]; // the format chunk's first 16 bytes (offsets 20 ... 35 when canonical)
    std::memcpy(champs, entete + 20, sizeof champs);
    if (fmt.trouve()) {
        std::memset(champs, 0, sizeof champs);
        f.seek(fmt.debut);
        f.read(reinterpret_cast<char*>(champs), sizeof champs);
    }
    frequence_ = lire32(champs + 4);
    // A-law and µ-law (telephone recordings) have 8 bits per sample but are not PCM: they are
    // decoded like the other formats below rather than read as PCM bytes.
    const std::uint16_t tag = lireMot(champs);
    const bool compande = tag == 6 || tag == 7;
    std::uint8_t format;
    switch (compande ? 0 : champs[14]) { // the low byte of the bits per sample
    case 8:
        format = Mono8;
        break;
    case 16:
        format = Mono16;
        break;
    default: {
        // 24/32-bit integers, floats, A-law, µ-law, compressed WAV: decoded into 16 bits.
        std::int64_t trames = -1;
        const std::uint16_t alignement = lireMot(champs + 12);
        if (data.trouve() && alignement > 0) {
            const std::int64_t octets = data.taille == kTailleInconnue
                                            ? std::max<qint64>(tailleFichier - data.debut, 0)
                                            : std::int64_t(data.taille);
            trames = octets / alignement;
        }
        if (riff && LireConverti(nomFichier, trames)) return;
        throw EWavError(QStringLiteral("Format du fichier WAV non reconnu"));
    }
    }
    // The channel count's low byte: 2 is stereo, anything else is read as mono.
    if (champs[2] == 2) format = (format == Mono16) ? Stereo16 : Stereo8;

    qint64 position; // just past the "data" tag
    if (data.trouve()) {
        position = data.debut - 4;
    } else {
        // From byte 36 when the format chunk is the canonical one (whatever size it claims),
        // else from the end of the format chunk the walk found.
        const qint64 debutRecherche =
            !fmt.trouve() || fmt.debut == 20 ? 36 : fmt.debut + qint64(fmt.taille);
        position = ChercherData(f, debutRecherche, tailleRiff);
        if (position < 0) throw EWavError(QStringLiteral("Format incorrect"));
    }

    std::uint8_t taille[4] = {};
    f.seek(position);
    f.read(reinterpret_cast<char*>(taille), 4);
    std::int64_t tailleDonnees = lire32(taille);
    // A size left unknown by a pipe means "up to the end of the file".
    if (tailleDonnees == kTailleInconnue)
        tailleDonnees = std::max<qint64>(tailleFichier - (position + 4), 0);
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

bool TamponSon::LireConverti(const QString& nomFichier, std::int64_t tramesAnnoncees) {
    DecodeurSon decodeur;
    if (!decodeur.Ouvrir(nomFichier)) return false;
    const int voiesSource = decodeur.Voies();
    // The form knows mono and stereo: a stereo sound keeps its left and right channels, a sound
    // of more channels its first two (front left and right), a mono sound its one channel.
    const int voies = voiesSource >= 2 ? 2 : 1;
    const std::int64_t capacite = kDonneesMax / (2 * voies);
    octets_[0] = voies == 2 ? Stereo16 : Mono16;
    frequence_ = decodeur.Frequence();
    converti_ = true;
    troncature_ = 1.0;

    std::uint8_t* sortie = octets_.get() + 2;
    std::int64_t n = 0;
    std::int64_t enTrop = 0; // frames decoded past the capacity
    for (int bloc; (bloc = decodeur.Suivant()) > 0;) {
        const int pris = int(std::min<std::int64_t>(bloc, capacite - n));
        const bool flottant = decodeur.Flottant();
        for (int i = 0; i < pris; ++i)
            for (int v = 0; v < voies; ++v) {
                const std::size_t k = std::size_t(i) * std::size_t(voiesSource) + std::size_t(v);
                const std::int16_t s = flottant ? ReelVers16(decodeur.Reels()[k])
                                                : EntierVers16(decodeur.Entiers()[k]);
                *sortie++ = std::uint8_t(std::uint16_t(s) & 0xFF);
                *sortie++ = std::uint8_t(std::uint16_t(s) >> 8);
            }
        n += pris;
        if (pris < bloc) {
            enTrop = bloc - pris;
            break;
        }
    }
    if (enTrop > 0) {
        // Cut at the block's capacity: the ratio compares the whole sound, in 16 bits, with it.
        std::int64_t total = tramesAnnoncees >= 0 ? tramesAnnoncees : decodeur.TramesAnnoncees();
        if (total < 0) {
            // A stream that does not say how long it is: count the rest.
            total = n + enTrop;
            for (int bloc; (bloc = decodeur.Suivant()) > 0;)
                total += bloc;
        }
        total = std::max(total, n + enTrop);
        troncature_ = double(total * voies * 2) / double(kDonneesMax);
    }
    nbEchantillons_ = std::int32_t(n);
    if (nbEchantillons_ < 1) throw EWavError(QString());
    return true;
}

} // namespace kinepo
