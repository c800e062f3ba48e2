#pragma once
// The chronophotography window "Chronophotographie à partir de AVI": one picture, stretched
// proportionally to the window, always on top. It exists from start-up and is created again
// when it was destroyed; both video forms show their chronophotographs in it.
#include <QImage>
#include <QWidget>

namespace kinepo {

class TChronoForm : public QWidget {
    Q_OBJECT
public:
    explicit TChronoForm(QWidget* parent = nullptr);

    // Loads the picture file into Image1 and shows the window, centred on the main form.
    // False (window untouched) when the file cannot be read.
    bool Afficher(const QString& fichier);
    const QImage& Image1() const { return image_; }
    // Where the picture is drawn: the largest rectangle of the picture's proportions that
    // fits the window, centred.
    QRect RectangleImage() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage image_;
};

// The window of the running program, created when it does not exist (or was destroyed).
TChronoForm* ChronoForm();

} // namespace kinepo
