#pragma once
// The picture panel of the measuring forms: the displayed picture with the overlay composited over
// it, and a rubber band drawn in not-xor mode (black: inverted pixels). Mouse events go to the
// form's handlers.
#include <QImage>
#include <QLine>
#include <QWidget>
#include <functional>

namespace kinepo {

class PanneauImage : public QWidget {
    Q_OBJECT
public:
    explicit PanneauImage(QWidget* parent = nullptr);

    // The frame as displayed (already at the zoomed size), asked at every paint.
    std::function<QImage()> SourceImage;

    // The overlay, transparent where nothing is drawn; sized to the panel.
    QImage& Overlay() { return overlay_; }
    // Clears the overlay (transparent) at the panel's size.
    void EffacerOverlay();

    // Rubber band of the scale segment (screen pixels); an empty line hides it.
    void SetElastique(const QLine& ligne, QRgb couleur);
    QLine Elastique() const { return elastique_; }

    // The frame and the overlay as the user sees them.
    QImage Composition() const;
    // The part zone (panel pixels) of that, pixel for pixel the same; a paint composes only
    // the part it must show, the visible one of a zoomed frame in its scroll area.
    QImage Composition(const QRect& zone) const;

    std::function<void(QMouseEvent*)> SurPression, SurDeplacement, SurRelachement;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QImage overlay_;
    QLine elastique_;
    QRgb couleurElastique_ = 0;
};

} // namespace kinepo
