#pragma once
// A dialog fake: answers come from queues the test fills beforehand, and everything shown is
// recorded. A dialog shown with no scripted answer fails the test and answers "cancel", so a
// test can never block on a modal window.
#include "platform/Dialogues.h"

#include <deque>
#include <optional>
#include <vector>

namespace kinepo::test {

class FakeDialogues : public IDialogues {
public:
    struct Affichage {
        QString genre;       // "message", "erreur", "confirmer", "demander", "saisir", "ouvrir",
                             // "enregistrer", "dossier"
        QString texte;       // the message, question, prompt or title
        QString dossier;     // initial folder for file and folder dialogs
        int indexFiltre = 0; // filter a ...Filtre file dialog showed first
    };

    // Scripted answers, taken in order.
    std::deque<bool> confirmations;
    std::deque<int> choix;                       // for demander
    std::deque<std::optional<QString>> saisies;  // for saisir
    std::deque<std::optional<QString>> fichiers; // for ouvrirFichier and enregistrerFichier
    std::deque<std::optional<QString>> dossiers; // for choisirDossier
    std::deque<int> filtresChoisis; // filter the user picks in a ...Filtre dialog (else kept)

    std::vector<Affichage> affiches;

    // The texts of every message and error shown, in order.
    std::vector<QString> messages() const;
    const Affichage* dernier() const { return affiches.empty() ? nullptr : &affiches.back(); }

    void message(const QString& texte) override;
    void erreur(const QString& texte) override;
    bool confirmer(const QString& texte) override;
    int demander(const QString& texte, const QStringList& boutons) override;
    std::optional<QString> saisir(const QString& titre, const QString& invite,
                                  const QString& defaut) override;
    std::optional<QString> ouvrirFichier(const QString& titre, const QString& dossier,
                                         const QString& filtre) override;
    std::optional<QString> ouvrirFichierFiltre(const QString& titre, const QString& dossier,
                                               const QString& filtre, int& indexFiltre) override;
    std::optional<QString> enregistrerFichier(const QString& titre, const QString& dossier,
                                              const QString& filtre,
                                              const QString& nomDefaut) override;
    std::optional<QString> enregistrerFichierFiltre(const QString& titre, const QString& dossier,
                                                    const QString& filtre, const QString& nomDefaut,
                                                    int& indexFiltre) override;
    std::optional<QString> choisirDossier(const QString& titre,
                                          const QString& dossierInitial) override;

private:
    // A file dialog with filters: recorded, answered from `fichiers`, the filter from
    // `filtresChoisis` when one is scripted.
    std::optional<QString> fichierAvecFiltre(const char* genre, const QString& titre,
                                             const QString& dossier, int& indexFiltre);
};

} // namespace kinepo::test
