#pragma once
// The exchange text the analysis program reads from the clipboard: lines ended by CR LF,
// fields separated by one TAB (no quoting), values in the 6-digit general format, and keyword
// blocks "&<count> <KEYWORD>" followed by exactly <count> lines.
//
// A form builds its text in section order:
//   identification (analysis program only) → names → units → [descriptions] → data lines →
//   constant (AjouteConstante) → keyword blocks
// with the pieces below, then hands it over through Transferer (transfer/ui/Transfert.h).
#include "transfer/PageTransfert.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <vector>

namespace kinepo {

// Table lines (names, units, descriptions, data, uncertainties, constant) are cut to this
// many characters; the forms stay well below it.
inline constexpr int kLongueurLigneMax = 255;
inline constexpr QChar kSeparateurChamps = u'\t';
inline constexpr QLatin1StringView kFinLigne("\r\n");

// A line cut to kLongueurLigneMax characters.
QString CouperLigne(QString ligne);
// Lines as one text, every line (the last included) followed by CR LF.
QString JoindreLignes(const QStringList& lignes);

// Fields joined by one TAB, cut to kLongueurLigneMax characters.
QString LigneChamps(const QStringList& champs);
// Values written by ReelVersTexte (user's decimal separator), joined by TAB, cut likewise.
QString LigneValeurs(std::span<const double> valeurs);
// Header of a keyword block: "&" count " " keyword ("&4 INCERT").
QString EnteteBloc(int nombre, const QString& motCle);

class TexteEchange {
public:
    // Lines 1 to 3: the executable's path; the title when the page starts a new file, else an
    // empty line; the comment. With no title (std::nullopt) line 2 is left out altogether,
    // as the fringe-tracking form does.
    void ajouterIdentification(const PageTransfert& page, const std::optional<QString>& titre);

    // A names, units or descriptions line.
    void ajouterChamps(const QStringList& champs) { lignes_.append(LigneChamps(champs)); }
    // A data line through ReelVersTexte.
    void ajouterValeurs(std::span<const double> valeurs) { lignes_.append(LigneValeurs(valeurs)); }
    void ajouterValeurs(std::initializer_list<double> valeurs) {
        ajouterValeurs(std::span<const double>(valeurs.begin(), valeurs.size()));
    }
    // A line taken as it is (already formatted data, a path).
    void ajouterLigne(const QString& ligne) { lignes_.append(ligne); }

    // The constant block: nothing when the name is empty or the value does not read with
    // LireReel; otherwise an empty line, "name TAB", "unit TAB", "value TAB" (the value
    // written back by ReelVersTexte).
    void ajouterConstante(const ConstanteTransfert& constante);

    // A keyword block: its header with the number of lines, then the lines.
    void ajouterBloc(const QString& motCle, const QStringList& lignes);
    // INCERT: one line of uncertainties per data line, in the general format.
    void ajouterIncertitudes(std::span<const std::vector<double>> lignes);
    // INCERT with the same uncertainties on each of `nombre` data lines (video forms).
    void ajouterIncertitudes(int nombre, std::span<const double> ligne);
    void ajouterNomX(const QStringList& noms) { ajouterBloc(QStringLiteral("NOMX"), noms); }
    void ajouterNomY(const QStringList& noms) { ajouterBloc(QStringLiteral("NOMY"), noms); }
    // ORTHO: `nombre` lines "1".
    void ajouterOrtho(int nombre) { ajouterBlocDeUns(QStringLiteral("ORTHO"), nombre); }
    // COULEUR: one colour value per curve ("0", "255").
    void ajouterCouleurs(std::span<const int> couleurs);
    // LIGNE: `nombre` lines "1".
    void ajouterLigneBloc(int nombre) { ajouterBlocDeUns(QStringLiteral("LIGNE"), nombre); }
    // ANALOG: one line "1".
    void ajouterAnalog() { ajouterBlocDeUns(QStringLiteral("ANALOG"), 1); }
    // FICHIER: the full path of the media file.
    void ajouterFichier(const QString& chemin) { ajouterBloc(QStringLiteral("FICHIER"), {chemin}); }

    const QStringList& lignes() const { return lignes_; }
    // The whole text, every line (the last included) followed by CR LF. This is what goes
    // on the clipboard (the clipboard carries Unicode).
    QString texte() const;
    // The same text as CP1252 bytes, for files.
    QByteArray octetsCp1252() const;

private:
    void ajouterBlocDeUns(const QString& motCle, int nombre);
    QStringList lignes_;
};

// Appends the constant block to a list of lines (same rules as TexteEchange::ajouterConstante).
void AjouteConstante(QStringList& lignes, const ConstanteTransfert& constante);

} // namespace kinepo
