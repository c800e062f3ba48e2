#include "fringes/cli/CommandeFranges.h"

#include "fringes/SuiviMichelson.h"
#include "platform/Chemins.h"
#include "platform/camera/SourceCamera.h"
#include "transfer/TexteEchange.h"

#include <QFileInfo>
#include <memory>
#include <optional>

namespace kinepo::cli {

namespace {

const char* const kUsage = "fringes FILM --p1 X,Y [--p2 X,Y] [--txt]";

std::optional<QPoint> LirePoint(const QString& texte) {
    const QStringList m = texte.split(QLatin1Char(','));
    if (m.size() != 2) return std::nullopt;
    bool okx = false, oky = false;
    const int x = m[0].trimmed().toInt(&okx), y = m[1].trimmed().toInt(&oky);
    if (!okx || !oky) return std::nullopt;
    return QPoint(x, y);
}

} // namespace

int ExecuterFranges(const QStringList& args, QString& sortie, QString& erreur) {
    const QString usage = QStringLiteral("usage: kinepo-cli %1").arg(QLatin1String(kUsage));
    QString film;
    std::optional<QPoint> p1, p2;
    bool txt = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--txt")) {
            txt = true;
        } else if (a == QLatin1String("--p1") || a == QLatin1String("--p2")) {
            if (i + 1 >= args.size()) {
                erreur = QStringLiteral("kinepo-cli fringes: %1 needs a value").arg(a);
                return 2;
            }
            const QString v = args.at(++i);
            const std::optional<QPoint> p = LirePoint(v);
            if (!p) {
                erreur = QStringLiteral("kinepo-cli fringes: bad value '%1' for %2").arg(v, a);
                return 2;
            }
            (a == QLatin1String("--p1") ? p1 : p2) = p;
        } else if (film.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            film = a;
        } else {
            erreur = usage;
            return 2;
        }
    }
    if (film.isEmpty() || !p1) {
        erreur = usage;
        return 2;
    }

    std::unique_ptr<ISourceCamera> source = CreerSourceFilm(film, false);
    try {
        source->Ouvrir();
    } catch (const ErreurCamera& e) {
        erreur = QStringLiteral("kinepo-cli fringes: %1").arg(e.Message());
        return 1;
    }
    const QSize taille = source->Taille();
    for (const auto& [p, nom] : {std::pair{p1, "--p1"}, std::pair{p2, "--p2"}}) {
        if (!p) continue;
        if (p->x() < 1 || p->y() < 1 || p->x() > taille.width() - 2 ||
            p->y() > taille.height() - 2) {
            erreur = QStringLiteral("kinepo-cli fringes: %1 %2,%3 lies outside the %4 x %5 frame "
                                    "(its 3 x 3 neighbourhood must fit)")
                         .arg(QLatin1String(nom))
                         .arg(p->x())
                         .arg(p->y())
                         .arg(taille.width())
                         .arg(taille.height());
            return 2;
        }
    }

    auto suivi = std::make_unique<SuiviMichelson>();
    SuiviMichelson& s = *suivi;
    s.LargeurImage = taille.width();
    s.Point1 = *p1;
    if (p2) s.Point2 = *p2;
    s.Commencer();
    const bool deux = p2.has_value();
    bool plein = false;
    for (;;) {
        QString raison;
        bool image = false;
        const EtatLecture e = source->Lire(
            [&](const ImageCamera& i) {
                image = true;
                if (plein) return;
                const double lampe = NiveauPoint(i.luma, i.largeur, i.hauteur, s.Point1);
                const double laser = deux ? NiveauPoint(i.luma, i.largeur, i.hauteur, s.Point2) : 0;
                plein = s.AjouterImage(lampe, laser, i.tempsS, true).fin;
            },
            raison);
        if (e == EtatLecture::Panne) {
            erreur = QStringLiteral("kinepo-cli fringes: %1").arg(raison);
            return 1;
        }
        if (e != EtatLecture::Image) break;
        if (plein && image && s.NombreEchantillons == SuiviMichelson::Capacite) {
            // One more frame read: the film goes on past the table's capacity.
            QString r2;
            bool encore = false;
            if (source->Lire([&](const ImageCamera&) { encore = true; }, r2) ==
                    EtatLecture::Image &&
                encore)
                erreur = QStringLiteral("kinepo-cli fringes: the table is full at %1 samples; "
                                        "the rest of the film is left out")
                             .arg(SuiviMichelson::Capacite);
            break;
        }
    }

    QStringList lignes;
    if (txt) {
        lignes = LignesTableMichelson(s, deux);
    } else {
        PageTransfert page;
        // The form's text names the program itself, which lies beside this tool.
        page.cheminExecutable =
            QFileInfo(CheminExecutable()).absolutePath() + QStringLiteral("/kinepo");
        TexteEchange texte;
        ConstruireTexteMichelson(s, deux, page, texte);
        lignes = texte.lignes();
    }
    sortie = JoindreLignes(lignes);
    return 0;
}

Commande CommandeFranges() {
    return CommandeTexte(QStringLiteral("fringes"), QString::fromLatin1(kUsage), ExecuterFranges);
}

} // namespace kinepo::cli
