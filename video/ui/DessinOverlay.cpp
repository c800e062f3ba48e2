#include "video/ui/DessinOverlay.h"

#include <QFont>
#include <QPainter>
#include <cstdlib>

namespace kinepo {

void Ligne(QPainter& p, QPoint a, QPoint b) {
    if (a == b) return;
    if (a.y() == b.y() || a.x() == b.x()) {
        // One step short of the end, toward the start.
        const QPoint pas((b.x() > a.x()) - (b.x() < a.x()), (b.y() > a.y()) - (b.y() < a.y()));
        p.drawLine(a, b - pas);
        return;
    }
    // Bresenham from a, every pixel but b's.
    const int dx = std::abs(b.x() - a.x()), dy = -std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1, sy = a.y() < b.y() ? 1 : -1;
    int erreur = dx + dy, x = a.x(), y = a.y();
    while (x != b.x() || y != b.y()) {
        p.drawPoint(x, y);
        const int e2 = 2 * erreur;
        if (e2 >= dy) {
            erreur += dy;
            x += sx;
        }
        if (e2 <= dx) {
            erreur += dx;
            y += sy;
        }
    }
}

namespace {
void L(QPainter& p, int x0, int y0, int x1, int y1) {
    Ligne(p, QPoint(x0, y0), QPoint(x1, y1));
}
} // namespace

void PetiteCroix(QPainter& p, QPoint c) {
    L(p, c.x() - 5, c.y(), c.x() + 5, c.y());
    L(p, c.x(), c.y() - 5, c.x(), c.y() + 5);
}

void PetitsAxes(QPainter& p, QPoint c, bool xVersLaDroite, bool yVersLeHaut) {
    const int X = c.x(), Y = c.y();
    const int sx = xVersLaDroite ? 1 : -1;
    const int sy = yVersLeHaut ? -1 : 1;
    constexpr int pointe = 35 / 2;
    L(p, X - 20, Y, X + 20, Y);
    L(p, X + pointe * sx, Y - 1, X + 10 * sx, Y);
    L(p, X + pointe * sx, Y + 1, X + 10 * sx, Y);
    L(p, X, Y - 20, X, Y + 20);
    L(p, X - 1, Y + pointe * sy, X, Y + 10 * sy);
    L(p, X + 1, Y + pointe * sy, X, Y + 10 * sy);
}

void AxesComplets(QPainter& p, QPoint o, int W, int H, bool xVersLaDroite, bool yVersLeHaut) {
    const int X = o.x(), Y = o.y();
    L(p, X, 0, X, H - 2);
    L(p, 0, Y, W - 2, Y);
    if (xVersLaDroite) {
        L(p, W - 15, Y + 3, W - 2, Y);
        L(p, W - 2, Y, W - 15, Y - 3);
    } else {
        L(p, 15, Y + 3, 0, Y);
        L(p, 15, Y - 3, 0, Y);
    }
    if (yVersLeHaut) {
        L(p, X - 3, 15, X, 0);
        L(p, X + 3, 15, X, 0);
    } else {
        L(p, X - 3, H - 15, X, H - 2);
        L(p, X + 3, H - 15, X, H - 2);
    }
}

void PolicEtiquettes(QPainter& p) {
    QFont f(QStringLiteral("Small Fonts"));
    f.setPixelSize(10);
    f.setWeight(QFont::Normal);
    f.setItalic(false);
    f.setUnderline(false);
    p.setFont(f);
    p.setBackgroundMode(Qt::TransparentMode);
}

void Etiquette(QPainter& p, QPoint point, const QString& texte) {
    p.drawText(QRect(point.x() + 2, point.y() + 2, 200, 40), Qt::AlignLeft | Qt::AlignTop,
               texte.left(5));
}

} // namespace kinepo
