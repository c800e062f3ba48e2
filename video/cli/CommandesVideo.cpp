#include "video/cli/CommandesVideo.h"

#include "common/Nombres.h"
#include "platform/video/MoteurVideo.h"
#include "video/cli/AnalyseFilm.h"
#include "video/logic/ExportVideo.h"
#include "video/logic/FichierFilm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace kinepo::cli {

namespace {

constexpr int kErreurFichier = 1;  // a film that cannot be read, an output that cannot be written
constexpr int kErreurCommande = 2; // a bad command line

struct ErreurCommande {
    int code;
    QString message;
};

[[noreturn]] void Echec(int code, const QString& message) {
    throw ErreurCommande{code, message};
}

int Entier(const QString& texte, const QString& quoi) {
    bool ok = false;
    const int v = texte.trimmed().toInt(&ok);
    if (!ok)
        Echec(kErreurCommande, QStringLiteral("%1: '%2' is not a whole number").arg(quoi, texte));
    return v;
}

// "X,Y" in image pixels.
QPoint Point(const QString& texte, const QString& quoi) {
    const QStringList p = texte.split(u',');
    if (p.size() != 2)
        Echec(kErreurCommande, QStringLiteral("%1: expected X,Y, got '%2'").arg(quoi, texte));
    return QPoint(Entier(p[0], quoi), Entier(p[1], quoi));
}

// The film, opened as the form would name it: a name without extension gets ".AVI" when the
// name as given does not exist.
struct FilmOuvert {
    std::unique_ptr<MoteurVideo> moteur;
    QString chemin;
};

FilmOuvert OuvrirFilm(const QString& nom) {
    FilmOuvert f;
    f.chemin = QFileInfo::exists(nom) ? nom : PreparerNomFilm(nom).chemin;
    QString raison;
    f.moteur = MoteurVideo::Ouvrir(f.chemin, &raison);
    if (!f.moteur)
        Echec(kErreurFichier, QStringLiteral("cannot read film '%1'%2")
                                  .arg(nom, raison.isEmpty() ? QString() : ": " + raison));
    return f;
}

std::int64_t ImageDepart(const QString& texte, const MoteurVideo& m) {
    const int n = Entier(texte, "--frame");
    if (n < 0 || n >= m.Infos().nombreImages)
        Echec(kErreurCommande, QStringLiteral("--frame: frame %1 is outside the film (0 to %2)")
                                   .arg(n)
                                   .arg(m.Infos().nombreImages - 1));
    return n;
}

// A new output must be creatable before the long pass runs; the write itself is atomic.
void VerifierSortie(const QString& chemin) {
    const QFileInfo info(chemin);
    const QFileInfo dossier(info.absolutePath());
    if (info.isDir() || !dossier.isDir() || !dossier.isWritable())
        Echec(kErreurFichier, QStringLiteral("cannot write '%1'").arg(chemin));
}

void Ecrire(FILE* sortie, const QString& texte) {
    const QByteArray octets = texte.toLocal8Bit();
    std::fwrite(octets.constData(), 1, static_cast<size_t>(octets.size()), sortie);
    std::fflush(sortie);
}

// A progress bar on stderr, only when stderr is a terminal.
class Progression {
public:
    Progression() : actif_(isatty(STDERR_FILENO) != 0) {}
    ~Progression() {
        if (actif_ && dessine_) std::fputc('\n', stderr);
    }
    void operator()(std::int64_t fait, std::int64_t total) {
        if (!actif_ || total <= 0) return;
        const int pourcent = static_cast<int>(100 * fait / total);
        if (pourcent == dernier_) return;
        dernier_ = pourcent;
        dessine_ = true;
        constexpr int kLargeur = 40;
        char barre[kLargeur + 1];
        const int plein = pourcent * kLargeur / 100;
        for (int i = 0; i < kLargeur; ++i)
            barre[i] = i < plein ? '#' : '.';
        barre[kLargeur] = '\0';
        std::fprintf(stderr, "\r[%s] %3d%% %lld/%lld", barre, pourcent,
                     static_cast<long long>(fait), static_cast<long long>(total));
        std::fflush(stderr);
    }

private:
    bool actif_;
    bool dessine_ = false;
    int dernier_ = -1;
};

// Runs a command body, turning its failures into one line on stderr and an exit status.
int Executer(const char* nom, const std::function<int()>& corps) {
    try {
        return corps();
    } catch (const ErreurCommande& e) {
        std::fprintf(stderr, "kinepo-cli %s: %s\n", nom, qPrintable(e.message));
        return e.code;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kinepo-cli %s: %s\n", nom, e.what());
        return kErreurFichier;
    }
}

// Splits "--name value" and "--name=value" options from the positional arguments.
struct Arguments {
    QStringList positionnels;
    std::vector<std::pair<QString, QString>> options; // flags have an empty value
};

Arguments Analyser(const QStringList& arguments, const QStringList& avecValeur,
                   const QStringList& drapeaux) {
    Arguments a;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (!arg.startsWith(QStringLiteral("--")) || arg == QStringLiteral("--")) {
            a.positionnels << arg;
            continue;
        }
        QString nom = arg, valeur;
        const auto egal = arg.indexOf(u'=');
        if (egal > 0) {
            nom = arg.left(egal);
            valeur = arg.mid(egal + 1);
        }
        if (drapeaux.contains(nom) && egal < 0) {
            a.options.emplace_back(nom, QString());
        } else if (avecValeur.contains(nom)) {
            if (egal < 0) {
                if (i + 1 >= arguments.size())
                    Echec(kErreurCommande, QStringLiteral("%1 needs a value").arg(nom));
                valeur = arguments[++i];
            }
            a.options.emplace_back(nom, valeur);
        } else {
            Echec(kErreurCommande, QStringLiteral("unknown option '%1'").arg(arg));
        }
    }
    return a;
}

OrientationAxes Axes(const QString& texte) {
    if (texte == "up-right") return OrientationAxes::HautDroite;
    if (texte == "down-right") return OrientationAxes::BasDroite;
    if (texte == "up-left") return OrientationAxes::HautGauche;
    if (texte == "down-left") return OrientationAxes::BasGauche;
    Echec(kErreurCommande,
          QStringLiteral("--axes: expected up-right, down-right, up-left or down-left, got '%1'")
              .arg(texte));
}

int Info(const QStringList& arguments) {
    const Arguments a = Analyser(arguments, {}, {});
    if (a.positionnels.size() != 1) Echec(kErreurCommande, "usage: kinepo-cli info FILM");
    const FilmOuvert film = OuvrirFilm(a.positionnels[0]);
    const InfosFilm& infos = film.moteur->Infos();
    const CalibrationOuverture o = CalibrationApresOuverture(*film.moteur);
    const NomFilm nom = PreparerNomFilm(film.chemin);
    QString codec = nom.estAvi ? IdentifierCodec(film.chemin).texte : nom.extension;
    // An uncompressed AVI has no code there (zero bytes), which the form's label shows as
    // nothing; keep the line printable.
    codec.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f]")));
    codec = codec.trimmed();
    QString texte;
    texte += QStringLiteral("size: %1x%2\n").arg(infos.largeur).arg(infos.hauteur);
    texte += QStringLiteral("frames: %1\n").arg(infos.nombreImages);
    texte += QStringLiteral("frame rate: %1\n").arg(o.calibration.FileFrameRate);
    texte += QStringLiteral("duration: %1\n").arg(ReelVersTexte(o.calibration.Duration));
    texte += QStringLiteral("codec: %1\n").arg(codec);
    if (infos.rotation != 0) texte += QStringLiteral("rotation: %1\n").arg(infos.rotation);
    if (infos.cadenceCapture > 0)
        texte +=
            QStringLiteral("capture rate: %1\n").arg(QString::number(infos.cadenceCapture, 'g', 6));
    Ecrire(stdout, texte);
    return 0;
}

int Track(const QStringList& arguments) {
    const Arguments a = Analyser(arguments,
                                 {"--target", "--frame", "--zoom", "--scale", "--origin", "--axes",
                                  "--chrono", "--capture-rate"},
                                 {"--csv", "--txt", "--real-time"});
    if (a.positionnels.size() != 1)
        Echec(kErreurCommande, "usage: kinepo-cli track FILM --target X,Y [options]");
    std::optional<QString> cible, image, zoom, echelle, origine, axes, chrono, captureTapee;
    bool tempsReel = false;
    QChar separateur; // null: the clipboard target
    for (const auto& [nom, valeur] : a.options) {
        if (nom == "--target")
            cible = valeur;
        else if (nom == "--frame")
            image = valeur;
        else if (nom == "--zoom")
            zoom = valeur;
        else if (nom == "--scale")
            echelle = valeur;
        else if (nom == "--origin")
            origine = valeur;
        else if (nom == "--axes")
            axes = valeur;
        else if (nom == "--chrono")
            chrono = valeur;
        else if (nom == "--capture-rate")
            captureTapee = valeur;
        else if (nom == "--real-time")
            tempsReel = true;
        else if (nom == "--csv")
            separateur = u',';
        else if (nom == "--txt")
            separateur = u'\t';
    }
    if (!cible) Echec(kErreurCommande, "--target X,Y is required");

    // Everything on the command line is checked before the film is opened.
    const QPoint cibleImage = Point(*cible, "--target");
    const int z = zoom ? Entier(*zoom, "--zoom") : 1;
    if (z < 1 || z > 5)
        Echec(kErreurCommande, QStringLiteral("--zoom: %1 is not between 1 and 5").arg(z));
    std::optional<QPoint> debutEchelle, finEchelle;
    double longueur = 1.0;
    if (echelle) {
        // X1,Y1,X2,Y2,LENGTH; the length may itself hold a decimal comma.
        const QStringList p = echelle->split(u',');
        if (p.size() < 5)
            Echec(kErreurCommande,
                  QStringLiteral("--scale: expected X1,Y1,X2,Y2,LENGTH, got '%1'").arg(*echelle));
        debutEchelle = QPoint(Entier(p[0], "--scale"), Entier(p[1], "--scale"));
        finEchelle = QPoint(Entier(p[2], "--scale"), Entier(p[3], "--scale"));
        const QString texteLongueur = p.mid(4).join(u',');
        try {
            longueur = LireReel(texteLongueur);
        } catch (const ErreurConversion&) {
            Echec(kErreurCommande,
                  QStringLiteral("--scale: '%1' is not a length").arg(texteLongueur));
        }
        if (!SegmentEchelleAcceptable(*debutEchelle, *finEchelle))
            Echec(kErreurCommande, QStringLiteral("--scale: Points trop proches"));
    }
    std::optional<QPoint> origineImage;
    if (origine) origineImage = Point(*origine, "--origin");
    const OrientationAxes orientation = axes ? Axes(*axes) : OrientationAxes::HautDroite;
    if (chrono) VerifierSortie(*chrono);
    if (captureTapee) {
        TempsReel essai;
        if (!essai.FixerCadenceCapture(*captureTapee))
            Echec(kErreurCommande,
                  QStringLiteral("--capture-rate: '%1' is not a frame rate").arg(*captureTapee));
    }

    const FilmOuvert film = OuvrirFilm(a.positionnels[0]);
    MoteurVideo& m = *film.moteur;
    const std::int64_t depart = image ? ImageDepart(*image, m) : 0;
    if (cibleImage.x() < 0 || cibleImage.y() < 0 || cibleImage.x() >= m.Infos().largeur ||
        cibleImage.y() >= m.Infos().hauteur)
        Echec(kErreurCommande, QStringLiteral("--target: (%1, %2) is outside the %3x%4 frame")
                                   .arg(cibleImage.x())
                                   .arg(cibleImage.y())
                                   .arg(m.Infos().largeur)
                                   .arg(m.Infos().hauteur));

    CalibrationOuverture ouverture = CalibrationApresOuverture(m);
    // Real time: the film's capture rate, or the one given (which asks for real time itself).
    ouverture.tempsReel.FixerDemande(tempsReel);
    if (captureTapee) ouverture.tempsReel.FixerCadenceCapture(*captureTapee);
    if (ouverture.tempsReel.Demande() && !ouverture.tempsReel.Actif())
        Echec(kErreurCommande,
              QStringLiteral(
                  "--real-time: the film carries no capture rate; give --capture-rate FPS"));
    VideoCalibration c = ouverture.calibration;
    c.Zoom = z;
    if (debutEchelle) {
        c.ScaleStart = *debutEchelle;
        c.ScaleEnd = *finEchelle;
        c.ScaleLength = longueur;
    }
    if (origineImage) c.Origin = *origineImage;
    c.Orientation = orientation;
    c.MettreAJourFacteurs();

    auto tables = std::make_unique<TablesPointage>();
    MachinePointage machine(*tables);
    ParametresAnalyse p;
    p.imageDepart = depart;
    p.suivre = true;
    p.cibleImage = cibleImage;
    p.fichierChrono = chrono.value_or(QString());
    QString bilan;
    bool distincte = true;
    IssueAnalyse issue = IssueAnalyse::Terminee;
    {
        Progression progression;
        issue = AnalyserFilm(m, ouverture, p, c, *tables, machine, std::ref(progression), &bilan,
                             &distincte);
    }
    // The warning and the outcome the form shows, one line each.
    if (!distincte) Ecrire(stderr, QString::fromUtf8(kMessageCibleConfondue) + u'\n');
    if (!bilan.isEmpty()) Ecrire(stderr, bilan + u'\n');
    if (issue == IssueAnalyse::ChronoNonEcrite)
        Echec(kErreurFichier, QStringLiteral("cannot write '%1'").arg(*chrono));

    // The tables are converted as the form converts them before building a text.
    c.MettreAJourFacteurs();
    tables->OrigineUnique(c.Origin);
    Ecrire(stdout, separateur.isNull() ? TextePressePapiers(c, *tables, 1)
                                       : TexteExport(c, *tables, 1, separateur));
    return 0;
}

int Chrono(const QStringList& arguments) {
    const Arguments a = Analyser(arguments, {"--frame"}, {});
    if (a.positionnels.size() != 2)
        Echec(kErreurCommande, "usage: kinepo-cli chrono FILM OUT.bmp [--frame N]");
    std::optional<QString> image;
    for (const auto& [nom, valeur] : a.options)
        if (nom == "--frame") image = valeur;
    const QString sortie = a.positionnels[1];
    if (image) Entier(*image, "--frame");
    VerifierSortie(sortie);

    const FilmOuvert film = OuvrirFilm(a.positionnels[0]);
    MoteurVideo& m = *film.moteur;
    const std::int64_t depart = image ? ImageDepart(*image, m) : 0;
    const CalibrationOuverture ouverture = CalibrationApresOuverture(m);
    VideoCalibration c = ouverture.calibration;
    auto tables = std::make_unique<TablesPointage>();
    MachinePointage machine(*tables);
    ParametresAnalyse p;
    p.imageDepart = depart;
    p.fichierChrono = sortie;
    Progression progression;
    if (AnalyserFilm(m, ouverture, p, c, *tables, machine, std::ref(progression)) ==
        IssueAnalyse::ChronoNonEcrite)
        Echec(kErreurFichier, QStringLiteral("cannot write '%1'").arg(sortie));
    return 0;
}

} // namespace

int CommandeInfo(const QStringList& arguments) {
    return Executer("info", [&] { return Info(arguments); });
}
int CommandeTrack(const QStringList& arguments) {
    return Executer("track", [&] { return Track(arguments); });
}
int CommandeChrono(const QStringList& arguments) {
    return Executer("chrono", [&] { return Chrono(arguments); });
}

std::vector<Commande> CommandesVideo() {
    return {
        {"info",
         "info FILM  (upright frame size, frame count, frame rate, duration, codec, and the "
         "rotation and capture rate when the film has them)",
         CommandeInfo},
        {"track",
         "track FILM --target X,Y [--frame N] [--zoom Z] [--scale X1,Y1,X2,Y2,LENGTH] "
         "[--origin X,Y] [--axes up-right|down-right|up-left|down-left] [--chrono OUT.bmp] "
         "[--real-time [--capture-rate FPS]] [--csv|--txt]",
         CommandeTrack},
        {"chrono", "chrono FILM OUT.bmp [--frame N]", CommandeChrono},
    };
}

} // namespace kinepo::cli
