#pragma once
// The point-placement dialog "JpegEchelleDlg": a picture at full resolution in a scrolling
// window with a cross marker that the user drags onto the exact pixel. The caller sets the file
// and the marker (full-resolution pixels), shows the dialog modally and reads the marker back;
// there is no OK or Cancel, closing keeps the last position. One dialog for the whole run.
//
// Tests: Montrer() runs the scripted answer installed with DefinirReponseScriptee instead of
// showing a window when one is installed.
#include <QDialog>
#include <QImage>
#include <QPoint>
#include <functional>

class QScrollArea;

namespace kinepo {

// The picture with its marker; the mouse drags the marker.
class ImageMarqueur : public QWidget {
    Q_OBJECT
public:
    explicit ImageMarqueur(QWidget* parent = nullptr);
    void DefinirImage(const QImage& image);
    const QImage& Image() const { return image_; }
    QPoint Marqueur;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool PresDuMarqueur(QPoint p) const;
    bool DansImage(QPoint p) const;
    void Deplacer(QPoint p);
    QImage image_;
    bool glisse_ = false;
};

class TJpegEchelleDlg : public QDialog {
    Q_OBJECT
public:
    explicit TJpegEchelleDlg(QWidget* parent = nullptr);
    ~TJpegEchelleDlg() override;

    // The dialog of the run (the one made at start-up), or null before it exists.
    static TJpegEchelleDlg* Existant();
    // The dialog of the run, created without owner if it does not exist yet.
    static TJpegEchelleDlg& Instance();

    // The picture to show and the marker, in full-resolution picture pixels.
    QString NomFichier;
    QPoint Marqueur() const { return Image1->Marqueur; }
    void DefinirMarqueur(QPoint p) { Image1->Marqueur = p; }

    // Shows the dialog modally (or runs the scripted answer); the marker is read afterwards.
    void Montrer();
    using ReponseScriptee = std::function<void(TJpegEchelleDlg&)>;
    static ReponseScriptee DefinirReponseScriptee(ReponseScriptee reponse);

    // What activation does: loads the file into Image1, scrolls so that the marker is centred
    // and draws the marker. Public so that tests can run it on a shown dialog.
    void FormActivate();

    QScrollArea* Defilement = nullptr;
    ImageMarqueur* Image1 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
};

// Start-up: creates the dialog of the run, owned by `proprietaire`.
TJpegEchelleDlg* CreerJpegEchelleDlg(QWidget* proprietaire);

} // namespace kinepo
