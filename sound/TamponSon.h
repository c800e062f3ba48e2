#pragma once
// The sound of the sound form: one fixed block of 4 194 310 bytes (a format byte, then at most
// 2^22 bytes of PCM) allocated once with the form and reused by every file and every recording,
// plus the description that goes with it, and the WAV reader that fills both.
#include <QString>
#include <cstdint>
#include <memory>
#include <stdexcept>

namespace kinepo {

// Error of the WAV reader; carries only its French message (possibly empty).
class EWavError : public std::runtime_error {
public:
    explicit EWavError(const QString& message);
    QString message() const { return message_; }

private:
    QString message_;
};

// Sample format code kept in byte 0 of the block.
enum FormatSon : std::uint8_t {
    Mono8 = 0,
    Mono16 = 1,
    Stereo16 = 2,
    Stereo8 = 3,
};

class TamponSon {
public:
    static constexpr std::int64_t kTailleBloc = 4194310;
    static constexpr std::int64_t kDonneesMax = 4194304; // 2^22 bytes of PCM at most

    // Allocates the block once (filled with zeros: 8-bit mono, no frame).
    TamponSon();
    TamponSon(const TamponSon&) = delete;
    TamponSon& operator=(const TamponSon&) = delete;

    // Reads a sound file into the block. A file that does not exist only changes the stored name
    // (no error; the previous sound stays). Otherwise fills the block and the description or
    // throws EWavError: "Problème d'ouverture" (cannot open), "Format du fichier WAV non reconnu"
    // (a sound of neither 8 nor 16 bits that cannot be decoded either), "Format incorrect" (no
    // "data" chunk, nor "data" tag before the RIFF size or the end of the file), an empty message
    // (no complete frame). Never reads outside the file or the block.
    //
    // 8- and 16-bit WAV are read as they are. Their chunks are walked (pad bytes included) for
    // "fmt " and "data"; what the walk does not find is taken from the canonical layout: the
    // format fields at offsets 20 ... 35 and a byte-by-byte search for "data" from byte 36
    // (header bytes past the end of a short file count as zeros). A data size of 0xFFFFFFFF
    // means up to the end of the file. Any other sound (24/32-bit integer or float WAV,
    // WAVE_FORMAT_EXTENSIBLE, A-law, µ-law and ADPCM WAV, M4A/AAC, MP3, Ogg, FLAC) is decoded
    // into 16 bits (Converti()).
    void Read(const QString& nomFichier);

    // Description of the sound held.
    FormatSon Format() const { return static_cast<FormatSon>(octets_[0]); }
    bool Stereo() const { return Format() == Stereo16 || Format() == Stereo8; }
    int Bits() const { return (Format() == Mono16 || Format() == Stereo16) ? 16 : 8; }
    int Voies() const { return Stereo() ? 2 : 1; }
    std::int32_t NbEchantillons() const { return nbEchantillons_; } // frames
    std::uint32_t Frequence() const { return frequence_; }          // frames per second
    double Troncature() const { return troncature_; }               // data size / 2^22, or 1
    bool Tronque() const { return troncature_ != 1.0; }
    // True when the samples were decoded into 16 bits from another format.
    bool Converti() const { return converti_; }
    const QString& NomFichier() const { return nomFichier_; }
    void EffacerNom() { nomFichier_.clear(); }
    // The sound now goes by another name (it was saved under it); the samples stay.
    void Renommer(const QString& nomFichier) { nomFichier_ = nomFichier; }

    // Value of frame i (0 <= i < NbEchantillons) on channel voie (0 left, 1 right; a mono sound
    // has only 0): 8-bit samples minus 128, 16-bit samples as they are.
    int Valeur(std::int32_t i, int voie = 0) const {
        switch (Format()) {
        case Mono8:
            return int(octets_[1 + i]) - 128;
        case Stereo8:
            return int(octets_[1 + 2 * std::int64_t(i) + voie]) - 128;
        case Mono16:
            return lire16(2 + 2 * std::int64_t(i));
        case Stereo16:
            return lire16(2 + 4 * std::int64_t(i) + 2 * voie);
        }
        return 0;
    }

    // The raw block (format byte, then the samples at byte 1 or 2), for the plots and the player.
    const std::uint8_t* Octets() const { return octets_.get(); }
    std::uint8_t* Octets() { return octets_.get(); }
    // Where the samples start in the block and how many bytes of them are filled.
    int DebutDonnees() const { return Bits() == 16 ? 2 : 1; }
    std::int64_t OctetsDonnees() const {
        return std::int64_t(nbEchantillons_) * Voies() * (Bits() / 8);
    }

    // Fills the description directly (recording, tests, generators): format, frame count and
    // frequency; the caller has written the samples. The count is clamped to the block.
    void Definir(FormatSon format, std::int32_t nbEchantillons, std::uint32_t frequence,
                 const QString& nomFichier = {});

private:
    // Decodes a sound the WAV reader does not read itself into 16-bit samples; false when the
    // decoder does not take the file. `tramesAnnoncees` is the frame count the file's own header
    // gives (-1: ask the decoder), for the truncation ratio.
    bool LireConverti(const QString& nomFichier, std::int64_t tramesAnnoncees);
    int lire16(std::int64_t pos) const {
        return std::int16_t(std::uint16_t(octets_[pos] | (std::uint16_t(octets_[pos + 1]) << 8)));
    }
    std::unique_ptr<std::uint8_t[]> octets_;
    std::int32_t nbEchantillons_ = 0;
    std::uint32_t frequence_ = 0;
    double troncature_ = 1.0;
    bool converti_ = false;
    QString nomFichier_;
};

} // namespace kinepo
