// A stand-in for the analysis program, for the link tests. Built as an executable named
// "tabulane" so that the launcher's folder can point at it.
//
// Server mode (default): takes the semaphore "Tabulane", serves service "Tabulane", topic
// "ServeurDDE", item "ServeurItem", and appends one line per event to the journal:
//   DEMARRE <pid>            at start
//   SEMAPHORE cree|existait|echec
//   ECOUTE | OCCUPE <why>    listening, or the name is served already (then it exits)
//   CONNEXION                a client connected
//   REQUETE <line>           every request line, as received
// Options (argument, or environment variable TABULANE_SIMULE_<NAME> when absent):
//   --journal <file>         JOURNAL
//   --lent <ms>              LENT       wait before listening (a slow start)
//   --refuser sujet|item     REFUSER    refuse the topic or the hot link
//   --couper <REQUEST>       COUPER     close the connection on CONNECT, ADVISE or EXECUTE
//   --tuer <STEP>            TUER       die by SIGKILL, without answering, at CONNEXION (a
//                                       client connected), CONNECT, ADVISE, EXECUTE or
//                                       DISCONNECT (the request is journalled first)
//   --duree-max <ms>         DUREE_MAX  exit after this long (default 20000), so no test
//                                       leaves it behind
// Client mode: --executer <service> <topic> <command> connects, executes and disconnects;
// exit status 0 when the request was sent.
// Intruder mode: --connecter-socket <path> connects to that socket file itself and sends
// "CONNECT ServeurDDE"; exit status 0 when the server answered "OK", 1 otherwise (another
// user's process runs it against this user's socket).
#include "platform/lien/ClientLien.h"
#include "platform/lien/SemaphoreNomme.h"
#include "platform/lien/ServeurLien.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <unistd.h>

using kinepo::ServeurLien;

namespace {

QString option(const QStringList& args, const QString& nom, const char* variable) {
    const int i = static_cast<int>(args.indexOf(QStringLiteral("--") + nom));
    if (i >= 0 && i + 1 < args.size()) return args[i + 1];
    return qEnvironmentVariable(variable);
}

class Journal {
public:
    explicit Journal(const QString& chemin) : fichier_(chemin) {
        if (!chemin.isEmpty()) fichier_.open(QIODevice::WriteOnly | QIODevice::Append);
    }
    void ecrire(const QString& ligne) {
        if (!fichier_.isOpen()) return;
        // One write per line: several copies may share the file.
        fichier_.write((ligne + QLatin1Char('\n')).toUtf8());
        fichier_.flush();
    }

private:
    QFile fichier_;
};

int executer(const QStringList& args, int i) {
    if (i + 3 >= args.size()) return 2;
    kinepo::ClientLien client;
    if (!client.connecter(args[i + 1], args[i + 2])) {
        qWarning("%s", qPrintable(client.derniereErreur()));
        return 1;
    }
    const bool ok = client.executer(args[i + 3]);
    if (!ok) qWarning("%s", qPrintable(client.derniereErreur()));
    client.deconnecter();
    return ok ? 0 : 1;
}

int connecterSocket(const QString& chemin) {
    QLocalSocket s;
    s.connectToServer(chemin);
    if (!s.waitForConnected(2000)) {
        qWarning("%s", qPrintable(s.errorString()));
        return 1;
    }
    s.write("CONNECT ServeurDDE\n");
    if (!s.waitForBytesWritten(2000)) return 1;
    while (!s.canReadLine())
        if (!s.waitForReadyRead(2000)) return 1;
    return s.readLine().trimmed() == "OK" ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (const int i = static_cast<int>(args.indexOf(QStringLiteral("--executer"))); i >= 0)
        return executer(args, i);
    if (const int i = static_cast<int>(args.indexOf(QStringLiteral("--connecter-socket")));
        i >= 0 && i + 1 < args.size())
        return connecterSocket(args[i + 1]);

    Journal journal(option(args, QStringLiteral("journal"), "TABULANE_SIMULE_JOURNAL"));
    const int lentMs = option(args, QStringLiteral("lent"), "TABULANE_SIMULE_LENT").toInt();
    const QString refuser = option(args, QStringLiteral("refuser"), "TABULANE_SIMULE_REFUSER");
    const QString couper = option(args, QStringLiteral("couper"), "TABULANE_SIMULE_COUPER");
    const QString tuer = option(args, QStringLiteral("tuer"), "TABULANE_SIMULE_TUER");
    // A peer killed in the middle of a conversation: no answer, no clean close.
    auto mourirA = [&](const QString& etape) {
        if (!tuer.isEmpty() && etape == tuer) ::kill(::getpid(), SIGKILL);
    };
    int dureeMax = option(args, QStringLiteral("duree-max"), "TABULANE_SIMULE_DUREE_MAX").toInt();
    if (dureeMax <= 0) dureeMax = 20000;

    journal.ecrire(QStringLiteral("DEMARRE %1").arg(::getpid()));
    bool existait = false;
    auto semaphore = kinepo::SemaphoreNomme::Creer(QStringLiteral("Tabulane"), &existait);
    journal.ecrire(QStringLiteral("SEMAPHORE ") + (!semaphore ? QStringLiteral("echec")
                                                   : existait ? QStringLiteral("existait")
                                                              : QStringLiteral("cree")));
    if (lentMs > 0) QThread::msleep(static_cast<unsigned long>(lentMs));

    auto decision = [&](const char* requete, bool accepter) {
        if (couper == QLatin1String(requete)) return ServeurLien::Decision::Couper;
        return accepter ? ServeurLien::Decision::Accepter : ServeurLien::Decision::Refuser;
    };
    ServeurLien::Gestionnaire g;
    g.connecter = [&](const QString& sujet) {
        return decision("CONNECT",
                        refuser != QLatin1String("sujet") &&
                            sujet.compare(QLatin1String("ServeurDDE"), Qt::CaseInsensitive) == 0);
    };
    g.conseiller = [&](const QString&, const QString& item, const QString& format) {
        return decision("ADVISE",
                        refuser != QLatin1String("item") &&
                            item.compare(QLatin1String("ServeurItem"), Qt::CaseInsensitive) == 0 &&
                            format == QLatin1String("text/plain"));
    };
    g.executer = [&](const QString&, const QString& commande) {
        return decision("EXECUTE", commande == QLatin1String("CLIP|LOAD") ||
                                       commande == QLatin1String("CLIP|ADD"));
    };
    g.journal = [&](const QString& requete) {
        journal.ecrire(QStringLiteral("REQUETE ") + requete);
        mourirA(requete.section(QLatin1Char(' '), 0, 0));
    };
    g.connexion = [&] {
        journal.ecrire(QStringLiteral("CONNEXION"));
        mourirA(QStringLiteral("CONNEXION"));
    };

    ServeurLien serveur(std::move(g));
    QString erreur;
    if (!serveur.ecouter(QStringLiteral("Tabulane"), &erreur)) {
        journal.ecrire(QStringLiteral("OCCUPE ") + erreur);
        return 0;
    }
    journal.ecrire(QStringLiteral("ECOUTE"));
    QTimer::singleShot(dureeMax, &app, &QCoreApplication::quit);
    return app.exec();
}
