#include "transfer/CheminTabulane.h"

#include "platform/Registre.h"

#include <QFileInfo>
#include <QProcess>

namespace kinepo {

QString CalculeCheminTabulane(const QString& repTabulane, const IRegistre& registre) {
    if (!repTabulane.isEmpty()) {
        QString dossier = repTabulane;
        if (dossier.size() > 1 && dossier.endsWith(QLatin1Char('/'))) dossier.chop(1);
        if (dossier == QLatin1String("/")) dossier.clear();
        return dossier + QLatin1Char('/') + kExecutableTabulane;
    }
    QString chemin = kExecutableTabulane;
    const QString cle = kCleTabulane;
    if (auto v = registre.lire(cle, QStringLiteral("Path"))) chemin = *v;
    if (auto v = registre.lire(cle + QStringLiteral("\\Tabulane"), QStringLiteral("Path")))
        chemin = *v;
    return chemin;
}

std::optional<LigneCommande> ScinderLigneCommande(const QString& ligne) {
    const QString texte = ligne.left(kLongueurCommandeMax).trimmed();
    if (texte.isEmpty()) return std::nullopt;
    if (QFileInfo(texte).isFile()) return LigneCommande{texte, {}};
    QStringList mots = QProcess::splitCommand(texte);
    if (mots.isEmpty()) return std::nullopt;
    LigneCommande c;
    c.programme = mots.takeFirst();
    c.arguments = mots;
    return c;
}

} // namespace kinepo
