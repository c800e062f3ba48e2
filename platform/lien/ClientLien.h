#pragma once
// The client side of a conversation with another program over the local link: one stream
// socket per conversation, UTF-8 request lines ended by LF, each answered by "OK" or
// "ERR <reason>" (docs/lien-tabulane.md). Every wait is bounded; nothing here can hang.
#include <QString>
#include <memory>

namespace kinepo {

class ClientLien {
public:
    // delaiReponseMs bounds the wait for each answer (and for the connection itself).
    explicit ClientLien(int delaiReponseMs = 1000);
    ~ClientLien();
    ClientLien(const ClientLien&) = delete;
    ClientLien& operator=(const ClientLien&) = delete;

    // Opens the service's socket and a conversation on the topic ("CONNECT <topic>").
    // False, with nothing left open, when no server listens, it refuses the topic, it does not
    // answer in time or it closes the connection.
    bool connecter(const QString& service, const QString& sujet);
    // Asks for a hot link on an item ("ADVISE <item> <format>"). False when refused or not
    // answered; the conversation itself stays as it is.
    bool conseiller(const QString& item, const QString& format = QStringLiteral("text/plain"));
    // Sends "EXECUTE <command>" without waiting for the answer. False when the request could
    // not be sent (no conversation, the server closed it, a line break in the command).
    bool executer(const QString& commande);
    // Sends "DISCONNECT" and closes the socket without waiting for the answer. Harmless when
    // nothing is open.
    void deconnecter();
    bool connecte() const;
    // Why the last operation failed, in English (for logs and tests).
    QString derniereErreur() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace kinepo
