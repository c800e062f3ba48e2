// libFuzzer target of the film opening: the codec label read from the AVI header, then the
// engine's opening, indexing and decoding of the first, a middle and the last frame. Any bytes
// give a film or a refusal with a reason; a film's frames have the film's size.
#include "FichierFuzz.h"

#include "platform/video/MoteurVideo.h"
#include "video/logic/FichierFilm.h"

using namespace kinepo;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // One decoder thread and no prefetch worker: each input runs the same way every time.
    MoteurVideo::FixerFilsDecodage(1);
    MoteurVideo::FixerPrechargementParDefaut(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const QString chemin = fuzz::EcrireEntree(donnees, taille, QStringLiteral("entree.avi"));
    const LibelleCodec libelle = IdentifierCodec(chemin);
    fuzz::Exiger(!libelle.texte.isEmpty());

    QString erreur;
    auto moteur = MoteurVideo::Ouvrir(chemin, &erreur);
    if (!moteur) {
        fuzz::Exiger(!erreur.isEmpty());
        return 0;
    }
    moteur->FixerBudgetCache(std::size_t(16) << 20);
    const InfosFilm& infos = moteur->Infos();
    fuzz::Exiger(infos.nombreImages >= 1 && infos.largeur > 0 && infos.hauteur > 0);
    for (std::int64_t n : {std::int64_t(0), infos.nombreImages / 2, infos.nombreImages - 1}) {
        const QImage image = moteur->Image(n);
        if (!image.isNull()) fuzz::Exiger(image.width() == infos.largeur && image.height() == infos.hauteur);
        (void)moteur->TempsMs(n);
    }
    (void)moteur->ImageA(infos.dureeMs / 2);
    return 0;
}
