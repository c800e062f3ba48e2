#include "platform/camera/SourceCamera.h"

#include "common/IniFile.h"
#include "platform/Chemins.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace kinepo {
namespace {

FabriqueSourceCamera& Fabrique() {
    static FabriqueSourceCamera f;
    return f;
}

std::uint8_t Octet(double v) {
    return std::uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

// The generated camera. Its settings are only remembered, so the source dialog and the lock
// of the automatic modes can be tried without a device.
class SourceMotif final : public ISourceCamera {
public:
    explicit SourceMotif(ParametresMotif p) : p_(std::move(p)) {
        p_.largeur = std::clamp(p_.largeur, 8, 4096);
        p_.hauteur = std::clamp(p_.hauteur, 8, 4096);
        if (p_.verrouillable) {
            controles_.push_back({1,
                                  QStringLiteral("Exposition automatique"),
                                  ControleCamera::Genre::Menu,
                                  0,
                                  1,
                                  1,
                                  1,
                                  1,
                                  {QStringLiteral("Manuelle"), QStringLiteral("Automatique")}});
            controles_.push_back({2,
                                  QStringLiteral("Gain automatique"),
                                  ControleCamera::Genre::Booleen,
                                  0,
                                  1,
                                  1,
                                  1,
                                  1,
                                  {}});
        }
        controles_.push_back(
            {3, QStringLiteral("Gain"), ControleCamera::Genre::Entier, 0, 255, 1, 64, 64, {}});
    }
    QString Nom() const override { return QStringLiteral("motif"); }
    void Ouvrir() override {
        plan_.assign(std::size_t(p_.largeur) * std::size_t(p_.hauteur), 16);
        ouvert_ = true;
    }
    void Fermer() override { ouvert_ = false; }
    QSize Taille() const override { return {p_.largeur, p_.hauteur}; }
    EtatLecture Lire(const std::function<void(const ImageCamera&)>& recevoir, QString& raison,
                     int) override {
        if (!ouvert_) {
            raison = QStringLiteral("La webcam n'est pas connectée");
            return EtatLecture::Panne;
        }
        if (p_.panneApres >= 0 && n_ >= p_.panneApres) {
            raison = QStringLiteral("La webcam ne répond plus");
            return EtatLecture::Panne;
        }
        Generer();
        ImageCamera image;
        image.largeur = p_.largeur;
        image.hauteur = p_.hauteur;
        image.luma = plan_.data();
        image.tempsS = n_ * p_.periodeS;
        image.couleur = [this] { return CouleurLuma(plan_.data(), p_.largeur, p_.hauteur); };
        ++n_;
        recevoir(image);
        return EtatLecture::Image;
    }
    std::vector<ControleCamera> Controles() override { return controles_; }
    bool FixerControle(std::uint32_t id, int valeur) override {
        for (ControleCamera& c : controles_)
            if (c.id == id) {
                c.valeur = std::clamp(valeur, c.mini, c.maxi);
                return true;
            }
        return false;
    }
    bool VerrouillerAutomatismes(QString& raison) override {
        if (!p_.verrouillable) return ISourceCamera::VerrouillerAutomatismes(raison);
        FixerControle(1, 0);
        FixerControle(2, 0);
        return true;
    }

private:
    void Generer() {
        const int w = p_.largeur, h = p_.hauteur;
        if (p_.generateur) {
            p_.generateur(n_, plan_.data(), w, h);
        } else if (p_.luma >= 0) {
            std::fill(plan_.begin(), plan_.end(), std::uint8_t(std::min(p_.luma, 255)));
        } else {
            // Rings r² · k, drifting by one fringe every 25 frames, through a table of one
            // period so that a frame costs no trigonometry.
            if (anneaux_.empty()) Preparer();
            const int decalage = (n_ % 25) * kPas / 25;
            for (std::size_t i = 0; i < plan_.size(); ++i)
                plan_[i] = periode_[std::size_t((anneaux_[i] - decalage) & (kPas - 1))];
        }
    }

    static constexpr int kPas = 1024; // steps per period (a power of two)
    void Preparer() {
        const int w = p_.largeur, h = p_.hauteur;
        const double r2max = double(w) * w / 4 + double(h) * h / 4;
        anneaux_.resize(plan_.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double dx = x - w / 2.0, dy = y - h / 2.0;
                anneaux_[std::size_t(y) * std::size_t(w) + std::size_t(x)] =
                    int(std::lround(6 * kPas * (dx * dx + dy * dy) / r2max));
            }
        periode_.resize(kPas);
        for (int k = 0; k < kPas; ++k)
            periode_[std::size_t(k)] =
                Octet(16 + 219 * (0.5 + 0.5 * std::cos(2 * std::numbers::pi * k / kPas)));
    }

    ParametresMotif p_;
    std::vector<std::uint8_t> plan_;
    std::vector<int> anneaux_;          // phase of each pixel in table steps
    std::vector<std::uint8_t> periode_; // luma over one period
    std::vector<ControleCamera> controles_;
    int n_ = 0;
    bool ouvert_ = false;
};

} // namespace

std::unique_ptr<ISourceCamera> CreerSourceMotif(const ParametresMotif& parametres) {
    return std::make_unique<SourceMotif>(parametres);
}

ParametresMotif LireDescriptionMotif(const QString& description) {
    ParametresMotif p;
    const qsizetype deuxPoints = description.indexOf(QLatin1Char(':'));
    if (deuxPoints < 0) return p;
    for (const QString& morceau :
         description.mid(deuxPoints + 1).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList cv = morceau.split(QLatin1Char('='));
        bool ok = cv.size() == 2;
        const int v = ok ? cv[1].trimmed().toInt(&ok) : 0;
        const QString cle = cv.value(0).trimmed();
        if (ok && cle == QLatin1String("largeur") && v >= 8 && v <= 4096)
            p.largeur = v;
        else if (ok && cle == QLatin1String("hauteur") && v >= 8 && v <= 4096)
            p.hauteur = v;
        else if (ok && cle == QLatin1String("luma") && v >= 0 && v <= 255)
            p.luma = v;
        else if (ok && cle == QLatin1String("panne") && v >= 0)
            p.panneApres = v;
        else if (ok && cle == QLatin1String("verrou") && (v == 0 || v == 1))
            p.verrouillable = v == 1;
        else
            throw ErreurCamera(QStringLiteral("Réglage de webcam inconnu : %1").arg(morceau));
    }
    return p;
}

std::unique_ptr<ISourceCamera> CreerSourceCamera() {
    if (Fabrique()) return Fabrique()();
    QString nom = qEnvironmentVariable("KINEPO_CAMERA").trimmed();
    if (nom.isEmpty())
        nom =
            IniFile(NomFichierIni()).lireTexte(QStringLiteral("Webcam"), QStringLiteral("Source"));
    nom = nom.trimmed();
    if (nom.startsWith(QLatin1String("motif"))) return CreerSourceMotif(LireDescriptionMotif(nom));
    if (nom.startsWith(QLatin1String("film:"))) return CreerSourceFilm(nom.mid(5), true);
    if (nom.startsWith(QLatin1String("v4l2:"))) return CreerSourceV4l2(nom.mid(5));
    return CreerSourceV4l2(nom.isEmpty() ? QStringLiteral("/dev/video0") : nom);
}

FabriqueSourceCamera FixerFabriqueSourceCamera(FabriqueSourceCamera fabrique) {
    FabriqueSourceCamera ancienne = std::move(Fabrique());
    Fabrique() = std::move(fabrique);
    return ancienne;
}

QImage CouleurYuv420(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
                     int largeur, int hauteur) {
    QImage image(largeur, hauteur, QImage::Format_RGB888);
    const int lc = (largeur + 1) / 2;
    for (int j = 0; j < hauteur; ++j) {
        std::uint8_t* d = image.scanLine(j);
        const std::uint8_t* ly = y + std::size_t(j) * std::size_t(largeur);
        const std::uint8_t* lu = u + std::size_t(j / 2) * std::size_t(lc);
        const std::uint8_t* lv = v + std::size_t(j / 2) * std::size_t(lc);
        for (int i = 0; i < largeur; ++i) {
            const double c = 1.164383 * (ly[i] - 16);
            const double cu = lu[i / 2] - 128.0, cv = lv[i / 2] - 128.0;
            d[3 * i] = Octet(c + 1.596027 * cv);
            d[3 * i + 1] = Octet(c - 0.391762 * cu - 0.812968 * cv);
            d[3 * i + 2] = Octet(c + 2.017232 * cu);
        }
    }
    return image;
}

QImage CouleurLuma(const std::uint8_t* y, int largeur, int hauteur) {
    QImage image(largeur, hauteur, QImage::Format_RGB888);
    for (int j = 0; j < hauteur; ++j) {
        std::uint8_t* d = image.scanLine(j);
        const std::uint8_t* ly = y + std::size_t(j) * std::size_t(largeur);
        for (int i = 0; i < largeur; ++i)
            d[3 * i] = d[3 * i + 1] = d[3 * i + 2] = Octet(1.164383 * (ly[i] - 16));
    }
    return image;
}

} // namespace kinepo
