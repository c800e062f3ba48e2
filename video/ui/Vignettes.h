#pragma once
// Two small drawing widgets of the AVI form: the 40 x 40 difference thumbnail and the side
// drawing page that mirrors the overlay for films shown without a results grid.
#include <QImage>
#include <QWidget>
#include <functional>

namespace kinepo {

class VignetteDifference : public QWidget {
public:
    explicit VignetteDifference(QWidget* parent = nullptr);
    // 41 x 41 pixels, shown half a turn around (see the form).
    QImage& Pixels() { return pixels_; }
    bool FondBlanc = true;
    std::function<void()> SurClic;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    QImage pixels_;
};

class MiroirDessin : public QWidget {
public:
    explicit MiroirDessin(QWidget* parent = nullptr);
    // The drawing at the widget's size.
    QImage& Dessin();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage dessin_;
};

} // namespace kinepo
