// The acquisition interface on SANE: devices listed by sane_get_devices, the main options
// (mode, resolution, scan area) read and set through their descriptors, and the frames read
// into memory (one pass, or three passes of red, green and blue).
#include "platform/Numeriseur.h"

#include <QByteArray>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <sane/sane.h>
#include <sane/saneopts.h>

namespace kinepo {

namespace {

// SANE is not reentrant: one call at a time, from whichever thread (the form searches for
// devices on a thread of its own).
std::mutex g_sane;

[[noreturn]] void Echec(const QString& quoi, SANE_Status statut) {
    throw ErreurNumeriseur(QStringLiteral("%1 (%2)")
                               .arg(quoi, QString::fromLocal8Bit(sane_strstatus(statut)))
                               .toStdString());
}

// SANE is started once, on first use, and stopped when the program ends.
bool DemarrerSane() {
    static const bool pret = [] {
        SANE_Int version = 0;
        if (sane_init(&version, nullptr) != SANE_STATUS_GOOD) return false;
        std::atexit([] {
            const std::lock_guard<std::mutex> verrou(g_sane);
            sane_exit();
        });
        return true;
    }();
    return pret;
}

// An open device, closed with its scope.
class Appareil {
public:
    explicit Appareil(const QString& nom) {
        if (!DemarrerSane())
            throw ErreurNumeriseur(
                QStringLiteral("L'interface des scanners (SANE) ne démarre pas").toStdString());
        const SANE_Status s = sane_open(nom.toLocal8Bit().constData(), &h_);
        if (s != SANE_STATUS_GOOD)
            Echec(QStringLiteral("Impossible d'ouvrir la source %1").arg(nom), s);
    }
    ~Appareil() {
        sane_cancel(h_);
        sane_close(h_);
    }
    Appareil(const Appareil&) = delete;
    Appareil& operator=(const Appareil&) = delete;

    SANE_Handle h() const { return h_; }

    // Index and descriptor of the named option, or -1.
    int option(const char* nom, const SANE_Option_Descriptor** d) const {
        SANE_Int n = 0;
        if (sane_control_option(h_, 0, SANE_ACTION_GET_VALUE, &n, nullptr) != SANE_STATUS_GOOD)
            return -1;
        for (int i = 1; i < n; ++i) {
            const SANE_Option_Descriptor* o = sane_get_option_descriptor(h_, i);
            if (o && o->name && std::strcmp(o->name, nom) == 0 && SANE_OPTION_IS_ACTIVE(o->cap)) {
                *d = o;
                return i;
            }
        }
        return -1;
    }

    // A numeric option (integer or fixed point) as a real; false when absent.
    bool lireNombre(const char* nom, double& valeur, const SANE_Option_Descriptor** d) const {
        const int i = option(nom, d);
        if (i < 0 || (*d)->size < int(sizeof(SANE_Word))) return false;
        SANE_Word w = 0;
        if (sane_control_option(h_, i, SANE_ACTION_GET_VALUE, &w, nullptr) != SANE_STATUS_GOOD)
            return false;
        valeur = (*d)->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w);
        return true;
    }

    void ecrireNombre(const char* nom, double valeur) const {
        const SANE_Option_Descriptor* d = nullptr;
        const int i = option(nom, &d);
        if (i < 0 || !SANE_OPTION_IS_SETTABLE(d->cap)) return;
        if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
            const auto* r = d->constraint.range;
            const double mn = d->type == SANE_TYPE_FIXED ? SANE_UNFIX(r->min) : r->min;
            const double mx = d->type == SANE_TYPE_FIXED ? SANE_UNFIX(r->max) : r->max;
            valeur = std::clamp(valeur, mn, mx);
        }
        SANE_Word w =
            d->type == SANE_TYPE_FIXED ? SANE_FIX(valeur) : SANE_Word(std::lround(valeur));
        SANE_Int info = 0;
        const SANE_Status s = sane_control_option(h_, i, SANE_ACTION_SET_VALUE, &w, &info);
        if (s != SANE_STATUS_GOOD) Echec(QStringLiteral("Réglage « %1 » refusé").arg(nom), s);
    }

    void ecrireTexte(const char* nom, const QString& valeur) const {
        const SANE_Option_Descriptor* d = nullptr;
        const int i = option(nom, &d);
        if (i < 0 || d->type != SANE_TYPE_STRING || !SANE_OPTION_IS_SETTABLE(d->cap) ||
            valeur.isEmpty())
            return;
        QByteArray v = valeur.toLocal8Bit();
        v.resize(std::max<qsizetype>(v.size() + 1, d->size), '\0');
        SANE_Int info = 0;
        const SANE_Status s = sane_control_option(h_, i, SANE_ACTION_SET_VALUE, v.data(), &info);
        if (s != SANE_STATUS_GOOD) Echec(QStringLiteral("Réglage « %1 » refusé").arg(nom), s);
    }

private:
    SANE_Handle h_ = nullptr;
};

double Borne(const SANE_Option_Descriptor* d, SANE_Word w) {
    return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w);
}

// The bytes of one frame, read until its end.
QByteArray LireTrame(SANE_Handle h, const SANE_Parameters& p) {
    QByteArray octets;
    if (p.lines > 0) octets.reserve(qsizetype(p.bytes_per_line) * p.lines);
    SANE_Byte tampon[65536];
    for (;;) {
        SANE_Int lus = 0;
        const SANE_Status s = sane_read(h, tampon, SANE_Int(sizeof tampon), &lus);
        if (s == SANE_STATUS_EOF) break;
        if (s != SANE_STATUS_GOOD) Echec(QStringLiteral("Lecture du scanner interrompue"), s);
        octets.append(reinterpret_cast<const char*>(tampon), lus);
    }
    return octets;
}

// The sample `i` (0..) of a line at this depth, as 0..255.
int Echantillon(const uchar* ligne, int i, int profondeur) {
    switch (profondeur) {
    case 1: // 1 is black
        return (ligne[i / 8] >> (7 - i % 8)) & 1 ? 0 : 255;
    case 16:
        return qFromUnaligned<quint16>(ligne + 2 * i) >> 8;
    default:
        return ligne[i];
    }
}

class NumeriseurSane : public INumeriseur {
public:
    std::vector<SourceNumeriseur> Sources() override {
        const std::lock_guard<std::mutex> verrou(g_sane);
        std::vector<SourceNumeriseur> liste;
        if (!DemarrerSane()) return liste;
        const SANE_Device** appareils = nullptr;
        if (sane_get_devices(&appareils, SANE_FALSE) != SANE_STATUS_GOOD || !appareils)
            return liste;
        for (int i = 0; appareils[i]; ++i) {
            const SANE_Device* a = appareils[i];
            SourceNumeriseur s;
            s.nom = QString::fromLocal8Bit(a->name);
            s.libelle = QStringLiteral("%1 %2 (%3)")
                            .arg(QString::fromLocal8Bit(a->vendor),
                                 QString::fromLocal8Bit(a->model), s.nom);
            liste.push_back(s);
        }
        return liste;
    }

    OptionsNumeriseur Options(const QString& source) override {
        const std::lock_guard<std::mutex> verrou(g_sane);
        Appareil a(source);
        OptionsNumeriseur o;
        const SANE_Option_Descriptor* d = nullptr;
        if (const int i = a.option(SANE_NAME_SCAN_MODE, &d);
            i >= 0 && d->type == SANE_TYPE_STRING) {
            if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST)
                for (const SANE_String_Const* m = d->constraint.string_list; m && *m; ++m)
                    o.modes << QString::fromLocal8Bit(*m);
            QByteArray v(std::max(1, int(d->size)), '\0');
            if (sane_control_option(a.h(), i, SANE_ACTION_GET_VALUE, v.data(), nullptr) ==
                SANE_STATUS_GOOD)
                o.mode = QString::fromLocal8Bit(v.constData());
        }
        double r = 0;
        if (a.lireNombre(SANE_NAME_SCAN_RESOLUTION, r, &d)) {
            o.resolution = int(std::lround(r));
            if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
                o.resolutionMin = int(std::lround(Borne(d, d->constraint.range->min)));
                o.resolutionMax = int(std::lround(Borne(d, d->constraint.range->max)));
            } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list) {
                const SANE_Word* l = d->constraint.word_list;
                for (int k = 1; k <= l[0]; ++k)
                    o.resolutions.push_back(int(std::lround(Borne(d, l[k]))));
            }
        }
        double g = 0, h = 0, dr = 0, b = 0;
        const SANE_Option_Descriptor *dg = nullptr, *dh = nullptr, *dd = nullptr, *db = nullptr;
        if (a.lireNombre(SANE_NAME_SCAN_TL_X, g, &dg) &&
            a.lireNombre(SANE_NAME_SCAN_TL_Y, h, &dh) &&
            a.lireNombre(SANE_NAME_SCAN_BR_X, dr, &dd) &&
            a.lireNombre(SANE_NAME_SCAN_BR_Y, b, &db)) {
            o.zone = QRectF(QPointF(g, h), QPointF(dr, b));
            if (dd->constraint_type == SANE_CONSTRAINT_RANGE &&
                db->constraint_type == SANE_CONSTRAINT_RANGE &&
                dg->constraint_type == SANE_CONSTRAINT_RANGE &&
                dh->constraint_type == SANE_CONSTRAINT_RANGE)
                o.zoneMax = QRectF(QPointF(Borne(dg, dg->constraint.range->min),
                                           Borne(dh, dh->constraint.range->min)),
                                   QPointF(Borne(dd, dd->constraint.range->max),
                                           Borne(db, db->constraint.range->max)));
        }
        return o;
    }

    QImage Acquerir(const QString& source, const ReglagesNumeriseur& r) override {
        const std::lock_guard<std::mutex> verrou(g_sane);
        Appareil a(source);
        a.ecrireTexte(SANE_NAME_SCAN_MODE, r.mode);
        if (r.resolution > 0) a.ecrireNombre(SANE_NAME_SCAN_RESOLUTION, r.resolution);
        if (!r.zone.isEmpty()) {
            // The corners in an order that never makes the area empty on the way.
            a.ecrireNombre(SANE_NAME_SCAN_TL_X, 0);
            a.ecrireNombre(SANE_NAME_SCAN_TL_Y, 0);
            a.ecrireNombre(SANE_NAME_SCAN_BR_X, r.zone.right());
            a.ecrireNombre(SANE_NAME_SCAN_BR_Y, r.zone.bottom());
            a.ecrireNombre(SANE_NAME_SCAN_TL_X, r.zone.left());
            a.ecrireNombre(SANE_NAME_SCAN_TL_Y, r.zone.top());
        }
        QImage image;
        bool derniere = false;
        while (!derniere) {
            SANE_Status s = sane_start(a.h());
            if (s != SANE_STATUS_GOOD) Echec(QStringLiteral("Le scanner ne démarre pas"), s);
            SANE_Parameters p;
            s = sane_get_parameters(a.h(), &p);
            if (s != SANE_STATUS_GOOD)
                Echec(QStringLiteral("Le scanner ne donne pas son format"), s);
            const QByteArray octets = LireTrame(a.h(), p);
            derniere = p.last_frame;
            if (p.bytes_per_line <= 0 || p.pixels_per_line <= 0) continue;
            const int lignes = int(octets.size() / p.bytes_per_line);
            if (lignes <= 0)
                throw ErreurNumeriseur(
                    QStringLiteral("Le scanner n'a envoyé aucune ligne").toStdString());
            if (image.isNull()) {
                image = QImage(p.pixels_per_line, lignes, QImage::Format_RGB32);
                if (image.isNull())
                    throw ErreurNumeriseur(
                        QStringLiteral("Mémoire insuffisante pour l'image").toStdString());
                image.fill(qRgb(0, 0, 0));
            }
            const int hauteur = std::min(lignes, image.height());
            const int largeur = std::min(p.pixels_per_line, image.width());
            for (int y = 0; y < hauteur; ++y) {
                const auto* l = reinterpret_cast<const uchar*>(octets.constData()) +
                                qsizetype(y) * p.bytes_per_line;
                auto* dest = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < largeur; ++x) {
                    switch (p.format) {
                    case SANE_FRAME_GRAY: {
                        const int v = Echantillon(l, x, p.depth);
                        dest[x] = qRgb(v, v, v);
                        break;
                    }
                    case SANE_FRAME_RGB:
                        dest[x] =
                            qRgb(Echantillon(l, 3 * x, p.depth), Echantillon(l, 3 * x + 1, p.depth),
                                 Echantillon(l, 3 * x + 2, p.depth));
                        break;
                    case SANE_FRAME_RED:
                        dest[x] =
                            (dest[x] & 0xFF00FFFFu) | (QRgb(Echantillon(l, x, p.depth)) << 16);
                        break;
                    case SANE_FRAME_GREEN:
                        dest[x] = (dest[x] & 0xFFFF00FFu) | (QRgb(Echantillon(l, x, p.depth)) << 8);
                        break;
                    case SANE_FRAME_BLUE:
                        dest[x] = (dest[x] & 0xFFFFFF00u) | QRgb(Echantillon(l, x, p.depth));
                        break;
                    }
                }
            }
        }
        return image;
    }
};

INumeriseur* g_installe = nullptr;

} // namespace

INumeriseur& Numeriseur() {
    if (g_installe) return *g_installe;
    static NumeriseurSane sane;
    return sane;
}

INumeriseur* InstallerNumeriseur(INumeriseur* n) {
    std::swap(g_installe, n);
    return n;
}

} // namespace kinepo
