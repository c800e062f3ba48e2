#pragma once
// Modal dialogs the forms use: messages, questions, input boxes, file and folder choosers.
// The program shows them through the implementation installed in Plateforme; tests install a
// scripted fake (tests/support/FakeDialogues.h) so that no test ever blocks on a window.
#include <QString>
#include <QStringList>
#include <optional>

namespace kinepo {

class IDialogues {
public:
    virtual ~IDialogues() = default;

    // Information message with an OK button.
    virtual void message(const QString& texte) = 0;
    // The default error display: an uncaught error's message, with an OK button.
    virtual void erreur(const QString& texte) = 0;
    // Yes/No question; true on Yes.
    virtual bool confirmer(const QString& texte) = 0;
    // Question with the given button captions; the index of the button chosen, or -1 when the
    // box was closed without a choice.
    virtual int demander(const QString& texte, const QStringList& boutons) = 0;
    // Input box; nothing when the user cancels.
    virtual std::optional<QString> saisir(const QString& titre, const QString& invite,
                                          const QString& defaut) = 0;
    // File open dialog. filtre uses Qt's form "Films (*.avi *.mpg);;Tous (*)".
    // Nothing when cancelled.
    virtual std::optional<QString> ouvrirFichier(const QString& titre, const QString& dossier,
                                                 const QString& filtre) = 0;
    // The same, opening on filter number indexFiltre (1-based, as the settings keep it) and
    // handing back in it the filter the user chose. By default the filter is not followed.
    virtual std::optional<QString> ouvrirFichierFiltre(const QString& titre, const QString& dossier,
                                                       const QString& filtre, int& indexFiltre) {
        (void)indexFiltre;
        return ouvrirFichier(titre, dossier, filtre);
    }
    // File save dialog, proposing nomDefaut; the dialog itself asks nothing about overwriting.
    virtual std::optional<QString> enregistrerFichier(const QString& titre, const QString& dossier,
                                                      const QString& filtre,
                                                      const QString& nomDefaut) = 0;
    // The same, opening on filter number indexFiltre (1-based) and handing back in it the filter
    // the user chose. By default the filter is not followed.
    virtual std::optional<QString>
    enregistrerFichierFiltre(const QString& titre, const QString& dossier, const QString& filtre,
                             const QString& nomDefaut, int& indexFiltre) {
        (void)indexFiltre;
        return enregistrerFichier(titre, dossier, filtre, nomDefaut);
    }
    // Folder chooser that accepts a typed folder that does not exist yet (the caller asks
    // whether to create it). Nothing when cancelled.
    virtual std::optional<QString> choisirDossier(const QString& titre,
                                                  const QString& dossierInitial) = 0;
};

} // namespace kinepo
