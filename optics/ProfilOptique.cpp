#include "optics/ProfilOptique.h"

#include "common/Arrondi.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace kinepo {
namespace {

constexpr std::size_t kCapacite = TableauGraphe::Capacite;

// Pixels of the picture in memory (32-bit pixels, 0xffRRGGBB).
class LecteurImage {
public:
    explicit LecteurImage(const QImage& image)
        : bits_(image.constBits()), pas_(image.bytesPerLine()) {}
    bool lire(int x, int y, int& somme, bool& sature) const {
        const auto p = reinterpret_cast<const std::uint32_t*>(bits_ + qsizetype(y) * pas_)[x];
        const int r = int((p >> 16) & 0xff), g = int((p >> 8) & 0xff), b = int(p & 0xff);
        somme = r + g + b;
        sature = r == 255 || g == 255 || b == 255;
        return true;
    }
    // Outside pixels cancel the sum (the picture's own rule for direct reading).
    static constexpr bool DehorsAnnule = true;

private:
    const uchar* bits_;
    qsizetype pas_;
};

// Pixels of the BMP copy: a window of `fenetre` rows kept in memory, row y in slot y mod
// fenetre, each row read in one call when first needed. The walk asks for at most `fenetre`
// consecutive rows at any step, so a row is read once per computation.
class LecteurCopie {
public:
    LecteurCopie(const QString& chemin, QSize taille, int fenetre)
        : largeur_(taille.width()), hauteur_(taille.height()),
          pas_((3 * qsizetype(taille.width()) + 3) & ~qsizetype(3)), fenetre_(std::max(1, fenetre)),
          tampon_(std::size_t(pas_) * std::size_t(fenetre_)), etiquette_(std::size_t(fenetre_), -1),
          valides_(std::size_t(fenetre_), 0), fichier_(chemin) {
        ouvert_ = fichier_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool lire(int x, int y, int& somme, bool& sature) {
        const std::size_t slot = std::size_t(y % fenetre_);
        uchar* rangee = tampon_.data() + slot * std::size_t(pas_);
        if (etiquette_[slot] != y) {
            etiquette_[slot] = y;
            valides_[slot] = 0;
            if (ouvert_ && fichier_.seek(54 + qint64(hauteur_ - 1 - y) * pas_)) {
                const qint64 lus = fichier_.read(reinterpret_cast<char*>(rangee), pas_);
                valides_[slot] = lus > 0 ? lus : 0;
            }
        }
        if (3 * qint64(x) + 3 > valides_[slot]) return false;
        const uchar* p = rangee + 3 * x;
        somme = int(p[0]) + int(p[1]) + int(p[2]);
        sature = p[0] == 255 || p[1] == 255 || p[2] == 255;
        return true;
    }
    static constexpr bool DehorsAnnule = false;

private:
    int largeur_, hauteur_;
    qsizetype pas_;
    int fenetre_;
    std::vector<uchar> tampon_;
    std::vector<int> etiquette_;
    std::vector<qint64> valides_;
    QFile fichier_;
    bool ouvert_ = false;
};

struct Orient {
    bool selonX, alignee;
    long double pente;
};

Orient OrientationDe(QPoint p1, QPoint p2) {
    if (p2.x() == p1.x()) return {false, true, 0};
    if (p2.y() == p1.y()) return {true, true, 0};
    const long double s = (long double)(p1.y() - p2.y()) / (long double)(p1.x() - p2.x());
    return {std::fabs(s) <= 1, false, s};
}

} // namespace

ProfilOptique::ProfilOptique() : sature_(new std::uint8_t[kCapacite]) {
    Reinitialiser();
}

void ProfilOptique::Reinitialiser() {
    Debut = Fin = 0;
    std::fill(Intensite.data(), Intensite.data() + kCapacite, 0.0);
    for (int i = IndiceMin; i <= IndiceMax; ++i)
        Distance[i] = i;
    std::memset(sature_.get(), 0, kCapacite);
}

void ProfilOptique::Orientation() {
    const Orient o = OrientationDe(Poignee[1], Poignee[2]);
    SelonX = o.selonX;
    Alignee = o.alignee;
    Pente = o.pente;
}

double ProfilOptique::MetresParPas() const {
    double e = TaillePixel;
    if (TypeEchelle == 0) {
        const double dx = Poignee[4].x() - Poignee[3].x(), dy = Poignee[4].y() - Poignee[3].y();
        double d = std::sqrt(dx * dx + dy * dy);
        if (Lecture == LecturePixels::Copie) d /= Zoom;
        if (d == 0) throw std::domain_error("Echelle incorrecte");
        e = LongueurEchelle / d;
    }
    const Orient o = OrientationDe(Poignee[1], Poignee[2]);
    if (!o.alignee) {
        const long double s2 = o.pente * o.pente;
        e = double(e * (o.selonX ? std::sqrt(1 + s2) : std::sqrt(1 + 1 / s2)));
    }
    return e;
}

QPoint ProfilOptique::VersPoignee(QPoint ecran) const {
    if (Lecture == LecturePixels::Copie) return ecran;
    return {ArrondiInt(ecran.x() / Zoom), ArrondiInt(ecran.y() / Zoom)};
}

QPoint ProfilOptique::VersEcran(QPoint poignee) const {
    if (Lecture == LecturePixels::Copie) return poignee;
    return {ArrondiInt(poignee.x() * Zoom), ArrondiInt(poignee.y() * Zoom)};
}

int ProfilOptique::NombreSatures() const {
    int n = 0;
    for (int i = Debut; i <= Fin; ++i)
        n += Sature(i) ? 1 : 0;
    return n;
}

void ProfilOptique::CalculerDirect(const QImage& image) {
    Lecture = LecturePixels::Directe;
    Image = image.size();
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32) {
        LecteurImage l(image);
        Calculer(l);
    } else {
        const QImage i32 = image.convertToFormat(QImage::Format_RGB32);
        LecteurImage l(i32);
        Calculer(l);
    }
}

void ProfilOptique::CalculerCopie(const QString& fichierCopie) {
    Lecture = LecturePixels::Copie;
    Orientation();
    // Rows asked for at one step: one when walking along y; when walking along x, the rows of
    // the 2m + 1 base points (displayed offsets turned into picture rows).
    int fenetre = 1;
    if (SelonX) {
        const int m = std::clamp(Moyenne, 0, MoyenneMax);
        const int haut = ArrondiInt((Poignee[1].y() - m) / Zoom);
        const int bas = ArrondiInt((Poignee[1].y() + m) / Zoom);
        fenetre = std::clamp(bas - haut + 1, 1, std::max(1, Image.height()));
    }
    LecteurCopie l(fichierCopie, Image, fenetre);
    Calculer(l);
}

template <class Lecteur> void ProfilOptique::Calculer(Lecteur& lecteur) {
    Orientation();
    const double e = MetresParPas(); // a scale that cannot be made leaves the profile as it was
    std::fill(Intensite.data(), Intensite.data() + kCapacite, 0.0);
    std::memset(sature_.get(), 0, kCapacite);
    const int m = std::clamp(Moyenne, 0, MoyenneMax);
    const int lignes = 2 * m + 1;
    const bool copie = Lecture == LecturePixels::Copie;
    const QPoint p1 = Poignee[1];

    // Range, in handle coordinates, then in picture steps.
    const QSize etendue = copie ? Affiche : Image;
    double debut, fin;
    if (SelonX) {
        debut = -p1.x() + m;
        fin = etendue.width() - p1.x() - m;
    } else {
        debut = -p1.y() + m;
        fin = etendue.height() - p1.y() - m;
    }
    if (copie) {
        debut = double(Arrondi(debut / Zoom));
        fin = double(Arrondi(fin / Zoom));
    }
    const int d0 = int(std::max<double>(debut, IndiceMin));
    const int d1 = int(std::min<double>(fin, IndiceMax));

    // Base point of each parallel line, in picture pixels.
    std::array<int, 2 * MoyenneMax + 1> bx{}, by{};
    for (int k = 0; k < lignes; ++k) {
        const int dec = DecalageLigne(k);
        int x = p1.x() + (SelonX ? 0 : dec), y = p1.y() + (SelonX ? dec : 0);
        if (copie) {
            x = ArrondiInt(x / Zoom);
            y = ArrondiInt(y / Zoom);
        }
        bx[std::size_t(k)] = x;
        by[std::size_t(k)] = y;
    }

    const int W = Image.width(), H = Image.height();
    for (int i = d0; i <= d1; ++i) {
        int ex = 0, ey = 0; // offset of step i from the base point
        if (SelonX) {
            ex = i;
            ey = Alignee ? 0 : int(std::nearbyint((long double)i * Pente));
        } else {
            ey = i;
            ex = Alignee ? 0 : int((long double)i / Pente); // truncated toward zero
        }
        int somme = 0;
        bool sature = false;
        for (int k = 0; k < lignes; ++k) {
            const int x = bx[std::size_t(k)] + ex, y = by[std::size_t(k)] + ey;
            if (x < 0 || y < 0 || x >= W || y >= H) {
                if constexpr (Lecteur::DehorsAnnule) {
                    somme = 0;
                    sature = false;
                }
                continue;
            }
            int s = 0;
            bool sat = false;
            if (lecteur.lire(x, y, s, sat)) {
                somme += s;
                sature = sature || sat;
            } else {
                somme = 0;
                sature = false;
            }
        }
        Intensite[i] = somme;
        sature_[std::size_t(i - IndiceMin)] = sature ? 1 : 0;
        Distance[i] = i * e;
    }

    // Trim the zero samples at both ends; index 0 always stays.
    int a = d0, b = d1;
    while (a < 0 && Intensite[a] == 0)
        ++a;
    while (b > 0 && Intensite[b] == 0)
        --b;
    Debut = a;
    Fin = b;
    const double diviseur = 765.0 * lignes;
    for (int i = Debut; i <= Fin; ++i)
        Intensite[i] = Intensite[i] / diviseur;
}

} // namespace kinepo
