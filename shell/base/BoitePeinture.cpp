#include "shell/base/BoitePeinture.h"

#include <QMouseEvent>
#include <QPainter>

namespace kinepo {

void BoitePeinture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (peindre) peindre(p);
}
void BoitePeinture::mousePressEvent(QMouseEvent* e) {
    if (appui) appui(e);
}
void BoitePeinture::mouseMoveEvent(QMouseEvent* e) {
    if (deplacement) deplacement(e);
}
void BoitePeinture::mouseReleaseEvent(QMouseEvent* e) {
    if (relache) relache(e);
}
void BoitePeinture::mouseDoubleClickEvent(QMouseEvent* e) {
    if (doubleClic)
        doubleClic(e);
    else
        QWidget::mouseDoubleClickEvent(e); // a press, as before double clicks had a handler
}

} // namespace kinepo
