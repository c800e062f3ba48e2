#pragma once
// The request side of the link's protocol without any socket: the cutting of received bytes
// into request lines, with a bound on their length, and the conversation that answers each
// line (docs/lien-tabulane.md). The server feeds them what its connections receive; tests and
// the fuzz target feed them bytes directly.
#include "platform/lien/ServeurLien.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <deque>
#include <optional>

namespace kinepo {

// A request or answer line longer than this (without its LF) is not of this protocol.
inline constexpr qsizetype kLongueurLigneLienMax = 64 * 1024;

// Cuts the bytes of one connection into lines ended by LF, without their LF and a trailing CR.
// A line longer than the bound is refused as soon as its first bound + 1 bytes have come: the
// rest is never waited for nor kept, and every later byte is refused too.
class DecoupeurLignes {
public:
    explicit DecoupeurLignes(qsizetype longueurMax = kLongueurLigneLienMax);
    // Adds received bytes. False once a line has been too long (the connection is to be
    // dropped); the lines completed before it can still be taken.
    bool Ajouter(QByteArrayView octets);
    // The next complete line, or nothing.
    std::optional<QByteArray> Suivante();
    bool Refuse() const { return refuse_; }
    // Bytes of the line being received (never more than the bound).
    qsizetype EnAttente() const { return partielle_.size(); }

private:
    qsizetype longueurMax_;
    QByteArray partielle_;
    std::deque<QByteArray> lignes_;
    bool refuse_ = false;
};

// One conversation on the server side: CONNECT / ADVISE / EXECUTE / DISCONNECT, each line
// answered by "OK" or "ERR <reason>" after asking the owner's handlers.
class ConversationLien {
public:
    explicit ConversationLien(const ServeurLien::Gestionnaire& gestionnaire);

    struct Reponse {
        QByteArray ligne; // the answer without its LF; empty: no answer
        bool fermer = false; // the connection is to be closed after the answer
    };
    Reponse Traiter(const QString& requete);

    bool Ouverte() const { return ouverte_; }
    const QString& Sujet() const { return sujet_; }

private:
    const ServeurLien::Gestionnaire& g_;
    QString sujet_;
    bool ouverte_ = false;
};

} // namespace kinepo
