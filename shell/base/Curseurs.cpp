#include "shell/base/Curseurs.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>
#include <array>
#include <optional>

namespace kinepo {
namespace {

struct Definition {
    const char* nom;
    int hx, hy;
};
constexpr std::array<Definition, 11> kDefinitions = {{{"CIBLE1", 15, 16},
                                                      {"CIBLE2", 15, 16},
                                                      {"CIBLE3", 15, 16},
                                                      {"CIBLE4", 15, 16},
                                                      {"CIBLE5", 15, 16},
                                                      {"CIBLENOIRE", 15, 15},
                                                      {"CIBLEBLANCHE", 15, 15},
                                                      {"CIBLENORMALE", 15, 15},
                                                      {"CIBLEMOVE", 15, 15},
                                                      {"ORIGINE", 14, 14},
                                                      {"ORIGINETEMPS", 0, 0}}};

std::array<std::optional<QCursor>, 12> g_curseurs;

// Two-colour picture: black and white pixels on a transparent ground.
QImage toile() {
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// A thin cross of `couleur` with a one-pixel contour of the other colour, centred on (cx, cy).
void croix(QPainter& p, int cx, int cy, int bras, QColor trait, QColor contour) {
    p.setPen(contour);
    p.drawRect(cx - 1, cy - bras - 1, 2, 2 * bras + 2);
    p.drawRect(cx - bras - 1, cy - 1, 2 * bras + 2, 2);
    p.setPen(trait);
    p.drawLine(cx, cy - bras, cx, cy + bras);
    p.drawLine(cx - bras, cy, cx + bras, cy);
}

QImage dessiner(int numero) {
    QImage img = toile();
    QPainter p(&img);
    const QColor noir(Qt::black), blanc(Qt::white);
    switch (numero) {
    case crCible1:
    case crCible2:
    case crCible3:
    case crCible4:
    case crCible5: {
        croix(p, 15, 16, 8, noir, blanc);
        QFont f;
        f.setPixelSize(10);
        f.setBold(true);
        p.setFont(f);
        p.setPen(blanc);
        p.drawText(QRect(21, 0, 11, 12), Qt::AlignCenter, QString::number(numero));
        p.setPen(noir);
        p.drawText(QRect(20, 0, 11, 12), Qt::AlignCenter, QString::number(numero));
        break;
    }
    case crCibleNoire:
        p.setPen(noir);
        p.drawEllipse(QPoint(15, 15), 7, 7);
        p.drawLine(15, 2, 15, 28);
        p.drawLine(2, 15, 28, 15);
        break;
    case crCibleBlanche:
        p.setPen(blanc);
        p.drawEllipse(QPoint(15, 15), 7, 7);
        p.drawLine(15, 2, 15, 28);
        p.drawLine(2, 15, 28, 15);
        break;
    case crCibleNormale:
        p.setPen(blanc);
        p.drawEllipse(QPoint(15, 15), 8, 8);
        p.drawEllipse(QPoint(15, 15), 6, 6);
        croix(p, 15, 15, 13, noir, blanc);
        p.setPen(noir);
        p.drawEllipse(QPoint(15, 15), 7, 7);
        break;
    case crCibleMove: {
        croix(p, 15, 15, 12, noir, blanc);
        p.setPen(noir);
        for (int d = 1; d <= 3; ++d) {
            p.drawLine(15 - d, 3 + d, 15 + d, 3 + d);
            p.drawLine(15 - d, 27 - d, 15 + d, 27 - d);
            p.drawLine(3 + d, 15 - d, 3 + d, 15 + d);
            p.drawLine(27 - d, 15 - d, 27 - d, 15 + d);
        }
        break;
    }
    case crOrigine:
        croix(p, 14, 14, 12, noir, blanc);
        p.setPen(noir);
        p.drawEllipse(QPoint(14, 14), 4, 4);
        break;
    case crOrigineTemps: {
        // An arrow pointing at (0, 0), then "t0".
        const QPoint fleche[] = {{0, 0}, {0, 14}, {4, 10}, {8, 17}, {10, 16}, {6, 9}, {11, 9}};
        p.setPen(noir);
        p.setBrush(blanc);
        p.drawPolygon(fleche, 7);
        QFont f;
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(12, 14, 20, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("t0"));
        break;
    }
    default:
        break;
    }
    return img;
}

QCursor versCurseur(const QImage& img, int hx, int hy) {
    // bitmap 1 = black, mask 1 = opaque; black and white only, no grey.
    QImage bits(32, 32, QImage::Format_Mono), masque(32, 32, QImage::Format_Mono);
    bits.fill(0);
    masque.fill(0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb c = img.pixel(x, y);
            if (qAlpha(c) < 128) continue;
            masque.setPixel(x, y, 1);
            bits.setPixel(x, y, qGray(c) < 128 ? 1 : 0);
        }
    return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(masque), hx, hy);
}

} // namespace

std::optional<QPoint> DeplacementPointeur(int touche, Qt::KeyboardModifiers mod, bool pave) {
    const bool maj = mod & Qt::ShiftModifier;
    const bool clavierNumerique = pave && (mod & Qt::KeypadModifier);
    switch (touche) {
    case Qt::Key_Left:
        return QPoint(-1, 0);
    case Qt::Key_Right:
        return QPoint(1, 0);
    case Qt::Key_Up:
        return QPoint(0, -1);
    case Qt::Key_Down:
        return QPoint(0, 1);
    case Qt::Key_PageUp:
        return maj ? QPoint(-10, 0) : QPoint(0, -10);
    case Qt::Key_PageDown:
        return maj ? QPoint(10, 0) : QPoint(0, 10);
    case Qt::Key_4:
        if (clavierNumerique) return QPoint(-1, 0);
        break;
    case Qt::Key_6:
        if (clavierNumerique) return QPoint(1, 0);
        break;
    case Qt::Key_8:
        if (clavierNumerique) return QPoint(0, -1);
        break;
    case Qt::Key_2:
        if (clavierNumerique) return QPoint(0, 1);
        break;
    default:
        break;
    }
    return std::nullopt;
}

int& NumeroCibleApplication() {
    static int cible = crCibleNormale;
    return cible;
}

const char* NomRessourceCurseur(int numero) {
    return numero >= 1 && numero <= 11 ? kDefinitions[numero - 1].nom : "";
}

void EnregistrerCurseurs() {
    for (int n = 1; n <= 11; ++n)
        g_curseurs[n] = versCurseur(dessiner(n), kDefinitions[n - 1].hx, kDefinitions[n - 1].hy);
}

QCursor CurseurNumero(int numero) {
    if (numero >= 1 && numero <= 11) {
        if (!g_curseurs[numero]) EnregistrerCurseurs();
        return *g_curseurs[numero];
    }
    switch (numero) {
    case crCroix:
        return QCursor(Qt::CrossCursor);
    case crTexte:
        return QCursor(Qt::IBeamCursor);
    case crSablier:
        return QCursor(Qt::WaitCursor);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

} // namespace kinepo
