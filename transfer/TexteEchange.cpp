#include "transfer/TexteEchange.h"

#include "common/Cp1252.h"
#include "common/Nombres.h"

namespace kinepo {

QString CouperLigne(QString ligne) {
    if (ligne.size() > kLongueurLigneMax) ligne.truncate(kLongueurLigneMax);
    return ligne;
}

QString JoindreLignes(const QStringList& lignes) {
    QString texte;
    qsizetype taille = 0;
    for (const QString& l : lignes) taille += l.size() + 2;
    texte.reserve(taille);
    for (const QString& l : lignes) {
        texte += l;
        texte += kFinLigne;
    }
    return texte;
}

QString LigneChamps(const QStringList& champs) {
    return CouperLigne(champs.join(kSeparateurChamps));
}

QString LigneValeurs(std::span<const double> valeurs) {
    QString ligne;
    for (size_t i = 0; i < valeurs.size(); ++i) {
        if (i > 0) ligne += kSeparateurChamps;
        ligne += ReelVersTexte(valeurs[i]);
        // Stop building once past the limit: the rest would be cut anyway.
        if (ligne.size() > kLongueurLigneMax) break;
    }
    return CouperLigne(std::move(ligne));
}

QString EnteteBloc(int nombre, const QString& motCle) {
    return QLatin1Char('&') + QString::number(nombre) + QLatin1Char(' ') + motCle;
}

void AjouteConstante(QStringList& lignes, const ConstanteTransfert& constante) {
    const QString nom = constante.nom.left(8);
    if (nom.isEmpty()) return;
    double valeur = 0;
    try {
        valeur = LireReel(constante.valeur);
    } catch (const ErreurConversion&) {
        return; // an unreadable value drops the whole block, silently
    }
    lignes.append(QString());
    lignes.append(CouperLigne(nom + kSeparateurChamps));
    lignes.append(CouperLigne(constante.unite + kSeparateurChamps));
    lignes.append(CouperLigne(ReelVersTexte(valeur) + kSeparateurChamps));
}

void PageTransfert::AjouteConstante(TexteEchange& texte) const {
    texte.ajouterConstante(constante);
}

QString MacroPourChoix(ChoixPage choix) {
    return choix == ChoixPage::NouvellePage ? QStringLiteral("CLIP|ADD")
                                            : QStringLiteral("CLIP|LOAD");
}

void TexteEchange::ajouterIdentification(const PageTransfert& page,
                                         const std::optional<QString>& titre) {
    lignes_.append(page.cheminExecutable);
    if (titre) lignes_.append(page.nouveauFichier() ? *titre : QString());
    lignes_.append(page.commentaire);
}

void TexteEchange::ajouterConstante(const ConstanteTransfert& constante) {
    AjouteConstante(lignes_, constante);
}

void TexteEchange::ajouterBloc(const QString& motCle, const QStringList& lignes) {
    lignes_.append(EnteteBloc(static_cast<int>(lignes.size()), motCle));
    lignes_.append(lignes);
}

void TexteEchange::ajouterIncertitudes(std::span<const std::vector<double>> lignes) {
    lignes_.append(EnteteBloc(static_cast<int>(lignes.size()), QStringLiteral("INCERT")));
    for (const auto& l : lignes)
        lignes_.append(LigneValeurs(l));
}

void TexteEchange::ajouterIncertitudes(int nombre, std::span<const double> ligne) {
    lignes_.append(EnteteBloc(nombre, QStringLiteral("INCERT")));
    const QString texte = LigneValeurs(ligne);
    for (int i = 0; i < nombre; ++i)
        lignes_.append(texte);
}

void TexteEchange::ajouterCouleurs(std::span<const int> couleurs) {
    QStringList l;
    for (int c : couleurs)
        l.append(QString::number(c));
    ajouterBloc(QStringLiteral("COULEUR"), l);
}

void TexteEchange::ajouterBlocDeUns(const QString& motCle, int nombre) {
    QStringList l;
    for (int i = 0; i < nombre; ++i)
        l.append(QStringLiteral("1"));
    ajouterBloc(motCle, l);
}

QString TexteEchange::texte() const { return JoindreLignes(lignes_); }

QByteArray TexteEchange::octetsCp1252() const {
    return VersCp1252(texte());
}

} // namespace kinepo
