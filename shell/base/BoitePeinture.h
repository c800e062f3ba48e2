#pragma once
// A paint box: a plain widget whose painting and mouse handling belong to its form, which sets
// the handlers it needs (an unset handler ignores the event).
#include <QWidget>
#include <functional>

namespace kinepo {

class BoitePeinture : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    std::function<void(QPainter&)> peindre;
    std::function<void(QMouseEvent*)> appui, deplacement, relache, doubleClic;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

} // namespace kinepo
