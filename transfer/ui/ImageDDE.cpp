#include "transfer/ui/ImageDDE.h"

#include "platform/Chemins.h"
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "platform/Processus.h"
#include "platform/lien/ClientLien.h"
#include "platform/lien/SemaphoreNomme.h"
#include "platform/lien/ServeurLien.h"
#include "transfer/CheminTabulane.h"
#include "transfer/ui/ImageConst.h"

#include <QFileInfo>
#include <QThread>

namespace kinepo {

namespace {
QPointer<TFormDDE> g_instance;
TFormDDE::EnvoiScripte g_envoiScripte;
} // namespace

TFormDDE::TFormDDE(QObject* parent) : QObject(parent), ClientDDE(std::make_unique<ClientLien>()) {
    Attendre = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };

    ServeurLien::Gestionnaire g;
    const auto notreSujet = [](const QString& sujet) {
        return sujet.compare(kSujetServeurDDE, Qt::CaseInsensitive) == 0;
    };
    g.connecter = [notreSujet](const QString& sujet) {
        return notreSujet(sujet) ? ServeurLien::Decision::Accepter : ServeurLien::Decision::Refuser;
    };
    // The topic has no items: every advise is refused (empty handler).
    g.executer = [this](const QString&, const QString& commande) {
        ServeurDDEExecuteMacro(commande);
        return ServeurLien::Decision::Accepter;
    };
    ServeurDDE = std::make_unique<ServeurLien>(std::move(g));
    // Another copy of this program may serve the name already; this one then goes without.
    ServeurDDE->ecouter(NomService());

    CalculeCheminTabulane(QString());
    if (!g_instance) g_instance = this;
}

TFormDDE::~TFormDDE() = default;

TFormDDE& TFormDDE::Instance() {
    if (!g_instance) g_instance = new TFormDDE(nullptr);
    return *g_instance;
}

TFormDDE::EnvoiScripte TFormDDE::DefinirEnvoiScripte(EnvoiScripte envoi) {
    std::swap(envoi, g_envoiScripte);
    return envoi;
}

QString TFormDDE::NomService() const {
    return QFileInfo(CheminExecutable()).completeBaseName();
}

bool TFormDDE::ServeurActif() const {
    return ServeurDDE->ecoute();
}

void TFormDDE::CalculeCheminTabulane(const QString& repTabulane) {
    CheminTabulane = kinepo::CalculeCheminTabulane(repTabulane, Registre());
}

bool TFormDDE::Lancer(const QString& ligneCommande) {
    const auto commande = ScinderLigneCommande(ligneCommande);
    if (!commande) return false;
    return Processus().lancer(commande->programme, commande->arguments);
}

void TFormDDE::LanceTabulane() {
    bool existait = false;
    auto s = SemaphoreNomme::Creer(kSemaphoreTabulane, &existait);
    // The first semaphore is kept for the whole run, so that from then on this check never
    // starts the analysis program again; later handles add nothing.
    if (s && !semaphore_) semaphore_ = std::move(s);
    if (existait) return;
    if (Lancer(CheminTabulane)) Attendre(kAttenteApresLancementMs);
}

bool TFormDDE::OuvrirConversation() {
    auto ouvrir = [this] {
        if (!ClientDDE->connecter(kServiceTabulane, kSujetServeurDDE)) return false;
        // A refused hot link drops the item; the conversation still counts as open.
        ClientDDE->conseiller(kItemServeur, QStringLiteral("text/plain"));
        return true;
    };
    if (ouvrir()) return true;
    const QString commande = CheminTabulane.isEmpty()
                                 ? QString(kServiceTabulane) + QLatin1Char(' ') + kSujetServeurDDE
                                 : CheminTabulane;
    return Lancer(commande) && ouvrir();
}

void TFormDDE::EnvoieMacroDuProgramme(ChoixPage choix) {
    if (g_envoiScripte && g_envoiScripte(MacroPourChoix(choix))) return;
    Instance().EnvoieMacro(choix);
}

void TFormDDE::EnvoieMacro(ChoixPage choix) {
    const QString macro = MacroPourChoix(choix);
    if (g_envoiScripte && g_envoiScripte(macro)) return;

    ClientDDE->deconnecter();
    LanceTabulane();
    if (!OuvrirConversation()) {
        Attendre(kAttenteAvantSecondeOuvertureMs);
        ClientDDE->deconnecter();
        if (!OuvrirConversation()) {
            Dialogues().message(QStringLiteral("Impossible de lancer Tabulane"));
            return;
        }
    }
    if (!ClientDDE->executer(macro)) Dialogues().message(macro + QStringLiteral(" non exécuté"));
    ClientDDE->deconnecter();
}

void TFormDDE::ServeurDDEExecuteMacro(const QString& commande) {
    Q_UNUSED(commande);
    if (lanceur_) {
        if (lanceur_->isMinimized())
            lanceur_->showNormal();
        else
            lanceur_->show();
        lanceur_->raise();
        lanceur_->activateWindow();
        lanceur_->setFocus(Qt::OtherFocusReason);
    }
    emit LanceurAuPremierPlan();
}

TFormDDE* CreerObjetsTransfert(QWidget* lanceur, const QString& repTabulane) {
    auto* dde = new TFormDDE(lanceur);
    dde->DefinirLanceur(lanceur);
    dde->CalculeCheminTabulane(repTabulane);
    new TConstanteDlg(lanceur);
    return dde;
}

} // namespace kinepo
