#include "platform/lien/ServeurLien.h"

#include "platform/lien/DossierPrive.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <vector>

namespace kinepo {

namespace {
// A request line longer than this is not a request of this protocol: the peer is dropped
// rather than buffered without end.
constexpr qsizetype kLongueurRequeteMax = 64 * 1024;
} // namespace

struct ServeurLien::Impl {
    Gestionnaire g;
    std::unique_ptr<QLocalServer> serveur;
    std::vector<QPointer<QLocalSocket>> connexions;

    struct Conversation {
        QString sujet;
        bool ouverte = false;
    };

    static QString motif(const QString& requete) {
        if (requete.startsWith(QLatin1String("CONNECT"))) return QStringLiteral("unknown topic");
        if (requete.startsWith(QLatin1String("ADVISE"))) return QStringLiteral("unknown item");
        return QStringLiteral("refused");
    }

    void accepter() {
        std::erase_if(connexions, [](const QPointer<QLocalSocket>& c) { return c.isNull(); });
        while (QLocalSocket* s = serveur->nextPendingConnection()) {
            connexions.emplace_back(s);
            auto conv = std::make_shared<Conversation>();
            QObject::connect(s, &QLocalSocket::readyRead, s, [this, s, conv] { lire(s, *conv); });
            QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            if (g.connexion) g.connexion();
            // Bytes may have arrived with the connection itself.
            if (s->bytesAvailable() > 0) lire(s, *conv);
        }
    }

    void lire(QLocalSocket* s, Conversation& conv) {
        while (s->canReadLine()) {
            QByteArray brut = s->readLine(kLongueurRequeteMax);
            while (brut.endsWith('\n') || brut.endsWith('\r'))
                brut.chop(1);
            if (!traiter(s, conv, QString::fromUtf8(brut))) {
                s->disconnectFromServer();
                return;
            }
        }
        if (s->bytesAvailable() > kLongueurRequeteMax) s->abort();
    }

    // False when the connection is to be closed.
    bool traiter(QLocalSocket* s, Conversation& conv, const QString& requete) {
        if (g.journal) g.journal(requete);
        const qsizetype espace = requete.indexOf(QLatin1Char(' '));
        const QString verbe = espace < 0 ? requete : requete.left(espace);
        const QString reste = espace < 0 ? QString() : requete.mid(espace + 1);

        auto repondre = [s](const QByteArray& r) { s->write(r + '\n'); };
        auto appliquer = [&](Decision dcs) {
            switch (dcs) {
            case Decision::Accepter:
                repondre("OK");
                return true;
            case Decision::Refuser:
                repondre("ERR " + motif(requete).toUtf8());
                return true;
            case Decision::Couper:
                return false;
            }
            return false;
        };

        if (verbe == QLatin1String("CONNECT")) {
            if (conv.ouverte) {
                repondre("ERR conversation already open");
                return true;
            }
            if (reste.isEmpty()) {
                repondre("ERR missing topic");
                return true;
            }
            const Decision dcs = g.connecter ? g.connecter(reste) : Decision::Refuser;
            if (dcs == Decision::Accepter) {
                conv.ouverte = true;
                conv.sujet = reste;
            }
            return appliquer(dcs);
        }
        if (verbe == QLatin1String("ADVISE") || verbe == QLatin1String("EXECUTE")) {
            if (!conv.ouverte) {
                repondre("ERR no conversation");
                return true;
            }
            if (verbe == QLatin1String("EXECUTE"))
                return appliquer(g.executer ? g.executer(conv.sujet, reste) : Decision::Refuser);
            const qsizetype sep = reste.indexOf(QLatin1Char(' '));
            const QString item = sep < 0 ? reste : reste.left(sep);
            const QString format = sep < 0 ? QString() : reste.mid(sep + 1);
            if (item.isEmpty()) {
                repondre("ERR missing item");
                return true;
            }
            return appliquer(g.conseiller ? g.conseiller(conv.sujet, item, format)
                                          : Decision::Refuser);
        }
        if (verbe == QLatin1String("DISCONNECT")) {
            repondre("OK");
            s->flush();
            return false;
        }
        repondre("ERR unknown request");
        return true;
    }
};

ServeurLien::ServeurLien(Gestionnaire gestionnaire) : d(std::make_unique<Impl>()) {
    d->g = std::move(gestionnaire);
}

ServeurLien::~ServeurLien() {
    fermer();
}

bool ServeurLien::ecouter(const QString& service, QString* erreur) {
    fermer();
    const auto chemin = CheminSocketService(service, erreur);
    if (!chemin) return false;
    // A file already there is either a live server (it accepts a connection: the name is
    // taken) or the leftover of one that died (it refuses: the file is replaced). The check
    // comes before listening because QLocalServer would otherwise replace a live server's file.
    if (QFileInfo::exists(*chemin)) {
        QLocalSocket essai;
        essai.connectToServer(*chemin);
        if (essai.waitForConnected(500)) {
            essai.abort();
            if (erreur) *erreur = QStringLiteral("service already served: ") + service;
            return false;
        }
        QLocalServer::removeServer(*chemin);
    }
    // No socket options: the folder is private already, and options make QLocalServer bind
    // elsewhere and rename, which would silently take a name over.
    auto serveur = std::make_unique<QLocalServer>();
    if (!serveur->listen(*chemin)) {
        if (erreur) *erreur = serveur->errorString();
        return false;
    }
    QLocalServer* brut = serveur.get();
    QObject::connect(brut, &QLocalServer::newConnection, brut, [this] { d->accepter(); });
    d->serveur = std::move(serveur);
    return true;
}

void ServeurLien::fermer() {
    for (auto& s : d->connexions)
        if (s) s->abort();
    d->connexions.clear();
    if (d->serveur) {
        d->serveur->close(); // also removes the socket file
        d->serveur.reset();
    }
}

bool ServeurLien::ecoute() const {
    return d->serveur && d->serveur->isListening();
}

QString ServeurLien::chemin() const {
    return d->serveur ? d->serveur->fullServerName() : QString();
}

} // namespace kinepo
