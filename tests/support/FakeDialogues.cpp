#include "support/FakeDialogues.h"

#include <gtest/gtest.h>

namespace kinepo::test {
namespace {
template <class T> T prendre(std::deque<T>& file, const QString& quoi, T parDefaut) {
    if (file.empty()) {
        ADD_FAILURE() << "unscripted dialog: " << quoi.toStdString();
        return parDefaut;
    }
    T v = file.front();
    file.pop_front();
    return v;
}
} // namespace

std::vector<QString> FakeDialogues::messages() const {
    std::vector<QString> out;
    for (const auto& a : affiches)
        if (a.genre == "message" || a.genre == "erreur") out.push_back(a.texte);
    return out;
}

void FakeDialogues::message(const QString& texte) {
    affiches.push_back({"message", texte, {}});
}
void FakeDialogues::erreur(const QString& texte) {
    affiches.push_back({"erreur", texte, {}});
}

bool FakeDialogues::confirmer(const QString& texte) {
    affiches.push_back({"confirmer", texte, {}});
    return prendre(confirmations, texte, false);
}

int FakeDialogues::demander(const QString& texte, const QStringList& boutons) {
    affiches.push_back({"demander", texte, {}});
    return prendre(choix, texte, -1);
}

std::optional<QString> FakeDialogues::saisir(const QString& titre, const QString& invite,
                                             const QString&) {
    affiches.push_back({"saisir", invite, {}});
    return prendre(saisies, titre + " / " + invite, std::optional<QString>{});
}

std::optional<QString> FakeDialogues::ouvrirFichier(const QString& titre, const QString& dossier,
                                                    const QString&) {
    affiches.push_back({"ouvrir", titre, dossier});
    return prendre(fichiers, titre, std::optional<QString>{});
}

std::optional<QString> FakeDialogues::ouvrirFichierFiltre(const QString& titre,
                                                          const QString& dossier, const QString&,
                                                          int& indexFiltre) {
    return fichierAvecFiltre("ouvrir", titre, dossier, indexFiltre);
}

std::optional<QString> FakeDialogues::fichierAvecFiltre(const char* genre, const QString& titre,
                                                        const QString& dossier, int& indexFiltre) {
    affiches.push_back({genre, titre, dossier, indexFiltre});
    auto fichier = prendre(fichiers, titre, std::optional<QString>{});
    if (fichier && !filtresChoisis.empty()) {
        indexFiltre = filtresChoisis.front();
        filtresChoisis.pop_front();
    }
    return fichier;
}

std::optional<QString> FakeDialogues::enregistrerFichier(const QString& titre,
                                                         const QString& dossier, const QString&,
                                                         const QString&) {
    affiches.push_back({"enregistrer", titre, dossier});
    return prendre(fichiers, titre, std::optional<QString>{});
}

std::optional<QString> FakeDialogues::enregistrerFichierFiltre(const QString& titre,
                                                               const QString& dossier,
                                                               const QString&, const QString&,
                                                               int& indexFiltre) {
    return fichierAvecFiltre("enregistrer", titre, dossier, indexFiltre);
}

std::optional<QString> FakeDialogues::choisirDossier(const QString& titre,
                                                     const QString& dossierInitial) {
    affiches.push_back({"dossier", titre, dossierInitial});
    return prendre(dossiers, titre, std::optional<QString>{});
}

} // namespace kinepo::test
