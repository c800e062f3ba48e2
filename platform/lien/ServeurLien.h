#pragma once
// The server side of the local link: listens on the socket of a service name and answers
// conversations (CONNECT / ADVISE / EXECUTE / DISCONNECT, docs/lien-tabulane.md). Requests are
// handled on the thread that owns the server, through its event loop.
#include <QString>
#include <functional>
#include <memory>

namespace kinepo {

class ServeurLien {
public:
    // What the owner does with a request: answer "OK", answer "ERR <reason>", or close the
    // connection without answering.
    enum class Decision { Accepter, Refuser, Couper };

    // Every handler may be left empty: an empty handler refuses. Topic and item are passed
    // as received; the owner decides how to compare them.
    struct Gestionnaire {
        std::function<Decision(const QString& sujet)> connecter;
        std::function<Decision(const QString& sujet, const QString& item, const QString& format)>
            conseiller;
        std::function<Decision(const QString& sujet, const QString& commande)> executer;
        // Sees every request line as received, before it is handled.
        std::function<void(const QString& requete)> journal;
        // Sees every new connection.
        std::function<void()> connexion;
    };

    explicit ServeurLien(Gestionnaire gestionnaire);
    ~ServeurLien();
    ServeurLien(const ServeurLien&) = delete;
    ServeurLien& operator=(const ServeurLien&) = delete;

    // Listens as `service`. A socket file left by a server that died is replaced. False (with
    // *erreur) when a live server already has the name or the folder is refused.
    bool ecouter(const QString& service, QString* erreur = nullptr);
    // Stops listening, closes every connection and removes the socket file.
    void fermer();
    bool ecoute() const;
    // Full path of the socket while listening.
    QString chemin() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace kinepo
