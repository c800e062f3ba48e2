#include "video/ui/Vignettes.h"

#include <QMouseEvent>
#include <QPainter>

namespace kinepo {

VignetteDifference::VignetteDifference(QWidget* parent)
    : QWidget(parent), pixels_(41, 41, QImage::Format_RGB32) {
    setFixedSize(40, 40);
    pixels_.fill(Qt::white);
}

void VignetteDifference::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, pixels_);
}

void VignetteDifference::mousePressEvent(QMouseEvent*) {
    if (SurClic) SurClic();
}

MiroirDessin::MiroirDessin(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& MiroirDessin::Dessin() {
    const QSize s = size().expandedTo(QSize(1, 1));
    if (dessin_.size() != s) {
        dessin_ = QImage(s, QImage::Format_RGB32);
        dessin_.fill(palette().color(QPalette::Base));
    }
    return dessin_;
}

void MiroirDessin::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Dessin());
}

} // namespace kinepo
