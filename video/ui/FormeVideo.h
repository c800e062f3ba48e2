#pragma once
// TFormeVideo: what both video measuring forms are alike. It holds the controls they share
// (tool buttons, calibration fields, origin, axis and cursor menus, the picture panel, the
// results grid, the status bar), the calibration, tables and pointing machine, and the
// handlers that do not depend on how a form gets its frames: origin, scale, axis orientation,
// time origin, cursor choice, keyboard pointing, the clicks of the pointing state machine, the
// difference thumbnail, the "AVI" settings and the codec help.
//
// A form derives from it, lays the shared controls out with its own ones, and answers the
// few questions below (how to redraw, which time the current frame has, how to step on) in
// the way its player works. TAviForm and TMovieForm are the two.
#include "shell/base/TradForm.h"
#include "video/logic/Pointage.h"
#include "video/logic/ReglagesAvi.h"
#include "video/logic/TablesPointage.h"
#include "video/logic/VideoCalibration.h"
#include "video/ui/MesuresVideo.h"

#include <QActionGroup>
#include <QImage>
#include <QMenu>
#include <QPoint>
#include <functional>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QSpinBox;
class QTableWidget;
class QToolBar;
class QToolButton;

namespace kinepo {

class PanneauImage;
class PanneauxEtat;
class VignetteDifference;

class TFormeVideo : public TTradForm {
    Q_OBJECT
public:
    ~TFormeVideo() override;

    // ---- Automatic tracking and chronophotography plug in here -------------------------------
    // The tracking driver (PiloteSuivi.cpp) fills these in when the form is created. Empty hooks
    // leave the corresponding controls without automatic behaviour.
    struct CrochetsSuivi {
        std::function<void(TFormeVideo&)> Armer;       // MesureBtn down with MesureAutoCB ticked
        std::function<void(TFormeVideo&)> ChronoPhoto; // ChronoPhotoBtn clicked (either way)
        std::function<void(TFormeVideo&, QPoint posEcran)> CibleChoisie; // release in psTarget
        std::function<void(TFormeVideo&)> DebutAnalyse;                  // frame in psAnalysisStart
        std::function<void(TFormeVideo&)> PasseAnalyse;                  // frame in psAnalysis
        std::function<void(TFormeVideo&)> Arret; // MesureBtn up (the analysis is abandoned)
        std::function<void(TFormeVideo&)> Bilan; // after Arret: what the tracking came to
    };
    CrochetsSuivi Suivi;

    // ---- Shared controls (built by this class, laid out by the form) ---------------------
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
    QToolButton* TabulaneBtn = nullptr;
    QToolButton* HelpBtn = nullptr;
    QCheckBox* TraceEchCB = nullptr;
    QCheckBox* TracePointsCB = nullptr;
    QComboBox* CouleurAxeCB = nullptr;
    QComboBox* CouleurPointsCB = nullptr;
    VignetteDifference* PaintBox = nullptr;

    QLabel* LabelEchelle = nullptr;
    QLineEdit* EchelleEdit = nullptr;
    QSpinBox* IncertitudeSE = nullptr;
    QLabel* LabelIncert = nullptr;
    QLabel* LabelZoom = nullptr;
    QSpinBox* ZoomSE = nullptr;
    QLabel* LabelNbreSE = nullptr;
    QSpinBox* NbreSE = nullptr;

    QMenu* OrigineMenu = nullptr;
    QAction* OrigineItem = nullptr;
    QAction* OrigineMobileItem = nullptr;
    QMenu* EchelleMenu = nullptr;
    QAction* Axeverslehautdroite = nullptr;
    QAction* Axeverslebasdroite = nullptr;
    QAction* Axeverslehautgauche = nullptr;
    QAction* Axeverslebasgauche = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* CurseurCroix = nullptr;
    QAction* CurseurNoir = nullptr;
    QAction* CurseurBlanc = nullptr;
    QAction* CurseurCible = nullptr;

    QScrollArea* ZoneImage = nullptr;
    PanneauImage* Image = nullptr;
    QTableWidget* Grid = nullptr;
    PanneauxEtat* Status = nullptr;

    // ---- State ----------------------------------------------------------------------------
    VideoCalibration& Calibration() { return calib_; }
    TablesPointage& Tables() { return tables_; }
    MachinePointage& Machine() { return machine_; }
    bool FilmOuvert() const { return !fileName_.isEmpty(); }
    const QString& FileName() const { return fileName_; }
    int NbrePoints() const { return machine_.NbreSE; }
    // The point labels of the last full redraw (surface position, text), for checks.
    std::vector<std::pair<QPoint, QString>> EtiquettesDessinees;
    // The form's current prompt ("short|long").
    const QString& Hint() const { return hint_; }
    // The application-wide target cursor number (6, 7, 8 or -3), saved under "Cible".
    static int CibleApplication();
    // Initial folder of the open dialog (set by the launcher at every click).
    void SetDossierInitial(const QString& dossier) { dossierInitial_ = dossier; }

    // ---- What each form does its own way ---------------------------------------------------
    // Overlay and grid rewritten from the tables.
    virtual void RedessinerTout() = 0;
    // Enabled and visible controls from the film, the measurement and the tables (the shared
    // controls here; a form adds its own).
    virtual void BoutonsEtat();
    // True when the frame on screen has a successor (a completed row may step on).
    virtual bool AvantDerniereImage() const = 0;
    // Redisplays the frame and its figures (the AVI form asks its player for a clean frame).
    virtual void Rafraichir() = 0;
    // The time origin that a measurement or a chronophotograph starts with.
    virtual double OrigineDesTempsAuDepart() const = 0;

    // ---- What the tracking driver asks of the form -----------------------------------------
    // The frame the analysis pass reads: the decoded frame at the zoomed size.
    virtual QImage ImageAnalyse() = 0;
    // One frame forward: after a completed row, and during the analysis.
    virtual void AvancerUneImage() = 0;
    // How far the analysis is, in the status bar (nothing where the status shows it already).
    virtual void MontrerProgressionAnalyse() {}

    // The buttons whose work depends on the form's player (wired here).
    virtual void OpenFileBtnClick() = 0;
    virtual void MesureBtnClick() = 0; // pressed or released
    virtual void ChronoPhotoBtnClick() = 0;
    virtual void UndoBtnClick() = 0;
    virtual void TabulaneBtnClick() = 0;
    virtual void ZoomSEChange(int z) = 0;

    // ---- Shared handlers ----------------------------------------------------------------
    void OrigineBtnClick();
    void EchelleBtnClick();
    void OrigineItemClick(bool mobile);
    void OrientationClick(OrientationAxes o);
    void OrigineTempsBtnClick();
    void GridSelectCell(int ligne);
    void CurseurClick(int tag);
    void CouleurPointsCBChange();
    void EchelleEditValider();
    void HelpBtnClick();
    void PaintBoxClick();
    // Records a point at an image pixel (click release in psMeasure, Enter or Space).
    void EnregistrerPoint(QPoint posImage);
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
    // The settings of the form as its controls hold them, and back ("AVI" section; the AVI
    // form adds its transfer target).
    virtual ReglagesAvi Reglages() const;
    virtual void AppliquerReglages(const ReglagesAvi& r);
    void LireReglages();
    void EcrireReglages() const;

protected:
    // Builds the shared controls (not laid out) and wires what needs no form of its own.
    // largeursEtat: the widths of the status bar's panels (0: the stretching one).
    TFormeVideo(QWidget* parent, std::initializer_list<int> largeursEtat);

    // The time of the frame on screen, in seconds of the film (time origin as a plain button).
    virtual double TempsImageCourante() const = 0;
    // The time recorded with a point.
    virtual double TempsPoint() const = 0;
    // What a recorded point leaves on screen at once (row i, point k of it).
    virtual void ApresPoint(const EffetPointage& e, int i, int k, QPoint posImage) = 0;
    // A click that stored a calibration point (origin, scale start or end) is shown.
    virtual void MarquerClic(QPoint posImage) = 0;
    // The live patch under the pointer in psMeasure.
    virtual void LirePatchVivant(QPoint posEcran) = 0;
    // A release beyond the frame that means nothing to the form.
    virtual bool HorsImage(QPoint posImage) const;
    // The pointer position shown in the status bar.
    virtual void AfficherPointeur(QPoint posEcran);
    // The keyboard focus goes back to the form's key sink (after a calibration button).
    virtual void RendreFocus() {}

    // The end of a form's constructor: the tracking driver, its settings, the resting prompt,
    // the buttons, and the translation of its texts.
    void achever();
    // The two tool bars: the form's buttons on ToolBar1; its calibration fields on ToolBar2,
    // then the drawing switches (axes, points, their colours) and the thumbnail.
    void placerBarres(std::initializer_list<QWidget*> boutons,
                      std::initializer_list<QWidget*> champs);
    // Adds exclusive, checkable items to menu: each (place, text, value) makes one item, kept
    // in *place, whose choice calls choisir(value).
    template <class V, class F>
    void menuExclusif(QMenu* menu,
                      std::initializer_list<std::tuple<QAction**, const char*, V>> items,
                      F choisir) {
        auto* groupe = new QActionGroup(menu);
        for (const auto& [place, texte, valeur] : items) {
            QAction* a = menu->addAction(QString::fromUtf8(texte));
            a->setCheckable(true);
            groupe->addAction(a);
            connect(a, &QAction::triggered, this, [choisir, v = valeur] { choisir(v); });
            *place = a;
        }
    }
    // Undo of the last point as the machine says (prompt and cursor).
    void defairePoint();
    // A video form is shown maximised.
    void showEvent(QShowEvent* e) override;
    // Whatever runs ends as releasing its button ends it (the form is being closed).
    void arreterTout();
    // The measurement ends: idle, button up, buttons, redraw.
    void finMesure();
    void stockerCase(QPoint posImage);
    void petiteCroixOverlay(QPoint posImage, QRgb couleur);
    void dessinerVignette();
    void orientationMenu();
    void origineTempsRelachee();
    // MesureBtn pressed or released without automatic tracking: the machine's effect shown.
    void demarrerPointage();
    void arreterPointage();
    QRgb couleurAxe() const;
    QRgb couleurPoint(int k) const;
    // Key filter of the objects a form installs it on: the picture and grid (keyboard
    // pointing) and the numeric fields (EchelleEdit and those added to champsNumeriques_).
    bool eventFilter(QObject* objet, QEvent* e) override;
    // The drawing options of the controls, the full axes spanning largeur x hauteur.
    OptionsDessinMesures optionsDessin(int largeur, int hauteur) const;
    // Every stored row into the grid, the rows after them emptied.
    void reecrireGrille();
    std::vector<QObject*> champsNumeriques_;
    // A widget whose cursor follows the picture's (the panel around the picture), or null.
    QWidget* panneauCurseur_ = nullptr;
    // Written with the "AVI" settings: the "Save" section (the AVI form's transfer target).
    bool sectionSave_ = true;

    VideoCalibration calib_;
    TablesPointage tables_;
    MachinePointage machine_{tables_};
    QString fileName_;
    QString filmEssaye_; // the last film asked for, opened or not (for the codec help)
    QString hint_;
    QString dossierInitial_;
    int filterIndex_ = 1;
    bool vignette_ = false;       // the difference thumbnail is shown
    bool glisse_ = false;         // the scale end is being dragged
    bool mesureBasculee_ = false; // MesureBtn has been pressed once (its hints alternate since)
    QPoint pressionEcran_;
    QPoint dernierEcran_;
};

} // namespace kinepo
