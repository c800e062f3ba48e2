#pragma once
// The link holder: finds or starts the analysis program, tells it to read the clipboard, and
// serves this program's own topic, through which the analysis program brings the launcher
// forward. Created at start-up, never shown, alive for the whole run.
//
// Names of the link: the analysis program serves "Tabulane", topic "ServeurDDE", item
// "ServeurItem", and reads the clipboard on "CLIP|LOAD" (new file) and "CLIP|ADD" (new page).
// This program serves topic "ServeurDDE" under its executable's name. The protocol is
// described in docs/lien-tabulane.md.
#include "transfer/PageTransfert.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

namespace kinepo {

class ClientLien;
class SemaphoreNomme;
class ServeurLien;

inline constexpr QLatin1StringView kServiceTabulane("Tabulane");
inline constexpr QLatin1StringView kSujetServeurDDE("ServeurDDE");
inline constexpr QLatin1StringView kItemServeur("ServeurItem");
inline constexpr QLatin1StringView kSemaphoreTabulane("Tabulane");
inline constexpr int kAttenteApresLancementMs = 1500;
inline constexpr int kAttenteAvantSecondeOuvertureMs = 1000;

class TFormDDE : public QObject {
    Q_OBJECT
public:
    // Starts serving this program's topic. The first one created becomes Instance().
    explicit TFormDDE(QObject* parent = nullptr);
    ~TFormDDE() override;

    // The holder of the run: the one created at start-up, or one made on first use (tests).
    static TFormDDE& Instance();

    // The command line that starts the analysis program.
    QString CheminTabulane;

    // Finds or starts the analysis program and sends the macro of the choice ("CLIP|LOAD" or
    // "CLIP|ADD"). Failures end in the messages "Impossible de lancer Tabulane" or
    // "<macro> non exécuté"; waits at most 1500 + 1000 ms plus the link's answer timeouts.
    void EnvoieMacro(ChoixPage choix);
    // Start check: unless the semaphore "Tabulane" already exists, starts CheminTabulane and
    // waits 1500 ms after a successful start. The semaphore made here is held for the run.
    void LanceTabulane();

    // The launcher (brought forward by ServeurDDEExecuteMacro).
    void DefinirLanceur(QWidget* lanceur) { lanceur_ = lanceur; }
    // Name under which this program's topic is served (the executable's name, no extension).
    QString NomService() const;
    bool ServeurActif() const;

    // How the blocking waits are made (default: sleep, the interface frozen as intended).
    // Tests replace it to record the waits.
    std::function<void(int ms)> Attendre;

    // Test hook taking the place of the link: when installed and it returns true, the macro
    // counts as delivered and the link is not used. Returns the previous hook.
    using EnvoiScripte = std::function<bool(const QString& macro)>;
    static EnvoiScripte DefinirEnvoiScripte(EnvoiScripte envoi);
    // What a transfer calls: the test hook when it takes the macro, otherwise EnvoieMacro of
    // Instance() (so a scripted test never creates the holder nor touches the link).
    static void EnvoieMacroDuProgramme(ChoixPage choix);

public slots:
    // Recomputes CheminTabulane from the launcher's Tabulane folder and the registry.
    void CalculeCheminTabulane(const QString& repTabulane);
    // An execute request on this program's topic: the launcher is activated and takes the
    // focus; the command text is not read.
    void ServeurDDEExecuteMacro(const QString& commande);

signals:
    // Emitted after ServeurDDEExecuteMacro brought the launcher forward.
    void LanceurAuPremierPlan();

private:
    bool OuvrirConversation();
    bool Lancer(const QString& ligneCommande);

    std::unique_ptr<ClientLien> ClientDDE;
    std::unique_ptr<ServeurLien> ServeurDDE;
    std::unique_ptr<SemaphoreNomme> semaphore_;
    QPointer<QWidget> lanceur_;
};

// Start-up: creates the link holder and then the transfer dialog of the run, both owned by
// the launcher (alive until it closes), with the launcher as the window the link brings
// forward and the analysis program's path computed from the launcher's Tabulane folder.
// Connect the launcher's folder changes to the returned holder's CalculeCheminTabulane.
TFormDDE* CreerObjetsTransfert(QWidget* lanceur, const QString& repTabulane);

} // namespace kinepo
