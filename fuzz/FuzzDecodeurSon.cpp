// libFuzzer target of the sound files decoded through FFmpeg (24/32-bit and float WAV, M4A,
// MP3, Ogg, FLAC): any bytes are refused or decode to blocks of whole frames.
#include "FichierFuzz.h"

#include "platform/audio/DecodeurSon.h"

using namespace kinepo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const QString chemin = fuzz::EcrireEntree(donnees, taille, QStringLiteral("entree.son"));
    DecodeurSon decodeur;
    if (!decodeur.Ouvrir(chemin)) return 0;
    // The sound form stops at its block; a few hundred blocks cover any input of this size.
    for (int bloc = 0; bloc < 512; ++bloc) {
        const int trames = decodeur.Suivant();
        fuzz::Exiger(trames >= 0);
        if (trames == 0) break;
        fuzz::Exiger(decodeur.Voies() >= 1 && decodeur.Frequence() > 0);
        const std::size_t n = std::size_t(trames) * std::size_t(decodeur.Voies());
        volatile double somme = 0;
        if (decodeur.Flottant())
            somme = somme + decodeur.Reels()[n - 1];
        else
            somme = somme + decodeur.Entiers()[n - 1];
    }
    return 0;
}
