#include "optics/cli/CommandeProfil.h"

#include "optics/ImageOptique.h"
#include "optics/ProfilOptique.h"
#include "optics/TexteOptique.h"
#include "platform/Chemins.h"
#include "transfer/TexteEchange.h"

#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace kinepo::cli {

namespace {

const char* const kUsage = "profile PICTURE --p1 X,Y --p2 X,Y [--average M] "
                           "[--scale X3,Y3,X4,Y4,LENGTH | --pixel SIZE] [--txt]";

std::optional<std::vector<double>> nombres(const QString& texte, int combien) {
    const QStringList morceaux = texte.split(QLatin1Char(','));
    if (morceaux.size() != combien) return std::nullopt;
    std::vector<double> v;
    for (const QString& m : morceaux) {
        bool ok = false;
        const double x = m.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(x)) return std::nullopt;
        v.push_back(x);
    }
    return v;
}

std::optional<QPoint> point(const QString& texte) {
    const auto v = nombres(texte, 2);
    if (!v) return std::nullopt;
    for (double x : *v)
        if (x != std::trunc(x) || std::fabs(x) > 1e6) return std::nullopt;
    return QPoint(int((*v)[0]), int((*v)[1]));
}

} // namespace

int ExecuterProfil(const QStringList& args, QString& sortie, QString& erreur) {
    QString fichier;
    std::optional<QPoint> p1, p2;
    std::optional<std::vector<double>> echelle;
    std::optional<double> pixel;
    int moyenne = 0;
    bool txt = false;
    const QString usage = QStringLiteral("usage: kinepo-cli %1").arg(QLatin1String(kUsage));
    for (int i = 0; i < args.size(); ++i) {
        const QString& x = args.at(i);
        const bool avecValeur = x == QLatin1String("--p1") || x == QLatin1String("--p2") ||
                                x == QLatin1String("--average") || x == QLatin1String("--scale") ||
                                x == QLatin1String("--pixel");
        if (x == QLatin1String("--txt")) {
            txt = true;
            continue;
        }
        if (avecValeur) {
            if (i + 1 >= args.size()) {
                erreur = QStringLiteral("kinepo-cli profile: %1 needs a value").arg(x);
                return 2;
            }
            const QString v = args.at(++i);
            bool bon = true;
            if (x == QLatin1String("--p1")) {
                p1 = point(v);
                bon = p1.has_value();
            } else if (x == QLatin1String("--p2")) {
                p2 = point(v);
                bon = p2.has_value();
            } else if (x == QLatin1String("--average")) {
                moyenne = v.toInt(&bon);
                bon = bon && moyenne >= 0 && moyenne <= ProfilOptique::MoyenneMax;
            } else if (x == QLatin1String("--scale")) {
                echelle = nombres(v, 5);
                bon = echelle && (*echelle)[4] > 0;
                for (int k = 0; bon && k < 4; ++k)
                    bon = (*echelle)[std::size_t(k)] == std::trunc((*echelle)[std::size_t(k)]) &&
                          std::fabs((*echelle)[std::size_t(k)]) <= 1e6;
            } else {
                const auto n = nombres(v, 1);
                bon = n && (*n)[0] > 0;
                if (bon) pixel = (*n)[0];
            }
            if (!bon) {
                erreur = QStringLiteral("kinepo-cli profile: bad value '%1' for %2").arg(v, x);
                return 2;
            }
            continue;
        }
        if (fichier.isEmpty() && !x.startsWith(QLatin1String("--"))) {
            fichier = x;
            continue;
        }
        erreur = usage;
        return 2;
    }
    if (fichier.isEmpty() || !p1 || !p2) {
        erreur = usage;
        return 2;
    }
    if (echelle && pixel) {
        erreur = QStringLiteral("kinepo-cli profile: --scale and --pixel exclude each other");
        return 2;
    }

    QImage image;
    try {
        image = LireImageProfil(fichier);
    } catch (const ErreurImage& e) {
        erreur = QString::fromUtf8(e.what());
        return 1;
    }

    auto profil = std::make_unique<ProfilOptique>();
    ProfilOptique& p = *profil;
    p.Zoom = 1;
    p.Image = p.Bornes = p.Affiche = image.size();
    p.Poignee[1] = *p1;
    p.Poignee[2] = *p2;
    p.Moyenne = moyenne;
    if (echelle) {
        p.TypeEchelle = 0;
        p.Poignee[3] = QPoint(int((*echelle)[0]), int((*echelle)[1]));
        p.Poignee[4] = QPoint(int((*echelle)[2]), int((*echelle)[3]));
        p.LongueurEchelle = (*echelle)[4];
    } else {
        p.TypeEchelle = 1;
        if (pixel) p.TaillePixel = *pixel;
    }
    try {
        p.CalculerDirect(image);
    } catch (const std::domain_error&) {
        erreur = QStringLiteral("kinepo-cli profile: Echelle incorrecte (the scale ends coincide)");
        return 2;
    }

    QStringList lignes;
    if (txt) {
        lignes = LignesTableOptique(p);
    } else {
        PageTransfert page;
        // The form's text names the program itself, which lies beside this tool.
        page.cheminExecutable =
            QFileInfo(CheminExecutable()).absolutePath() + QStringLiteral("/kinepo");
        TexteEchange texte;
        ConstruireTexteOptique(p, page, QFileInfo(fichier).absoluteFilePath(), texte);
        lignes = texte.lignes();
    }
    sortie = JoindreLignes(lignes);
    return 0;
}

Commande CommandeProfil() {
    return CommandeTexte(QStringLiteral("profile"), QString::fromLatin1(kUsage), ExecuterProfil);
}

} // namespace kinepo::cli
