// The picture panel composes only the part it paints: every part must be, pixel for pixel,
// the same part of the whole composition as it was always made (frame, overlay, not-xor band).
#include "shell/base/PanneauImage.h"

#include <QPainter>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace kinepo {
namespace {

// The whole composition, made the way the panel always made it before parts.
QImage CompositionEntiere(const PanneauImage& panneau, const QImage& image, QRgb couleurBande) {
    QImage c(panneau.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    c.fill(panneau.palette().color(QPalette::Window));
    QPainter p(&c);
    p.drawImage(0, 0, image);
    p.drawImage(0, 0, const_cast<PanneauImage&>(panneau).Overlay());
    if (!panneau.Elastique().isNull()) {
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        p.setPen(QPen(QColor(couleurBande), 1));
        p.drawLine(panneau.Elastique());
    }
    return c;
}

QImage ImageBruitee(QSize taille) {
    QImage i(taille, QImage::Format_RGB888);
    QRandomGenerator alea(7);
    for (int y = 0; y < i.height(); ++y) {
        uchar* l = i.scanLine(y);
        for (int x = 0; x < i.width() * 3; ++x)
            l[x] = uchar(alea.bounded(256));
    }
    return i;
}

struct CasPartie {
    QLine bande;
    QRect zone;
};

class PartiePanneau : public ::testing::TestWithParam<CasPartie> {};

TEST_P(PartiePanneau, EgaleLaMemePartieDuTout) {
    const CasPartie& cas = GetParam();
    PanneauImage panneau;
    panneau.resize(500, 330);
    // The frame is a little smaller than the panel, so the window colour shows at two edges.
    const QImage image = ImageBruitee(QSize(481, 317));
    panneau.SourceImage = [image] { return image; };
    panneau.EffacerOverlay();
    {
        // Crosses and a half-transparent mark, as the form draws its points.
        QPainter p(&panneau.Overlay());
        p.setPen(QPen(QColor(255, 0, 0), 1));
        for (const QPoint c : {QPoint(40, 30), QPoint(250, 160), QPoint(470, 300), QPoint(0, 0)}) {
            p.drawLine(c - QPoint(5, 0), c + QPoint(5, 0));
            p.drawLine(c - QPoint(0, 5), c + QPoint(0, 5));
        }
        p.fillRect(QRect(100, 200, 60, 20), QColor(0, 0, 255, 128));
    }
    const QRgb couleur = qRgb(0, 255, 0);
    panneau.SetElastique(cas.bande, couleur);

    const QImage tout = CompositionEntiere(panneau, image, couleur);
    const QRect zone = cas.zone & panneau.rect();
    ASSERT_FALSE(zone.isEmpty());
    EXPECT_EQ(panneau.Composition(cas.zone), tout.copy(zone));
    EXPECT_EQ(panneau.Composition(), tout);

    // What a paint of that zone puts on the screen (render puts the zone at the offset).
    QImage ecran(panneau.size(), QImage::Format_RGB32);
    ecran.fill(Qt::black);
    panneau.render(&ecran, zone.topLeft(), QRegion(zone));
    EXPECT_EQ(ecran.copy(zone), tout.copy(zone));
}

INSTANTIATE_TEST_SUITE_P(
    Bandes, PartiePanneau,
    ::testing::Values(
        CasPartie{QLine(10, 20, 490, 317), QRect(0, 0, 500, 330)},       // the whole
        CasPartie{QLine(10, 20, 490, 317), QRect(123, 77, 211, 143)},    // inside
        CasPartie{QLine(490, 3, 7, 320), QRect(37, 211, 300, 200)},      // over the bottom edge
        CasPartie{QLine(3, 101, 497, 129), QRect(250, 0, 1, 330)},       // one column
        CasPartie{QLine(250, 5, 251, 325), QRect(0, 164, 500, 1)},       // one row, steep band
        CasPartie{QLine(-40, -30, 600, 400), QRect(400, 250, 200, 200)}, // band beyond the panel
        CasPartie{QLine(), QRect(61, 43, 389, 231)}));                   // no band

} // namespace
} // namespace kinepo
