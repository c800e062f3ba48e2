#include "image/logic/DessinImage.h"

#include "common/Arrondi.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace kinepo {

namespace {

// The small font of the labels, and the offset from a label's top to its baseline.
const QFont& PolicePetite() {
    static const QFont f = [] {
        QFont p(QStringLiteral("Sans Serif"));
        p.setPixelSize(9);
        return p;
    }();
    return f;
}

int Ascendante() {
    static const int a = QFontMetrics(PolicePetite()).ascent();
    return a;
}

void Croix(QPainter& p, QPoint c, int bras) {
    p.drawLine(c.x() - bras, c.y(), c.x() + bras, c.y());
    p.drawLine(c.x(), c.y() - bras, c.x(), c.y() + bras);
}

QPoint Echelle(QPoint image, double s) {
    return {ArrondiInt(image.x() * s), ArrondiInt(image.y() * s)};
}

} // namespace

QString EtiquettePoint(int indice, int serie, int nombreSeries, bool couper) {
    QString e = QString::number(indice);
    if (nombreSeries > 1) e += u'(' + QString::number(serie) + u')';
    return couper ? e.left(5) : e;
}

void DessinerVecteur(QPainter& p, QPoint s, QPoint e, double longueur) {
    p.drawLine(s, e);
    const double l = std::round(std::hypot(e.x() - s.x(), e.y() - s.y()));
    if (l > 0) {
        const int u = ArrondiInt(longueur * (s.x() - e.x()) / l);
        const int v = ArrondiInt(longueur * (s.y() - e.y()) / l);
        const int a = ArrondiInt(v / 3.0), b = ArrondiInt(u / 3.0);
        p.drawLine(e, QPoint(e.x() + u - a, e.y() + v + b));
        p.drawLine(e, QPoint(e.x() + u + a, e.y() + v - b));
    }
    p.save();
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRect(s - QPoint(5, 5), s + QPoint(5, 5))); // S - 5 to S + 6, exclusive
    p.restore();
}

void DessinerVue(QPainter& p, const VueImage& vue, const ImageCalibration& c,
                 const SeriesPoints& series, const QRgb couleurs[4]) {
    p.setFont(PolicePetite());
    const int asc = Ascendante();
    const QRect visible = p.window().adjusted(-8, -8, 8, 8);
    for (int s = 1; s <= c.SeriesCount; ++s) {
        p.setPen(QColor(couleurs[s]));
        for (int i = 0; i < series.Longueur(s); ++i) {
            const QPoint v = vue.VersVue(series.Point(s, i));
            if (v.x() > visible.right() || v.y() > visible.bottom() ||
                v.x() < visible.left() - 40 || v.y() < visible.top() - 20)
                continue; // wholly outside the drawn part: nothing of it would show
            Croix(p, v, 4);
            p.drawText(QPoint(v.x() + 4, v.y() + 4 + asc),
                       EtiquettePoint(i, s, c.SeriesCount, true));
        }
    }
    p.setPen(QColor(couleurs[0]));
    const auto& h = c.Handles;
    DessinerVecteur(p, vue.VersVue(h[SlotDebutY]), vue.VersVue(h[SlotFinY]));
    if (c.AxesMode != OneAxis)
        DessinerVecteur(p, vue.VersVue(h[SlotDebutX]), vue.VersVue(h[SlotFinX]));
    const QPoint o = vue.VersVue(h[SlotOrigine]);
    if (c.AxesMode == OneAxis) { // the single axis' position: a diagonal cross
        p.drawLine(o + QPoint(-6, -6), o + QPoint(6, 6));
        p.drawLine(o + QPoint(-6, 6), o + QPoint(6, -6));
    } else {
        Croix(p, o, 8);
    }
    for (int slot : {SlotDebutX, SlotFinX, SlotDebutY, SlotFinY}) {
        if (c.AxesMode == OneAxis && slot <= SlotFinX) continue;
        p.drawRect(QRect(vue.VersVue(h[slot]) - QPoint(2, 2), QSize(4, 4)));
    }
}

void DessinerApercu(QPainter& p, double s, const ImageCalibration& c, const SeriesPoints& series,
                    const QRgb couleurs[4]) {
    p.setFont(PolicePetite());
    const int asc = Ascendante();
    const int a = std::max(1, ArrondiInt(4 / s));
    for (int n = 1; n <= c.SeriesCount; ++n) {
        p.setPen(QColor(couleurs[n]));
        for (int i = 0; i < series.Longueur(n); ++i) {
            const QPoint q = series.Point(n, i);
            p.drawLine(Echelle(q - QPoint(a, 0), s), Echelle(q + QPoint(a, 0), s));
            p.drawLine(Echelle(q - QPoint(0, a), s), Echelle(q + QPoint(0, a), s));
            const QPoint e = Echelle(q + QPoint(a, a), s);
            p.drawText(QPoint(e.x(), e.y() + asc), EtiquettePoint(i, n, c.SeriesCount, false));
        }
    }
    p.setPen(QColor(couleurs[0]));
    const int b = std::max(1, ArrondiInt(8 / s));
    const double fleche = 2 * b * s;
    const auto& h = c.Handles;
    DessinerVecteur(p, Echelle(h[SlotDebutY], s), Echelle(h[SlotFinY], s), fleche);
    if (c.AxesMode != OneAxis)
        DessinerVecteur(p, Echelle(h[SlotDebutX], s), Echelle(h[SlotFinX], s), fleche);
    const QPoint o = h[SlotOrigine];
    p.drawLine(Echelle(o - QPoint(b, 0), s), Echelle(o + QPoint(b, 0), s));
    p.drawLine(Echelle(o - QPoint(0, b), s), Echelle(o + QPoint(0, b), s));
}

} // namespace kinepo
