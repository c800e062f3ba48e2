#include "shell/base/DialoguesTraduits.h"

#include "shell/base/Dictionnaire.h"
#include "shell/base/TradForm.h"

#include <QApplication>
#include <QWidget>

namespace kinepo {
namespace {

// The window a dialog would belong to: the active one, else the one holding the focus. None
// (no window has the focus yet) counts as translatable.
bool FenetreTraduisible() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) w = QApplication::activeWindow();
    if (!w && QApplication::focusWidget()) w = QApplication::focusWidget()->window();
    if (!w) return true;
    return qobject_cast<TTradForm*>(w) != nullptr;
}

} // namespace

DialoguesTraduits::DialoguesTraduits(IDialogues& interne,
                                     std::function<Dictionnaire*()> dictionnaire)
    : interne_(interne), dictionnaire_(std::move(dictionnaire)) {}

QString DialoguesTraduits::T(const QString& texte) const {
    Dictionnaire* d = dictionnaire_ ? dictionnaire_() : nullptr;
    if (!d || d->LangueCourante() < 1 || !FenetreTraduisible()) return texte;
    return d->Traduire(texte);
}

QString DialoguesTraduits::Filtre(const QString& filtre) const {
    QStringList items = filtre.split(QStringLiteral(";;"));
    for (QString& i : items)
        i = T(i);
    return items.join(QStringLiteral(";;"));
}

void DialoguesTraduits::message(const QString& texte) {
    interne_.message(T(texte));
}
void DialoguesTraduits::erreur(const QString& texte) {
    interne_.erreur(T(texte));
}
bool DialoguesTraduits::confirmer(const QString& texte) {
    return interne_.confirmer(T(texte));
}
int DialoguesTraduits::demander(const QString& texte, const QStringList& boutons) {
    QStringList b = boutons;
    for (QString& x : b)
        x = T(x);
    return interne_.demander(T(texte), b);
}
std::optional<QString> DialoguesTraduits::saisir(const QString& titre, const QString& invite,
                                                 const QString& defaut) {
    return interne_.saisir(T(titre), T(invite), defaut);
}
std::optional<QString> DialoguesTraduits::ouvrirFichier(const QString& titre,
                                                        const QString& dossier,
                                                        const QString& filtre) {
    return interne_.ouvrirFichier(T(titre), dossier, Filtre(filtre));
}
std::optional<QString> DialoguesTraduits::ouvrirFichierFiltre(const QString& titre,
                                                              const QString& dossier,
                                                              const QString& filtre,
                                                              int& indexFiltre) {
    return interne_.ouvrirFichierFiltre(T(titre), dossier, Filtre(filtre), indexFiltre);
}
std::optional<QString> DialoguesTraduits::enregistrerFichier(const QString& titre,
                                                             const QString& dossier,
                                                             const QString& filtre,
                                                             const QString& nomDefaut) {
    return interne_.enregistrerFichier(T(titre), dossier, Filtre(filtre), nomDefaut);
}
std::optional<QString> DialoguesTraduits::choisirDossier(const QString& titre,
                                                         const QString& dossierInitial) {
    return interne_.choisirDossier(T(titre), dossierInitial);
}

} // namespace kinepo
