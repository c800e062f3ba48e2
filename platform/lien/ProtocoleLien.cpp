#include "platform/lien/ProtocoleLien.h"

namespace kinepo {

DecoupeurLignes::DecoupeurLignes(qsizetype longueurMax) : longueurMax_(longueurMax) {}

bool DecoupeurLignes::Ajouter(QByteArrayView octets) {
    if (refuse_) return false;
    while (!octets.empty()) {
        const qsizetype nl = octets.indexOf('\n');
        const qsizetype morceau = nl < 0 ? octets.size() : nl;
        // Checked before copying: a long line costs at most the bound in memory.
        if (partielle_.size() + morceau > longueurMax_) {
            refuse_ = true;
            partielle_.clear();
            return false;
        }
        partielle_.append(octets.first(morceau));
        if (nl < 0) break;
        if (partielle_.endsWith('\r')) partielle_.chop(1);
        lignes_.push_back(std::move(partielle_));
        partielle_ = QByteArray();
        octets = octets.sliced(nl + 1);
    }
    return true;
}

std::optional<QByteArray> DecoupeurLignes::Suivante() {
    if (lignes_.empty()) return std::nullopt;
    QByteArray l = std::move(lignes_.front());
    lignes_.pop_front();
    return l;
}

ConversationLien::ConversationLien(const ServeurLien::Gestionnaire& gestionnaire)
    : g_(gestionnaire) {}

ConversationLien::Reponse ConversationLien::Traiter(const QString& requete) {
    using Decision = ServeurLien::Decision;
    if (g_.journal) g_.journal(requete);
    const qsizetype espace = requete.indexOf(QLatin1Char(' '));
    const QString verbe = espace < 0 ? requete : requete.left(espace);
    const QString reste = espace < 0 ? QString() : requete.mid(espace + 1);

    auto refus = [&requete] {
        if (requete.startsWith(QLatin1String("CONNECT"))) return QByteArray("ERR unknown topic");
        if (requete.startsWith(QLatin1String("ADVISE"))) return QByteArray("ERR unknown item");
        return QByteArray("ERR refused");
    };
    auto appliquer = [&](Decision d) -> Reponse {
        switch (d) {
        case Decision::Accepter:
            return {"OK", false};
        case Decision::Refuser:
            return {refus(), false};
        case Decision::Couper:
            break;
        }
        return {{}, true};
    };

    if (verbe == QLatin1String("CONNECT")) {
        if (ouverte_) return {"ERR conversation already open", false};
        if (reste.isEmpty()) return {"ERR missing topic", false};
        const Decision d = g_.connecter ? g_.connecter(reste) : Decision::Refuser;
        if (d == Decision::Accepter) {
            ouverte_ = true;
            sujet_ = reste;
        }
        return appliquer(d);
    }
    if (verbe == QLatin1String("ADVISE") || verbe == QLatin1String("EXECUTE")) {
        if (!ouverte_) return {"ERR no conversation", false};
        if (verbe == QLatin1String("EXECUTE"))
            return appliquer(g_.executer ? g_.executer(sujet_, reste) : Decision::Refuser);
        const qsizetype sep = reste.indexOf(QLatin1Char(' '));
        const QString item = sep < 0 ? reste : reste.left(sep);
        const QString format = sep < 0 ? QString() : reste.mid(sep + 1);
        if (item.isEmpty()) return {"ERR missing item", false};
        return appliquer(g_.conseiller ? g_.conseiller(sujet_, item, format) : Decision::Refuser);
    }
    if (verbe == QLatin1String("DISCONNECT")) return {"OK", true};
    return {"ERR unknown request", false};
}

} // namespace kinepo
