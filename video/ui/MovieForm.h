#pragma once
// TMovieForm, "Lecture de fichier video pour Tabulane": the second video measuring form. It
// measures like TAviForm (calibration, pointing, grid, transfer) on a film played by the movie
// player facade, whose grabbed frame is shown as a still picture with the figures drawn into
// it in image pixels; the zoom only stretches that picture. The rules are the logic library's
// and what both video forms do alike is TFormeVideo's (with the figures, patch and
// transfer of MesuresVideo).
#include "video/ui/FormeVideo.h"

#include <QImage>
#include <QPoint>

class QCheckBox;
class QToolButton;

namespace kinepo {

class BarreTempsReel;
class LecteurFilm;

// The extensions the form opens (upper case, with the dot): the old containers and the films
// of phones and cameras.
bool ExtensionFilmAcceptee(const QString& nom);

class TMovieForm : public TFormeVideo {
    Q_OBJECT
public:
    explicit TMovieForm(QWidget* parent = nullptr);
    ~TMovieForm() override;

    // ---- Controls of this form only (the shared ones are TFormeVideo's) -------------------
    QCheckBox* MpegCB = nullptr;            // "1 trame sur 2"
    BarreTempsReel* TempsReelBar = nullptr; // slow-motion films: the clock of the times
    QWidget* Panel1 = nullptr;
    QWidget* MediaPlayer = nullptr;
    QToolButton* PrecedentBtn = nullptr;
    QToolButton* SuivantBtn = nullptr;
    QToolButton* PlayBtn = nullptr;
    QToolButton* PauseBtn = nullptr;
    QToolButton* StopBtn = nullptr;

    // ---- State ----------------------------------------------------------------------------
    LecteurFilm& Lecteur() { return *lecteur_; }
    bool FrameMode = false;
    double FramePeriod() const { return calib_.FramePeriod; }
    // The frame as last copied from the player, and the picture shown (frame and figures).
    const QImage& Cadre() const { return cadre_; }
    const QImage& ImageAffichee() const { return affiche_; }

    // ---- Handlers -------------------------------------------------------------------------
    void OpenFileBtnClick() override;
    bool OuvrirFilm(const QString& nom);
    void MpegCBClick();
    void SuivantBtnClick();
    void PrecedentBtnClick();
    // The end of the film is reached: no frame to step forward to.
    bool Termine() const;
    bool AvantDerniereImage() const override { return !Termine(); }
    void Rafraichir() override { RedessinerTout(); } // no refresh message on this form
    // Times count from the frame on which the measurement or the chronophotograph starts.
    double OrigineDesTempsAuDepart() const override { return TempsImageCourante(); }
    QImage ImageAnalyse() override;
    void AvancerUneImage() override { SuivantBtnClick(); }
    void MesureBtnClick() override;
    void ChronoPhotoBtnClick() override;
    void UndoBtnClick() override;
    void TabulaneBtnClick() override;
    void ZoomSEChange(int z) override;
    void RedessinerTout() override;
    void BoutonsEtat() override;
    // Player events.
    void PositionChangee();
    void CaptureTerminee(const QImage& image);
    void EtatLectureChange();
    void ErreurLecteur(const QString& message);

protected:
    void closeEvent(QCloseEvent* e) override;

    double TempsImageCourante() const override;
    double TempsPoint() const override { return TempsImageCourante(); }

    void ApresPoint(const EffetPointage& e, int i, int k, QPoint posImage) override;
    void MarquerClic(QPoint posImage) override;
    void LirePatchVivant(QPoint posEcran) override;
    // The panel is larger than the frame: a click beyond it means nothing.
    bool HorsImage(QPoint posImage) const override;
    // This form shows no pointer position.
    void AfficherPointeur(QPoint) override {}

private:
    void construireControles();
    void majEtat();

    LecteurFilm* lecteur_ = nullptr;
    QImage cadre_;   // the frame bitmap, in the film's own size
    QImage affiche_; // the frame with the figures drawn into it
};

} // namespace kinepo
