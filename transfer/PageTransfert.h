#pragma once
// What the transfer dialog hands to a form's text-building step: the new-file choice, the
// comment, the extra constant and where the text goes. A plain value, so form logic can be
// tested without the dialog.
#include <QString>

namespace kinepo {

class TexteEchange;

// Index of the dialog's "Données vers Tabulane" radio group.
enum class ChoixPage { NouveauFichier = 0, NouvellePage = 1 };

// Where a transfer sends its text. The analysis program gets identification lines, the
// constant and the keyword blocks; the clipboard alone gets the bare table (AVI form only).
enum class CibleTransfert { Tabulane, PressePapiers };

// The extra named constant, as typed in the dialog.
struct ConstanteTransfert {
    QString nom; // at most 8 characters are used
    QString unite;
    QString valeur; // read with LireReel when the block is written
};

struct PageTransfert {
    QString cheminExecutable; // line 1 of the text
    ChoixPage choix = ChoixPage::NouveauFichier;
    QString commentaire; // line 3 of the text
    ConstanteTransfert constante;
    CibleTransfert cible = CibleTransfert::Tabulane;

    bool nouveauFichier() const { return choix == ChoixPage::NouveauFichier; }
    bool versTabulane() const { return cible == CibleTransfert::Tabulane; }
    // Appends the constant block of this page (see TexteEchange::ajouterConstante).
    void AjouteConstante(TexteEchange& texte) const;
};

// The macro that makes the analysis program read the clipboard: "CLIP|LOAD" for a new file,
// "CLIP|ADD" for a new page of the open file.
QString MacroPourChoix(ChoixPage choix);

} // namespace kinepo
