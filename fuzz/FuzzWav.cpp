// libFuzzer target of the WAV reader: any bytes, written to a file and read back, must give a
// sound or an EWavError, never a read outside the file or the sound block.
#include "FichierFuzz.h"

#include "sound/TamponSon.h"

namespace {
kinepo::TamponSon& Son() {
    static kinepo::TamponSon son; // the block is allocated once, as in the form
    return son;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const QString chemin = kinepo::fuzz::EcrireEntree(donnees, taille, QStringLiteral("entree.wav"));
    auto& son = Son();
    try {
        son.Read(chemin);
    } catch (const kinepo::EWavError&) {
        return 0;
    }
    // A sound was read: every frame it announces lies inside the block.
    const std::int64_t fin = son.DebutDonnees() + son.OctetsDonnees();
    kinepo::fuzz::Exiger(son.NbEchantillons() >= 1 && fin <= kinepo::TamponSon::kTailleBloc);
    volatile int somme = 0;
    for (int v = 0; v < son.Voies(); ++v)
        somme = somme + son.Valeur(son.NbEchantillons() - 1, v);
    return 0;
}
