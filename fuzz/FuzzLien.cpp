// libFuzzer target of the link's request side: any bytes, cut into lines and answered as the
// server answers them. Every answer is one line, "OK" or "ERR <reason>"; nothing past a line
// longer than the bound is read; the conversation opens only on the served topic.
#include "FichierFuzz.h"

#include "platform/lien/ProtocoleLien.h"

using namespace kinepo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    using Decision = ServeurLien::Decision;
    ServeurLien::Gestionnaire g;
    // The handlers of this program's own topic, as the launcher serves it.
    g.connecter = [](const QString& sujet) {
        return sujet.compare(QLatin1String("ServeurDDE"), Qt::CaseInsensitive) == 0
                   ? Decision::Accepter
                   : Decision::Refuser;
    };
    g.conseiller = [](const QString&, const QString&, const QString&) { return Decision::Refuser; };
    g.executer = [](const QString&, const QString& commande) {
        if (commande == QLatin1String("CUT")) return Decision::Couper;
        return commande.startsWith(QLatin1String("CLIP|")) ? Decision::Accepter : Decision::Refuser;
    };
    // A short bound, so that long lines are reached by small inputs; the first byte splits the
    // input into two deliveries, as a socket may deliver it.
    DecoupeurLignes lignes(256);
    ConversationLien conversation(g);
    const QByteArrayView tout(reinterpret_cast<const char*>(donnees), qsizetype(taille));
    const qsizetype coupure = taille > 0 ? qsizetype(donnees[0]) % (qsizetype(taille) + 1) : 0;
    for (QByteArrayView morceau : {tout.first(coupure), tout.sliced(coupure)}) {
        const bool accepte = lignes.Ajouter(morceau);
        fuzz::Exiger(lignes.EnAttente() <= 256);
        while (auto ligne = lignes.Suivante()) {
            fuzz::Exiger(ligne->size() <= 256 && !ligne->contains('\n'));
            const auto r = conversation.Traiter(QString::fromUtf8(*ligne));
            fuzz::Exiger(r.ligne.isEmpty() ? r.fermer
                                           : r.ligne == "OK" || r.ligne.startsWith("ERR "));
            fuzz::Exiger(!r.ligne.contains('\n'));
            if (conversation.Ouverte())
                fuzz::Exiger(conversation.Sujet().compare(QLatin1String("ServeurDDE"),
                                                          Qt::CaseInsensitive) == 0);
            if (r.fermer) return 0;
        }
        if (!accepte) {
            fuzz::Exiger(lignes.Refuse() && !lignes.Ajouter("EXECUTE CLIP|LOAD\n"));
            return 0;
        }
    }
    return 0;
}
