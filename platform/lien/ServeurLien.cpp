#include "platform/lien/ServeurLien.h"

#include "platform/lien/DossierPrive.h"
#include "platform/lien/ProtocoleLien.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <vector>

namespace kinepo {

struct ServeurLien::Impl {
    Gestionnaire g;
    std::unique_ptr<QLocalServer> serveur;
    std::vector<QPointer<QLocalSocket>> connexions;

    // What one connection has received and where its conversation stands.
    struct Connexion {
        explicit Connexion(const Gestionnaire& g) : conversation(g) {}
        DecoupeurLignes lignes;
        ConversationLien conversation;
        bool finie = false;
    };

    void accepter() {
        std::erase_if(connexions, [](const QPointer<QLocalSocket>& c) { return c.isNull(); });
        while (QLocalSocket* s = serveur->nextPendingConnection()) {
            connexions.emplace_back(s);
            // The socket keeps no more than one request line from the system: a longer
            // line is refused from what has come, never received whole.
            s->setReadBufferSize(kLongueurLigneLienMax + 1);
            auto c = std::make_shared<Connexion>(g);
            QObject::connect(s, &QLocalSocket::readyRead, s, [this, s, c] { lire(s, *c); });
            QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            if (g.connexion) g.connexion();
            // Bytes may have arrived with the connection itself.
            if (s->bytesAvailable() > 0) lire(s, *c);
        }
    }

    void lire(QLocalSocket* s, Connexion& c) {
        char morceau[4096];
        while (!c.finie && s->bytesAvailable() > 0) {
            const qint64 lus = s->read(morceau, sizeof morceau);
            if (lus <= 0) break;
            const bool accepte = c.lignes.Ajouter(QByteArrayView(morceau, qsizetype(lus)));
            while (auto ligne = c.lignes.Suivante()) {
                const ConversationLien::Reponse r =
                    c.conversation.Traiter(QString::fromUtf8(*ligne));
                if (!r.ligne.isEmpty()) s->write(r.ligne + '\n');
                if (r.fermer) {
                    c.finie = true;
                    s->flush();
                    s->disconnectFromServer();
                    return;
                }
            }
            if (!accepte) {
                // Not a request of this protocol: dropped without an answer.
                c.finie = true;
                s->abort();
                return;
            }
        }
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
