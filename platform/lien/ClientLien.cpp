#include "platform/lien/ClientLien.h"

#include "platform/lien/DossierPrive.h"
#include "platform/lien/ProtocoleLien.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

namespace kinepo {

struct ClientLien::Impl {
    int delaiMs;
    std::unique_ptr<QLocalSocket> socket;
    bool enConversation = false;
    QString erreur;

    bool echec(const QString& pourquoi) {
        erreur = pourquoi;
        return false;
    }

    void fermerSocket() {
        if (socket) {
            socket->abort();
            socket.reset();
        }
        enConversation = false;
    }

    static bool ligneValide(const QString& t) {
        return !t.contains(QLatin1Char('\n')) && !t.contains(QLatin1Char('\r'));
    }

    bool envoyer(const QString& requete) {
        if (!socket || socket->state() != QLocalSocket::ConnectedState)
            return echec(QStringLiteral("not connected"));
        const QByteArray octets = requete.toUtf8() + '\n';
        if (socket->write(octets) != octets.size()) return echec(socket->errorString());
        // Local sockets take the bytes at once unless the peer is gone or stalled.
        while (socket->bytesToWrite() > 0) {
            if (!socket->waitForBytesWritten(delaiMs)) return echec(socket->errorString());
        }
        return true;
    }

    // Waits for one answer line; nothing when the peer closes or stays silent.
    std::optional<QString> reponse() {
        QDeadlineTimer limite(delaiMs);
        while (!socket->canReadLine()) {
            // The socket keeps at most one line's worth: a full buffer without a line end is
            // not an answer of this protocol.
            if (socket->bytesAvailable() > kLongueurLigneLienMax) {
                erreur = QStringLiteral("answer too long");
                return std::nullopt;
            }
            if (socket->state() != QLocalSocket::ConnectedState) {
                erreur = QStringLiteral("connection closed by the server");
                return std::nullopt;
            }
            if (limite.hasExpired() || !socket->waitForReadyRead(int(limite.remainingTime()))) {
                if (socket->canReadLine()) break;
                erreur = socket->state() == QLocalSocket::ConnectedState
                             ? QStringLiteral("no answer")
                             : QStringLiteral("connection closed by the server");
                return std::nullopt;
            }
        }
        QByteArray ligne = socket->readLine(kLongueurLigneLienMax + 2);
        while (ligne.endsWith('\n') || ligne.endsWith('\r'))
            ligne.chop(1);
        return QString::fromUtf8(ligne);
    }

    bool requete(const QString& texte) {
        if (!envoyer(texte)) return false;
        auto r = reponse();
        if (!r) return false;
        if (*r == QLatin1String("OK")) return true;
        return echec(r->isEmpty() ? QStringLiteral("empty answer") : *r);
    }
};

ClientLien::ClientLien(int delaiReponseMs) : d(std::make_unique<Impl>()) {
    d->delaiMs = delaiReponseMs;
}

ClientLien::~ClientLien() {
    deconnecter();
}

bool ClientLien::connecter(const QString& service, const QString& sujet) {
    deconnecter();
    if (!Impl::ligneValide(sujet) || sujet.isEmpty())
        return d->echec(QStringLiteral("invalid topic"));
    QString erreur;
    const auto chemin = CheminSocketService(service, &erreur);
    if (!chemin) return d->echec(erreur);
    d->socket = std::make_unique<QLocalSocket>();
    d->socket->setReadBufferSize(kLongueurLigneLienMax + 1);
    d->socket->connectToServer(*chemin);
    // A socket file left by a dead server is refused at once; only a live but stalled server
    // makes this wait.
    if (!d->socket->waitForConnected(d->delaiMs)) {
        d->echec(d->socket->errorString());
        d->fermerSocket();
        return false;
    }
    if (!d->requete(QStringLiteral("CONNECT ") + sujet)) {
        d->fermerSocket();
        return false;
    }
    d->enConversation = true;
    return true;
}

bool ClientLien::conseiller(const QString& item, const QString& format) {
    if (!d->enConversation) return d->echec(QStringLiteral("no conversation"));
    if (item.isEmpty() || item.contains(QLatin1Char(' ')) || !Impl::ligneValide(item) ||
        format.contains(QLatin1Char(' ')) || !Impl::ligneValide(format))
        return d->echec(QStringLiteral("invalid item"));
    return d->requete(QStringLiteral("ADVISE ") + item + QLatin1Char(' ') + format);
}

bool ClientLien::executer(const QString& commande) {
    if (!d->enConversation) return d->echec(QStringLiteral("no conversation"));
    if (!Impl::ligneValide(commande)) return d->echec(QStringLiteral("line break in command"));
    return d->envoyer(QStringLiteral("EXECUTE ") + commande);
}

void ClientLien::deconnecter() {
    if (!d->socket) return;
    if (d->enConversation && d->socket->state() == QLocalSocket::ConnectedState)
        d->envoyer(QStringLiteral("DISCONNECT"));
    d->socket->disconnectFromServer();
    d->fermerSocket();
}

bool ClientLien::connecte() const {
    return d->enConversation && d->socket && d->socket->state() == QLocalSocket::ConnectedState;
}

QString ClientLien::derniereErreur() const {
    return d->erreur;
}

} // namespace kinepo
