#pragma once
// TMovieForm, "Lecture de fichier video pour Tabulane": the second video measuring form. It
// measures like TAviForm (calibration, pointing, grid, transfer) on a film played by the movie
// player facade, whose grabbed frame is shown as a still picture with the figures drawn into
// it in image pixels; the zoom only stretches that picture. The rules are the logic library's
// and the figures, patch and transfer are shared with TAviForm (MesuresVideo).
#include "shell/base/TradForm.h"
#include "video/logic/Pointage.h"
#include "video/logic/TablesPointage.h"
#include "video/logic/VideoCalibration.h"

#include <QImage>
#include <QPoint>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QAction;
class QScrollArea;
class QSpinBox;
class QTableWidget;
class QToolBar;
class QToolButton;

namespace kinepo {

class BarreTempsReel;
class LecteurFilm;
class PanneauImage;
class PanneauxEtat;

// The extensions the form opens (upper case, with the dot): the old containers and the films
// of phones and cameras.
bool ExtensionFilmAcceptee(const QString& nom);

class TMovieForm : public TTradForm {
    Q_OBJECT
public:
    explicit TMovieForm(QWidget* parent = nullptr);
    ~TMovieForm() override;

    // ---- Controls -----------------------------------------------------------------------
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolButton* OpenBtn = nullptr;
    QToolButton* MesureBtn = nullptr;
    QCheckBox* MesureAutoCB = nullptr; // present, never shown
    QToolButton* ChronoPhotoBtn = nullptr;
    QToolButton* OrigineBtn = nullptr;
    QToolButton* EchelleBtn = nullptr;
    QToolButton* OrigineTempsBtn = nullptr;
    QToolButton* UndoBtn = nullptr;
    QToolButton* TabulaneBtn = nullptr;
    QToolButton* HelpBtn = nullptr;
    QCheckBox* TraceEchCB = nullptr;
    QCheckBox* TracePointsCB = nullptr;
    QComboBox* CouleurAxeCB = nullptr;
    QComboBox* CouleurPointsCB = nullptr;
    QCheckBox* MpegCB = nullptr;
    QLineEdit* EchelleEdit = nullptr;
    QSpinBox* IncertitudeSE = nullptr;
    QSpinBox* ZoomSE = nullptr;
    QSpinBox* NbreSE = nullptr;
    QMenu* OrigineMenu = nullptr;
    QAction* OrigineItem = nullptr;
    QAction* OrigineMobileItem = nullptr;
    QWidget* Panel1 = nullptr;
    QScrollArea* ZoneImage = nullptr;
    PanneauImage* Image = nullptr;
    QWidget* MediaPlayer = nullptr;
    QToolButton* PrecedentBtn = nullptr;
    QToolButton* SuivantBtn = nullptr;
    QToolButton* PlayBtn = nullptr;
    QToolButton* PauseBtn = nullptr;
    QToolButton* StopBtn = nullptr;
    QTableWidget* Grid = nullptr;
    PanneauxEtat* Status = nullptr;
    BarreTempsReel* TempsReelBar = nullptr; // slow-motion films: the clock of the times

    // ---- State ----------------------------------------------------------------------------
    VideoCalibration& Calibration() { return calib_; }
    TablesPointage& Tables() { return tables_; }
    MachinePointage& Machine() { return machine_; }
    LecteurFilm& Lecteur() { return *lecteur_; }
    bool FilmOuvert() const { return !fileName_.isEmpty(); }
    const QString& FileName() const { return fileName_; }
    bool FrameMode = false;
    double FramePeriod() const { return calib_.FramePeriod; }
    // The frame as last copied from the player, and the picture shown (frame and figures).
    const QImage& Cadre() const { return cadre_; }
    const QImage& ImageAffichee() const { return affiche_; }
    const QString& Hint() const { return hint_; }
    std::vector<std::pair<QPoint, QString>> EtiquettesDessinees;
    void SetDossierInitial(const QString& dossier) { dossierInitial_ = dossier; }

    // ---- Handlers -------------------------------------------------------------------------
    void OpenFileBtnClick();
    bool OuvrirFilm(const QString& nom);
    void MpegCBClick();
    void SuivantBtnClick();
    void PrecedentBtnClick();
    // The end of the film is reached: no frame to step forward to.
    bool Termine() const;
    void MesureBtnClick();
    void UndoBtnClick();
    void OrigineBtnClick();
    void EchelleBtnClick();
    void OrigineItemClick(bool mobile);
    void OrigineTempsBtnClick();
    void TabulaneBtnClick();
    void HelpBtnClick();
    void ZoomSEChange(int z);
    void EchelleEditValider();
    void EnregistrerPoint(QPoint posImage);
    void RedessinerTout();
    void BoutonsEtat();
    void MiseAJourEchelle();
    void Inviter(const QString& aide);
    void ImageMouseDown(Qt::MouseButton bouton, QPoint posEcran);
    void ImageMouseMove(QPoint posEcran);
    void ImageMouseUp(Qt::MouseButton bouton, QPoint posEcran);
    // Player events.
    void PositionChangee();
    void CaptureTerminee(const QImage& image);
    void EtatLectureChange();
    void ErreurLecteur(const QString& message);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void construireControles();
    void majEtat();
    // The time of the frame on screen: its own timestamp, on the clock the strip shows.
    double temps() const;
    void afficher(const QImage& image);
    void finMesure();
    void stockerCase(QPoint posImage);
    void setCurseurImage(int numero);
    QRgb couleurAxe() const;

    VideoCalibration calib_;
    TablesPointage tables_;
    MachinePointage machine_{tables_};
    LecteurFilm* lecteur_ = nullptr;
    QString fileName_;
    QString filmEssaye_;
    QString hint_;
    QString dossierInitial_;
    QImage cadre_;   // the frame bitmap, in the film's own size
    QImage affiche_; // the frame with the figures drawn into it
    int filterIndex_ = 1;
};

} // namespace kinepo
