#pragma once
// Logic of the recording: the list of recording modes offered by the input device, the live
// level meter of the mode dialog, and the wait before the recording is saved.
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace kinepo {

// One recording mode of the mode list.
struct ModeEnregistrement {
    QString texte; // "22050 Hz 16 bits"
    bool stereo = false;
    std::uint32_t frequence = 0;
    std::uint32_t bits = 0;
};

// Capability flags of an input device, one per mode, in the order the list shows them.
enum CapaciteEntree : std::uint32_t {
    Cap11025_8 = 1,
    Cap11025_16 = 4,
    Cap22050_8 = 16,
    Cap22050_16 = 64,
    Cap44100_8 = 256,
    Cap44100_16 = 1024,
};

// The modes of a capability mask (at most six, all mono).
std::vector<ModeEnregistrement> ListeModes(std::uint32_t masque);
// The item to select: the mode with that frequency and those bits, else the "Mode" setting;
// -1 when that setting points outside the list.
int ModeChoisi(const std::vector<ModeEnregistrement>& modes, std::uint32_t frequence,
               std::uint32_t bits, int modeReglage);

// Level of one input buffer, 0 ... 128: for 8 bits the largest swing above silence (byte - 128),
// for 16 bits the largest |sample| divided by 256.
int NiveauBuffer(const std::uint8_t* donnees, int taille, bool huitBits);

// The meter's history: the last L + 1 levels, L buffers spanning about 1.5 s.
class HistoriqueNiveau {
public:
    static constexpr int kTaille = 33;
    // L = (16 for 8 bits, 32 for 16 bits) div (44100 div f), kept within 1 ... 32.
    static int Longueur(std::uint32_t frequence, std::uint32_t bits);
    void Initialiser(int longueur) {
        longueur_ = longueur;
        h_.fill(0);
    }
    int Longueur() const { return longueur_; }
    // Shifts the history and appends a level.
    void Ajouter(int niveau);
    // The largest of the kept levels (what the bar shows).
    int Maximum() const;

private:
    std::array<std::int32_t, kTaille> h_{};
    int longueur_ = 4;
};

// Elapsed seconds of a recording as the stop wait counts them: minutes x 60 + seconds +
// milliseconds / 1000 of the elapsed time; whole hours are not counted.
double DureeEcoulee(std::int64_t ecouleMs);
// Number of 110 ms ticks to wait after the stop before saving: about the recording's length.
int LimiteAttente(double ecouleSecondes, int intervalleMs = 110);

} // namespace kinepo
