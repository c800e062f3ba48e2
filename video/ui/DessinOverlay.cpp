#include "video/ui/DessinOverlay.h"

#include <QFont>
#include <QPainter>

namespace kinepo {

void PetiteCroix(QPainter& p, QPoint c) {
    p.drawLine(c.x() - 5, c.y(), c.x() + 5, c.y());
    p.drawLine(c.x(), c.y() - 5, c.x(), c.y() + 5);
}

void PetitsAxes(QPainter& p, QPoint c, bool xVersLaDroite, bool yVersLeHaut) {
    const int X = c.x(), Y = c.y();
    const int sx = xVersLaDroite ? 1 : -1;
    const int sy = yVersLeHaut ? -1 : 1;
    constexpr int pointe = 35 / 2;
    p.drawLine(X - 20, Y, X + 20, Y);
    p.drawLine(X + pointe * sx, Y - 1, X + 10 * sx, Y);
    p.drawLine(X + pointe * sx, Y + 1, X + 10 * sx, Y);
    p.drawLine(X, Y - 20, X, Y + 20);
    p.drawLine(X - 1, Y + pointe * sy, X, Y + 10 * sy);
    p.drawLine(X + 1, Y + pointe * sy, X, Y + 10 * sy);
}

void AxesComplets(QPainter& p, QPoint o, int W, int H, bool xVersLaDroite, bool yVersLeHaut) {
    const int X = o.x(), Y = o.y();
    p.drawLine(X, 0, X, H - 2);
    p.drawLine(0, Y, W - 2, Y);
    if (xVersLaDroite) {
        p.drawLine(W - 15, Y + 3, W - 2, Y);
        p.drawLine(W - 2, Y, W - 15, Y - 3);
    } else {
        p.drawLine(15, Y + 3, 0, Y);
        p.drawLine(15, Y - 3, 0, Y);
    }
    if (yVersLeHaut) {
        p.drawLine(X - 3, 15, X, 0);
        p.drawLine(X + 3, 15, X, 0);
    } else {
        p.drawLine(X - 3, H - 15, X, H - 2);
        p.drawLine(X + 3, H - 15, X, H - 2);
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
