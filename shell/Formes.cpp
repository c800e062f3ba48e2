#include "shell/Formes.h"

#include "fringes/ui/MichelsonForm.h"
#include "image/ui/BitmapForm.h"
#include "image/ui/JpegEchelleDlg.h"
#include "optics/ui/OptiqueForm.h"
#include "shell/ImageMain.h"
#include "sound/ui/WavMain.h"
#include "transfer/ui/ImageDDE.h"
#include "video/ui/AviForm.h"
#include "video/ui/ChronoU.h"
#include "video/ui/MovieForm.h"

// Each subsystem adds its include and its registration below, one block each.

namespace kinepo {

void EnregistrerFormes(TImageFormMain& lanceur) {
    (void)lanceur;

    { // Transfer: the link holder and the transfer dialog live for the whole run.
        TFormDDE* dde = CreerObjetsTransfert(&lanceur, lanceur.RepTabulane());
        QObject::connect(&lanceur, &TImageFormMain::RepertoireTabulaneChange, dde,
                         &TFormDDE::CalculeCheminTabulane);
    }

    // Sound: "Lecture d'un fichier .WAV" opens TWaveForm.
    lanceur.DefinirFabrique(
        BoutonForme::Wav,
        {[](QWidget* p) -> QWidget* { return new TWaveForm(p); },
         [](QWidget* f, const QString& d) { static_cast<TWaveForm*>(f)->DefinirDossierInitial(d); },
         [](QWidget* f, const QString& fichier) {
             static_cast<TWaveForm*>(f)->LireFichier(fichier);
         }});

    // The point-placement dialog exists from the start; the light form reuses it.
    CreerJpegEchelleDlg(&lanceur);

    // Light: "Lecture d'intensité lumineuse" opens TOptiqueForm.
    lanceur.DefinirFabrique(BoutonForme::Interf,
                            {[](QWidget* p) -> QWidget* { return new TOptiqueForm(p); },
                             [](QWidget* f, const QString& d) {
                                 static_cast<TOptiqueForm*>(f)->DefinirDossierInitial(d);
                             },
                             [](QWidget* f, const QString& fichier) {
                                 static_cast<TOptiqueForm*>(f)->OuvrirFichier(fichier);
                             }});

    // The chronophotography window exists from the start.
    ChronoForm();

    // Video: "Lecture d'un fichier AVI ou MPEG" opens TAviForm.
    lanceur.DefinirFabrique(
        BoutonForme::Avi,
        {[](QWidget* p) -> QWidget* { return new TAviForm(p); },
         [](QWidget* f, const QString& d) { static_cast<TAviForm*>(f)->SetDossierInitial(d); },
         [](QWidget* f, const QString& fichier) {
             static_cast<TAviForm*>(f)->OuvrirFilm(fichier);
         }});

    // Image: "Lecture d'une courbe dans un fichier BMP, JPEG, GIF" opens TBitmapForm.
    lanceur.DefinirFabrique(BoutonForme::Bmp,
                            {[](QWidget* p) -> QWidget* { return new TBitmapForm(p); },
                             [](QWidget* f, const QString& d) {
                                 static_cast<TBitmapForm*>(f)->DefinirDossierInitial(d);
                             },
                             [](QWidget* f, const QString& fichier) {
                                 static_cast<TBitmapForm*>(f)->OpenPicture(fichier);
                             }});

    // Video: "MPG" opens TMovieForm.
    lanceur.DefinirFabrique(
        BoutonForme::Mpg,
        {[](QWidget* p) -> QWidget* { return new TMovieForm(p); },
         [](QWidget* f, const QString& d) { static_cast<TMovieForm*>(f)->SetDossierInitial(d); },
         [](QWidget* f, const QString& fichier) {
             static_cast<TMovieForm*>(f)->OuvrirFilm(fichier);
         }});

    // Fringes: "Suivi de Michelson avec Webcam" opens TMichelsonForm (it opens no file).
    lanceur.DefinirFabrique(BoutonForme::Michelson,
                            {[](QWidget* p) -> QWidget* { return new TMichelsonForm(p); },
                             [](QWidget* f, const QString& d) {
                                 static_cast<TMichelsonForm*>(f)->DefinirDossierInitial(d);
                             },
                             [](QWidget*, const QString&) {}});
}

} // namespace kinepo
