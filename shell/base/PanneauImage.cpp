#include "shell/base/PanneauImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace kinepo {

PanneauImage::PanneauImage(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    EffacerOverlay();
}

void PanneauImage::EffacerOverlay() {
    const QSize s = size().expandedTo(QSize(1, 1));
    if (overlay_.size() != s) overlay_ = QImage(s, QImage::Format_ARGB32_Premultiplied);
    overlay_.fill(Qt::transparent);
}

void PanneauImage::SetElastique(const QLine& ligne, QRgb couleur) {
    elastique_ = ligne;
    couleurElastique_ = couleur;
    update();
}

QImage PanneauImage::Composition() const {
    QImage c(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    c.fill(palette().color(QPalette::Window));
    QPainter p(&c);
    if (SourceImage) {
        const QImage image = SourceImage();
        if (!image.isNull()) p.drawImage(0, 0, image);
    }
    p.drawImage(0, 0, overlay_);
    if (!elastique_.isNull()) {
        // Not-xor, as the band is drawn and erased over the picture while the end is dragged.
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        p.setPen(QPen(QColor(couleurElastique_), 1));
        p.drawLine(elastique_);
    }
    return c;
}

void PanneauImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Composition());
}

void PanneauImage::resizeEvent(QResizeEvent*) {
    if (overlay_.size() != size()) {
        QImage ancien = overlay_;
        overlay_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        overlay_.fill(Qt::transparent);
        QPainter p(&overlay_);
        p.drawImage(0, 0, ancien);
    }
}

void PanneauImage::mousePressEvent(QMouseEvent* e) {
    if (SurPression) SurPression(e);
}
void PanneauImage::mouseMoveEvent(QMouseEvent* e) {
    if (SurDeplacement) SurDeplacement(e);
}
void PanneauImage::mouseReleaseEvent(QMouseEvent* e) {
    if (SurRelachement) SurRelachement(e);
}

} // namespace kinepo
