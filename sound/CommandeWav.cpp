#include "sound/CommandeWav.h"

#include "common/Arrondi.h"
#include "platform/Chemins.h"
#include "sound/SelectionSon.h"
#include "sound/TamponSon.h"
#include "sound/TexteSon.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace kinepo::cli {

namespace {

const char* const kUsage = "wav FILE [--from SECONDS --to SECONDS] [--stereo] [--txt]";

std::optional<double> lireSecondes(const QString& texte) {
    bool ok = false;
    const double v = texte.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

} // namespace

int ExecuterWav(const QStringList& args, QString& sortie, QString& erreur) {
    QString fichier;
    std::optional<double> de, a;
    bool stereo = false, txt = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& x = args.at(i);
        if (x == QLatin1String("--stereo")) {
            stereo = true;
        } else if (x == QLatin1String("--txt")) {
            txt = true;
        } else if (x == QLatin1String("--from") || x == QLatin1String("--to")) {
            if (i + 1 >= args.size()) {
                erreur = QStringLiteral("kinepo-cli wav: %1 needs a number of seconds").arg(x);
                return 2;
            }
            const auto v = lireSecondes(args.at(++i));
            if (!v) {
                erreur = QStringLiteral("kinepo-cli wav: '%1' is not a number of seconds")
                             .arg(args.at(i));
                return 2;
            }
            (x == QLatin1String("--from") ? de : a) = v;
        } else if (fichier.isEmpty() && !x.startsWith(QLatin1String("--"))) {
            fichier = x;
        } else {
            erreur = QStringLiteral("usage: kinepo-cli %1").arg(QLatin1String(kUsage));
            return 2;
        }
    }
    if (fichier.isEmpty()) {
        erreur = QStringLiteral("usage: kinepo-cli %1").arg(QLatin1String(kUsage));
        return 2;
    }
    if (!QFileInfo::exists(fichier)) {
        erreur = QStringLiteral("kinepo-cli wav: %1: no such file").arg(fichier);
        return 1;
    }

    auto son = std::make_unique<TamponSon>();
    try {
        son->Read(fichier);
    } catch (const EWavError& e) {
        // The reader's own message; an empty one means the file holds no complete frame.
        erreur = e.message().isEmpty() ? QStringLiteral("%1: aucun échantillon").arg(fichier)
                                       : QStringLiteral("%1: %2").arg(fichier, e.message());
        return 1;
    }

    const std::int32_t n = son->NbEchantillons();
    const double f = son->Frequence();
    Selection s = SelectionParDefaut(n);
    if (de || a) {
        auto echantillon = [&](double secondes) {
            const double brut = std::clamp(secondes * f, -1e12, 1e12);
            return std::int32_t(std::clamp<std::int64_t>(Arrondi(brut), 0, n - 1));
        };
        s.debut = de ? echantillon(*de) : 0;
        s.fin = a ? echantillon(*a) : n - 1;
        if (s.fin < s.debut) {
            erreur = QStringLiteral("kinepo-cli wav: --to lies before --from");
            return 2;
        }
    }
    stereo = stereo && son->Stereo();

    QStringList lignes;
    if (txt) {
        lignes = LignesTableSon(*son, s, stereo);
    } else {
        ParametresTransfertSon p;
        // The form's text names the program itself, which lies beside this tool.
        p.cheminExecutable =
            QFileInfo(CheminExecutable()).absolutePath() + QStringLiteral("/kinepo");
        p.nouveauFichier = true;
        p.stereo = stereo;
        p.fichierSon = QFileInfo(fichier).absoluteFilePath();
        const auto sous = CalculerSousEchantillonnage(son->Frequence(), s);
        lignes = LignesTransfertSon(*son, s, sous, p);
        lignes += BlocsTransfertSon(p);
    }
    sortie = JoindreLignes(lignes);
    return 0;
}

Commande CommandeWav() {
    return CommandeTexte(QStringLiteral("wav"), QString::fromLatin1(kUsage), ExecuterWav);
}

} // namespace kinepo::cli
