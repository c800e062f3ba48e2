#pragma once
// The dialogs of the translatable forms speak the dictionary's language: messages, questions,
// titles, button captions and file filters go through the dictionary before they are shown.
// A dialog raised while a window that is not translatable is active (the transfer dialog, the
// fringe form) stays French.
#include "platform/Dialogues.h"

#include <functional>

namespace kinepo {

class Dictionnaire;

class DialoguesTraduits : public IDialogues {
public:
    // `interne` shows the dialogs; `dictionnaire` gives the texts (found again at each call by
    // the function, so the launcher may come and go).
    DialoguesTraduits(IDialogues& interne, std::function<Dictionnaire*()> dictionnaire);

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
    std::optional<QString> choisirDossier(const QString& titre,
                                          const QString& dossierInitial) override;

    // The text as the current window should show it.
    QString T(const QString& texte) const;
    // A filter "A (*.a);;B (*.b)" item by item.
    QString Filtre(const QString& filtre) const;

private:
    IDialogues& interne_;
    std::function<Dictionnaire*()> dictionnaire_;
};

} // namespace kinepo
