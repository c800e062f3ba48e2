#pragma once
// TAviForm, "Lecture de fichier AVI pour Tabulane": a film stepped frame by frame, calibrated
// and pointed by hand, its table sent to the analysis program, the clipboard or a file.
// The rules live in the logic library (VideoCalibration, TablesPointage, MachinePointage,
// ExportVideo) and what both video forms do alike in TFormeVideo; this class holds what is
// its own: the media-control player and its refresh message, the rate and period fields, the
// side drawing page, the transfer menu (Tabulane, clipboard, file) and the "Save" section.
#include "video/ui/FormeVideo.h"

#include <QEvent>
#include <QPoint>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QSlider;
class QSpinBox;
class QSplitter;
class QStackedWidget;
class QToolButton;

namespace kinepo {

class BarreTempsReel;
class LecteurMci;
class MiroirDessin;

// The refresh message: redisplay the current frame cleanly, then redraw the overlay.
inline constexpr QEvent::Type RefreshMessage = static_cast<QEvent::Type>(QEvent::User + 16);

class TAviForm : public TFormeVideo {
    Q_OBJECT
public:
    explicit TAviForm(QWidget* parent = nullptr);
    ~TAviForm() override;

    // ---- Controls of this form only (the shared ones are TFormeVideo's) -------------------
    QToolButton* RazBtn = nullptr;
    QToolButton* RefreshBtn = nullptr;
    QToolButton* VidcapBtn = nullptr;
    QLabel* CodecLabel = nullptr;
    BarreTempsReel* TempsReelBar = nullptr; // slow-motion films: the clock of the times
    QSpinBox* NbreImagesSE = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* DureeEdit = nullptr;
    QLabel* Label4 = nullptr;

    QMenu* SavePopupMenu = nullptr;
    QAction* TabulaneM = nullptr;
    QAction* ClipM = nullptr;
    QAction* FileM = nullptr;

    QWidget* PanelMediaPlayer = nullptr;
    QToolButton* DebutBtn = nullptr;
    QToolButton* PrecedentBtn = nullptr;
    QToolButton* PlayBtn = nullptr;
    QToolButton* PauseBtn = nullptr;
    QToolButton* StopBtn = nullptr;
    QToolButton* SuivantBtn = nullptr;
    QToolButton* FinBtn = nullptr;
    QLabel* TempsLabel = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QSlider* TrackBar = nullptr;

    QSplitter* Splitter1 = nullptr;
    QStackedWidget* PageControl = nullptr;
    QWidget* GridTS = nullptr;
    QWidget* DessinTS = nullptr;
    MiroirDessin* DessinPB = nullptr;
    QLineEdit* EditBidon = nullptr;

    // ---- State ----------------------------------------------------------------------------
    LecteurMci& Lecteur() { return *lecteur_; }
    bool Busy = false;
    bool ComeBack = false;
    // True when the frame on screen is not the film's last frame.
    bool AvantDerniereImage() const override;

    // ---- Handlers -------------------------------------------------------------------------
    void OpenFileBtnClick() override;
    // Opens a film as the open dialog does; false when it could not be opened.
    bool OuvrirFilm(const QString& nom);
    void MediaPlayerNotify();
    // The trackbar: while it is dragged, a nearby picture at once with its own time; the exact
    // frame when it is released (or moved by the keyboard).
    void TrackBarChange(int position);
    void TrackBarRelache();
    void PosterRafraichissement();
    void MesureBtnClick() override;
    void ChronoPhotoBtnClick() override;
    void UndoBtnClick() override;
    void RazBtnClick();
    void TabulaneBtnClick() override;
    void TabulaneMClick(CibleSauvegarde cible);
    void ZoomSEChange(int z) override;
    void NbreImagesSEChange(int valeur);
    void DureeEditValider();
    void RedessinerTout() override;
    void BoutonsEtat() override;
    // The settings with the transfer target ("Save" section).
    ReglagesAvi Reglages() const override;
    void AppliquerReglages(const ReglagesAvi& r) override;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

    void Rafraichir() override { PosterRafraichissement(); }
    // The AVI form's times run from the film's first frame.
    double OrigineDesTempsAuDepart() const override { return 0; }
    QImage ImageAnalyse() override;
    void AvancerUneImage() override;
    void MontrerProgressionAnalyse() override;
    double TempsImageCourante() const override;
    double TempsPoint() const override { return calib_.CurrentTime; }
    void ApresPoint(const EffetPointage& e, int i, int k, QPoint posImage) override;
    void MarquerClic(QPoint posImage) override;
    void LirePatchVivant(QPoint posEcran) override;
    void RendreFocus() override;

private:
    void construireControles();
    void apresOuverture();
    void rafraichir();
    void verifierEditionSimplifiee();
    void transferer(CibleSauvegarde cible);

    LecteurMci* lecteur_ = nullptr;
    bool premiereNotification_ = false;
    bool microsoftVideo1_ = false;
    CibleSauvegarde cibleSauvegarde_ = CibleSauvegarde::Tabulane;
};

} // namespace kinepo
