#pragma once
// TAviForm, "Lecture de fichier AVI pour Tabulane": a film stepped frame by frame, calibrated
// and pointed by hand, its table sent to the analysis program, the clipboard or a file.
// The rules live in the logic library (VideoCalibration, TablesPointage, MachinePointage,
// ExportVideo); this class holds the controls and carries out what those rules decide.
#include "shell/base/TradForm.h"
#include "video/logic/Pointage.h"
#include "video/logic/ReglagesAvi.h"
#include "video/logic/TablesPointage.h"
#include "video/logic/VideoCalibration.h"

#include <QEvent>
#include <QPoint>
#include <functional>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QScrollArea;
class QSlider;
class QSpinBox;
class QSplitter;
class QStackedWidget;
class QTableWidget;
class QToolBar;
class QToolButton;

namespace kinepo {

class LecteurMci;
class PanneauImage;
class PanneauxEtat;
class VignetteDifference;
class MiroirDessin;

// The refresh message: redisplay the current frame cleanly, then redraw the overlay.
inline constexpr QEvent::Type RefreshMessage = static_cast<QEvent::Type>(QEvent::User + 16);

class TAviForm : public TTradForm {
    Q_OBJECT
public:
    explicit TAviForm(QWidget* parent = nullptr);
    ~TAviForm() override;

    // ---- Automatic tracking and chronophotography plug in here -------------------------------
    // The tracking driver (SuiviAvi.cpp) fills these in when the form is created. Empty hooks
    // leave the corresponding controls without automatic behaviour.
    struct CrochetsSuivi {
        std::function<void(TAviForm&)> Armer;       // MesureBtn down with MesureAutoCB ticked
        std::function<void(TAviForm&)> ChronoPhoto; // ChronoPhotoBtn clicked (either way)
        std::function<void(TAviForm&, QPoint posEcran)> CibleChoisie; // release in psTarget
        std::function<void(TAviForm&)> DebutAnalyse; // frame notification in psAnalysisStart
        std::function<void(TAviForm&)> PasseAnalyse; // frame notification in psAnalysis
        std::function<void(TAviForm&)> Arret;        // MesureBtn up (the analysis is abandoned)
        std::function<void(TAviForm&)> Bilan; // after Arret: what the tracking came to, if lost
    };
    CrochetsSuivi Suivi;

    // ---- Controls -----------------------------------------------------------------------
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolButton* OpenBtn = nullptr;
    QToolButton* MesureBtn = nullptr;
    QCheckBox* MesureAutoCB = nullptr;
    QToolButton* ChronoPhotoBtn = nullptr;
    QToolButton* OrigineBtn = nullptr;
    QToolButton* EchelleBtn = nullptr;
    QToolButton* OrigineTempsBtn = nullptr;
    QToolButton* UndoBtn = nullptr;
    QToolButton* RazBtn = nullptr;
    QToolButton* RefreshBtn = nullptr;
    QToolButton* TabulaneBtn = nullptr;
    QToolButton* VidcapBtn = nullptr;
    QToolButton* HelpBtn = nullptr;
    QCheckBox* TraceEchCB = nullptr;
    QCheckBox* TracePointsCB = nullptr;
    QComboBox* CouleurAxeCB = nullptr;
    QComboBox* CouleurPointsCB = nullptr;
    VignetteDifference* PaintBox = nullptr;
    QLabel* CodecLabel = nullptr;

    QLineEdit* EchelleEdit = nullptr;
    QLabel* LabelEchelle = nullptr;
    QSpinBox* NbreImagesSE = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* DureeEdit = nullptr;
    QLabel* Label4 = nullptr;
    QSpinBox* IncertitudeSE = nullptr;
    QLabel* LabelIncert = nullptr;
    QSpinBox* ZoomSE = nullptr;
    QSpinBox* NbreSE = nullptr;
    QLabel* LabelNbreSE = nullptr;

    QMenu* OrigineMenu = nullptr;
    QAction* OrigineItem = nullptr;
    QAction* OrigineMobileItem = nullptr;
    QMenu* EchelleMenu = nullptr;
    QAction* Axeverslehautdroite = nullptr;
    QAction* Axeverslebasdroite = nullptr;
    QAction* Axeverslehautgauche = nullptr;
    QAction* Axeverslebasgauche = nullptr;
    QMenu* SavePopupMenu = nullptr;
    QAction* TabulaneM = nullptr;
    QAction* ClipM = nullptr;
    QAction* FileM = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* CurseurCroix = nullptr;
    QAction* CurseurNoir = nullptr;
    QAction* CurseurBlanc = nullptr;
    QAction* CurseurCible = nullptr;

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
    QScrollArea* ZoneImage = nullptr;
    PanneauImage* Image = nullptr;
    QStackedWidget* PageControl = nullptr;
    QWidget* GridTS = nullptr;
    QTableWidget* Grid = nullptr;
    QWidget* DessinTS = nullptr;
    MiroirDessin* DessinPB = nullptr;
    QLineEdit* EditBidon = nullptr;
    PanneauxEtat* Status = nullptr;

    // ---- State ----------------------------------------------------------------------------
    VideoCalibration& Calibration() { return calib_; }
    TablesPointage& Tables() { return tables_; }
    MachinePointage& Machine() { return machine_; }
    LecteurMci& Lecteur() { return *lecteur_; }
    bool FilmOuvert() const { return !fileName_.isEmpty(); }
    const QString& FileName() const { return fileName_; }
    int NbrePoints() const { return machine_.NbreSE; }
    bool Busy = false;
    bool ComeBack = false;
    // The point labels of the last full redraw (screen position, text), for checks.
    std::vector<std::pair<QPoint, QString>> EtiquettesDessinees;
    // The form's current prompt ("short|long").
    const QString& Hint() const { return hint_; }
    // The application-wide target cursor number (6, 7, 8 or -3), saved under "Cible".
    static int CibleApplication();
    // True when the frame on screen is not the film's last frame.
    bool AvantDerniereImage() const;
    // Initial folder of the open dialog (set by the launcher at every click).
    void SetDossierInitial(const QString& dossier) { dossierInitial_ = dossier; }

    // ---- Handlers -------------------------------------------------------------------------
    void OpenFileBtnClick();
    // Opens a film as the open dialog does; false when it could not be opened.
    bool OuvrirFilm(const QString& nom);
    void MediaPlayerNotify();
    // The trackbar: while it is dragged, a nearby picture at once with its own time; the exact
    // frame when it is released (or moved by the keyboard).
    void TrackBarChange(int position);
    void TrackBarRelache();
    void PosterRafraichissement();
    void MesureBtnClick();
    void ChronoPhotoBtnClick();
    void UndoBtnClick();
    void RazBtnClick();
    void OrigineBtnClick();
    void EchelleBtnClick();
    void OrigineItemClick(bool mobile);
    void OrientationClick(OrientationAxes o);
    void OrigineTempsBtnClick();
    void TabulaneBtnClick();
    void TabulaneMClick(CibleSauvegarde cible);
    void CurseurClick(int tag);
    void ZoomSEChange(int z);
    void NbreImagesSEChange(int valeur);
    void EchelleEditValider();
    void DureeEditValider();
    void GridSelectCell(int ligne);
    void CouleurPointsCBChange();
    void PaintBoxClick();
    // Records a point at an image pixel (click release in psMeasure, Enter or Space).
    void EnregistrerPoint(QPoint posImage);
    // Overlay and grid rewritten from the tables.
    void RedessinerTout();
    void BoutonsEtat();
    // Scale update: factors, display step and, with a unique origin, every row's origin.
    void MiseAJourEchelle();
    // Prompt: the hint of the picture and status panel 2.
    void Inviter(const QString& aide);
    // Cursor of the picture: a cursor number, or kCurseurCible for the chosen target cursor.
    void SetCurseurImage(int numero);
    // Grid columns and headings from NbreSE.
    void ColonnesGrille();
    // Time and coordinate texts of table row i into the grid.
    void EcrireLigneGrille(int i, int jusquAuPoint);
    void ReecrireColonneTemps();
    // Screen-pixel mouse handlers of the picture (left button; the right one opens PopupMenu).
    void ImageMouseDown(Qt::MouseButton bouton, QPoint posEcran);
    void ImageMouseMove(QPoint posEcran);
    void ImageMouseUp(Qt::MouseButton bouton, QPoint posEcran);
    // Keyboard pointing; true when the key was handled.
    bool ToucheForme(int touche, Qt::KeyboardModifiers modificateurs);
    // The settings of the form as its controls hold them, and back.
    ReglagesAvi Reglages() const;
    void AppliquerReglages(const ReglagesAvi& r);
    void LireReglages();
    void EcrireReglages() const;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* objet, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void construireControles();
    void apresOuverture();
    void rafraichir();
    void lirePatchVivant(QPoint posEcran);
    void dessinerVignette();
    void stockerCase(QPoint posImage);
    void petiteCroixOverlay(QPoint posImage, QRgb couleur);
    void orientationMenu();
    void origineTempsRelachee();
    void finMesure();
    void verifierEditionSimplifiee();
    void transferer(CibleSauvegarde cible);
    QRgb couleurAxe() const;
    QRgb couleurPoint(int k) const;

    VideoCalibration calib_;
    TablesPointage tables_;
    MachinePointage machine_{tables_};
    LecteurMci* lecteur_ = nullptr;
    QString fileName_;
    QString filmEssaye_; // the last film asked for, opened or not (for the codec help)
    QString hint_;
    QString dossierInitial_;
    bool premiereNotification_ = false;
    bool microsoftVideo1_ = false;
    bool vignette_ = false; // the difference thumbnail is shown
    bool glisse_ = false;   // the scale end is being dragged
    QPoint pressionEcran_;
    QPoint dernierEcran_;
    CibleSauvegarde cibleSauvegarde_ = CibleSauvegarde::Tabulane;
    int filterIndex_ = 1;
    bool reglagesEcrits_ = false;
    bool mesureBasculee_ = false; // MesureBtn has been pressed once (its hints alternate since)
};

} // namespace kinepo
