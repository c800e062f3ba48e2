#include "image/cli/CommandeDigitize.h"

#include "common/Nombres.h"
#include "image/logic/ExtractionCouleur.h"
#include "image/logic/ImageCalibration.h"
#include "image/logic/SeriesPoints.h"
#include "image/logic/TableImage.h"
#include "platform/LectureImage.h"

#include <QRegularExpression>
#include <cstdio>
#include <map>
#include <optional>

namespace kinepo::cli {

namespace {

const char* const kUsage =
    "digitize PICTURE [--mode 0|1|2] --origin X,Y --y-vector X1,Y1,X2,Y2,LENGTH "
    "[--x-vector X1,Y1,X2,Y2,LENGTH] [--names X,Y] [--units U,V] [--no-reference] "
    "(--points \"X,Y X,Y ...\" | --colour R,G,B [--tolerance T] [--step N])";

struct Erreur {
    int code;
    QString message;
};

[[noreturn]] void Echec(const QString& message, int code = 2) {
    throw Erreur{code, message};
}

int Entier(const QString& texte, const QString& option) {
    bool ok = false;
    const int v = texte.trimmed().toInt(&ok);
    if (!ok) Echec(QStringLiteral("%1: '%2' is not a whole number").arg(option, texte));
    return v;
}

QStringList Parties(const QString& texte, int nombre, const QString& option, const QString& forme) {
    const QStringList p = texte.split(u',');
    if (p.size() != nombre)
        Echec(QStringLiteral("%1: expected %2, got '%3'").arg(option, forme, texte));
    return p;
}

QPoint Point(const QString& texte, const QString& option) {
    const QStringList p = Parties(texte, 2, option, QStringLiteral("X,Y"));
    return {Entier(p[0], option), Entier(p[1], option)};
}

struct Vecteur {
    QPoint debut, fin;
    double longueur = 1.0;
};

Vecteur LireVecteur(const QString& texte, const QString& option) {
    const QStringList p = Parties(texte, 5, option, QStringLiteral("X1,Y1,X2,Y2,LENGTH"));
    Vecteur v{{Entier(p[0], option), Entier(p[1], option)},
              {Entier(p[2], option), Entier(p[3], option)},
              0};
    try {
        v.longueur = LireReel(p[4]);
    } catch (const ErreurConversion&) {
        Echec(QStringLiteral("%1: '%2' is not a length").arg(option, p[4]));
    }
    if (v.longueur == 0) Echec(QStringLiteral("%1: the reference length is 0").arg(option));
    if (v.debut == v.fin) Echec(QStringLiteral("%1: the vector has zero length").arg(option));
    return v;
}

void VerifierDansImage(QPoint p, const QImage& image, const QString& option) {
    if (!image.rect().contains(p))
        Echec(QStringLiteral("%1: pixel %2,%3 is outside the %4x%5 picture")
                  .arg(option)
                  .arg(p.x())
                  .arg(p.y())
                  .arg(image.width())
                  .arg(image.height()));
}

int Executer(const QStringList& args, QString& sortie) {
    const QStringList avecValeur{"--mode",  "--origin", "--y-vector", "--x-vector",  "--names",
                                 "--units", "--points", "--colour",   "--tolerance", "--step"};
    std::map<QString, QString> options;
    bool sansReference = false;
    QString image;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--no-reference")) {
            sansReference = true;
        } else if (avecValeur.contains(a)) {
            if (i + 1 >= args.size()) Echec(QStringLiteral("%1 needs a value").arg(a));
            options[a] = args[++i];
        } else if (a.startsWith(QLatin1String("--"))) {
            Echec(QStringLiteral("unknown option '%1'").arg(a));
        } else if (image.isEmpty()) {
            image = a;
        } else {
            Echec(QStringLiteral("usage: kinepo-cli %1").arg(QLatin1String(kUsage)));
        }
    }
    auto option = [&](const char* nom) -> std::optional<QString> {
        const auto it = options.find(QString::fromLatin1(nom));
        if (it == options.end()) return std::nullopt;
        return it->second;
    };
    if (image.isEmpty() || !option("--origin") || !option("--y-vector"))
        Echec(QStringLiteral("usage: kinepo-cli %1").arg(QLatin1String(kUsage)));
    if (option("--points").has_value() == option("--colour").has_value())
        Echec(QStringLiteral("give either --points or --colour"));

    ImageCalibration calib;
    if (auto m = option("--mode")) {
        calib.AxesMode = Entier(*m, "--mode");
        if (calib.AxesMode < 0 || calib.AxesMode > 2)
            Echec(QStringLiteral("--mode: expected 0, 1 or 2"));
    }
    if (calib.AxesMode == TwoAxes && !option("--x-vector"))
        Echec(QStringLiteral("--x-vector is needed in mode 1"));
    calib.HasReference = !sansReference;

    NomsVariables noms;
    if (auto n = option("--names")) {
        const QStringList p = Parties(*n, 2, "--names", "X,Y");
        noms.nomX = p[0].left(8);
        noms.nomY = p[1].left(8);
    }
    if (auto u = option("--units")) {
        const QStringList p = Parties(*u, 2, "--units", "U,V");
        noms.uniteX = p[0];
        noms.uniteY = p[1];
    }
    if (calib.AxesMode == Orthonormal) noms.uniteX = noms.uniteY;

    QString chemin = image;
    QImage picture;
    try {
        picture = LireImageFichier(chemin, false);
    } catch (const ErreurLectureImage& e) {
        Echec(e.message(), 1);
    }

    calib.ResetHandles(picture.width(), picture.height());
    calib.Handles[SlotOrigine] = Point(*option("--origin"), "--origin");
    const Vecteur vy = LireVecteur(*option("--y-vector"), "--y-vector");
    calib.Handles[SlotDebutY] = vy.debut;
    calib.Handles[SlotFinY] = vy.fin;
    calib.RefLengthY = vy.longueur;
    calib.RefLengthX = vy.longueur;
    if (auto x = option("--x-vector")) {
        const Vecteur vx = LireVecteur(*x, "--x-vector");
        calib.Handles[SlotDebutX] = vx.debut;
        calib.Handles[SlotFinX] = vx.fin;
        if (calib.AxesMode == TwoAxes) calib.RefLengthX = vx.longueur;
    }
    if (calib.AxesMode == Orthonormal) {
        // As if the Y start and then the Y end had been dropped where they are.
        calib.ContraindreOrthonormal(SlotDebutY);
        calib.Handles[SlotFinY] = vy.fin;
        calib.ContraindreOrthonormal(SlotFinY);
        calib.SquareVectors();
    }
    if (!calib.RecomputeCalibration()) Echec(QStringLiteral("the vectors give no scale"));

    SeriesPoints series;
    if (auto pts = option("--points")) {
        const QStringList liste =
            pts->split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        for (const QString& t : liste) {
            const QPoint p = Point(t, "--points");
            VerifierDansImage(p, picture, "--points");
            if (!series.Ajouter(1, p))
                Echec(QStringLiteral("--points: more than %1 points").arg(kCapaciteSerie));
        }
    } else {
        ParametresExtraction par;
        const QStringList c = Parties(*option("--colour"), 3, "--colour", "R,G,B");
        const int r = Entier(c[0], "--colour"), g = Entier(c[1], "--colour"),
                  b = Entier(c[2], "--colour");
        for (int v : {r, g, b})
            if (v < 0 || v > 255) Echec(QStringLiteral("--colour: components go from 0 to 255"));
        par.couleur = qRgb(r, g, b);
        if (auto t = option("--tolerance")) par.tolerance = Entier(*t, "--tolerance");
        if (auto s = option("--step")) par.pas = Entier(*s, "--step");
        if (par.tolerance < 0) Echec(QStringLiteral("--tolerance: must not be negative"));
        if (par.pas < 1) Echec(QStringLiteral("--step: must be at least 1"));
        ExtraireCourbe(picture, par, series, 1);
    }

    sortie += ChampsNoms(calib, noms).join(u'\t') + u'\n';
    sortie += ChampsUnites(calib, noms).join(u'\t') + u'\n';
    for (int i = 0; i < series.Longueur(1); ++i)
        sortie += ChampsPoint(calib, series, i).join(u'\t') + u'\n';
    return 0;
}

} // namespace

int ExecuterDigitize(const QStringList& arguments, QString& sortie, QString& erreur) {
    try {
        return Executer(arguments, sortie);
    } catch (const Erreur& e) {
        sortie.clear();
        erreur = QStringLiteral("kinepo-cli digitize: ") + e.message;
        return e.code;
    }
}

Commande CommandeDigitize() {
    return {QStringLiteral("digitize"), QString::fromLatin1(kUsage), [](const QStringList& args) {
                QString sortie, erreur;
                const int code = ExecuterDigitize(args, sortie, erreur);
                const QByteArray o = sortie.toLocal8Bit();
                std::fwrite(o.constData(), 1, static_cast<size_t>(o.size()), stdout);
                if (!erreur.isEmpty())
                    std::fprintf(stderr, "%s\n", erreur.toLocal8Bit().constData());
                return code;
            }};
}

} // namespace kinepo::cli
