#pragma once
// The curve-digitizing form "Lecture d'image pour Tabulane": a still picture calibrated by
// five handles, on which the points of up to three curves are clicked (or extracted by their
// colour), listed in a grid and sent to Tabulane. The picture is shown zoomed in the view and
// whole in the overview beside the grid; it comes from a file or a scanner. The rules live in
// image/logic; this class holds the controls, the state and the handlers (pointing in
// BitmapForm.cpp, pictures, zoom, overview and contrast in BitmapFormImage.cpp).
#include "image/logic/ExtractionCouleur.h"
#include "image/logic/ImageCalibration.h"
#include "image/logic/SeriesPoints.h"
#include "image/logic/TableImage.h"
#include "platform/Numeriseur.h"
#include "shell/base/TradForm.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <mutex>
#include <thread>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QVBoxLayout;
class QProgressBar;
class QSplitter;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace kinepo {

class PanneauImage;
class PanneauxEtat;
class TEchelleBmpDlg;

class TBitmapForm : public TTradForm {
    Q_OBJECT
public:
    // Form states; 3..7 while that handle is dragged.
    enum EtatBitmap : int {
        Idle = 0,
        Measuring = 1,
        Deleting = 2,
        // The next left release on the view takes the curve colour for the extraction.
        Picking = 8,
    };

    explicit TBitmapForm(QWidget* parent = nullptr);
    ~TBitmapForm() override;

    // ---- State, readable by tests ---------------------------------------------------------
    ImageCalibration Calibration;
    SeriesPoints Series;
    QRgb TraceColours[4];
    int FormState = Idle;
    // The displayed picture (the source after the contrast tool) and the source picture.
    const QImage& Image() const { return image_; }
    const QImage& Source() const { return source_; }
    const VueImage& Vue() const { return vue_; }
    // The view's current hint ("short|long").
    const QString& Hint() const { return hint_; }
    // The picture's recorded name: the full upper-cased path ("...BMP" for a converted GIF),
    // or "Twain" for a scanned picture; empty before the first picture.
    const QString& NomImage() const { return nomImage_; }
    // Initial folder of the open and save dialogs (set by the launcher at every click).
    void DefinirDossierInitial(const QString& dossier) { dossier_ = dossier; }
    // Screen position recorded when the zoom menu opens: the point the zoom keeps in place.
    QPoint ZoomAnchor;
    int ContrastRef = 128;
    int ContrastPos = 8;
    // Save dialog filter (1 BMP, 2 JPEG, 3 PNG), kept in the settings as "FilterSave".
    int FilterSave = 2;
    // Overview fit factor and outlined rectangle (overview pixels).
    double FacteurApercu = 1.0;
    QRect RectangleApercu;
    // Chosen scanner (device name), kept in the settings as "Source".
    QString SourceChoisie;

    // ---- Handlers -------------------------------------------------------------------------
    void OpenFileItemClick();
    // Opens a picture file: busy cursor, recorded name, GIF conversion with its progress bar,
    // reset and scale dialog. False, with the reader's message and the previous picture kept,
    // when the file cannot be read.
    bool OpenPicture(const QString& chemin);
    // A picture from a scanner: in memory (recorded as "Twain", no scale dialog), or, when
    // `bitmap` is null, a file the source wrote, opened as OpenPicture does.
    void TakeAcquiredPicture(const QImage& bitmap, const QString& filePath);
    // "Enregistrer": the displayed picture as BMP, JPEG or PNG (by the dialog's filter).
    void SavePicture();
    void SourceItemClick();
    void AcquireItemClick();
    // Waits for the search of scanners started when the menu first opened (devices are probed
    // on a thread of their own, as it may take seconds) and enables the two items by its result.
    void AttendreSources();
    // The reset of a new picture (source and displayed pictures already set).
    void SetUpNewImage();

    // ---- View tools ----------------------------------------------------------------------
    // Zooms to x (made whole), keeping the image point under ZoomAnchor in place.
    void SetZoom(double x);
    void ZoomArriereBtnClick();
    void ZoomAvantBtnClick();
    void PaintView();
    void PaintOverview();
    // The displayed picture from the source with ContrastRef and the up-down's position.
    void ApplyContrast();
    void ContrasteCBClick();
    void EchelleBtnClick();
    void MesureBtnClick() { StartMeasuring(); }
    void StopBtnClick() { StopMeasuring(); }
    void RazBtnClick() { ResetPoints(); }
    void UndoBtnClick() { UndoLastPoint(); }
    void SupprBtnClick();
    void TabulaneBtnClick() { SendTable(); }
    void ExiBtnClick();
    void SerieSEChange();
    void CouleurPointsCBChange();
    void PipetteBtnClick();
    void ExtraireBtnClick();

    void StartMeasuring();
    void StopMeasuring();
    void ResetPoints();
    void UndoLastPoint();
    // posVue in view pixels.
    void RecordOrMovePoint(QPoint posVue);
    void DeletePointAt(QPoint posVue);
    bool SendTable();
    void FillGrid();

    void OverviewMouseDown(QMouseEvent* e);
    void OverviewMouseMove(QMouseEvent* e);
    void OverviewMouseUp(QMouseEvent* e);
    void GammaMouseDown(QMouseEvent* e);
    void GammaMouseMove(QMouseEvent* e);
    void GammaMouseUp(QMouseEvent* e);
    void ViewMouseDown(QMouseEvent* e);
    void ViewMouseMove(QMouseEvent* e);
    void ViewMouseUp(QMouseEvent* e);
    // A key as the form sees it before its controls; true when used.
    bool FormKeyDown(int touche, Qt::KeyboardModifiers modificateurs);

    // ---- Controls -------------------------------------------------------------------------
    QWidget* ToolBar1 = nullptr;
    QPushButton *FileBtn = nullptr, *EchelleBtn = nullptr, *MesureBtn = nullptr, *StopBtn = nullptr,
                *RazBtn = nullptr, *UndoBtn = nullptr, *SupprBtn = nullptr, *TabulaneBtn = nullptr,
                *ExiBtn = nullptr;
    QMenu* FilePopup = nullptr;
    QAction *OpenFileItem = nullptr, *SourceItem = nullptr, *AcquireItem = nullptr,
            *SaveBmpItem = nullptr;
    QWidget* Panel3 = nullptr;
    QComboBox* CouleurPointsCB = nullptr;
    QLabel* SerieLabel = nullptr;
    QSpinBox* SerieSE = nullptr;
    QPushButton* PipetteBtn = nullptr;
    QLineEdit* CouleurCourbeEdit = nullptr;
    QSpinBox* ToleranceSE = nullptr;
    QSpinBox* PasSE = nullptr;
    QPushButton* ExtraireBtn = nullptr;
    QPushButton *ZoomArriereBtn = nullptr, *ZoomAvantBtn = nullptr;
    QLineEdit* ZoomEdit = nullptr;
    QCheckBox* ContrasteCB = nullptr;
    QSpinBox* ScrollBarGamma = nullptr;
    PanneauImage* GammaPaintBox = nullptr;
    QLineEdit* EditBidon = nullptr;
    QSplitter *Splitter1 = nullptr, *Splitter2 = nullptr;
    QWidget* Panel1 = nullptr; // the view panel
    PanneauImage* ImagePaintBox = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QMenu* ZoomMenu = nullptr;
    QWidget* Panel4 = nullptr; // the overview panel
    PanneauImage* PaintBox = nullptr;
    QTableWidget* Grid = nullptr;
    PanneauxEtat* StatusBar = nullptr;
    TEchelleBmpDlg* EchelleDlg = nullptr;

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void construireControles();
    void construireOutilsVue(QHBoxLayout* ligne);
    void construireZoneImage(QVBoxLayout* vbox);
    void redessiner();
    QImage dessinerVue() const;
    QImage dessinerApercu() const;
    QImage dessinerBoiteGamma() const;
    void setHint(const QString& hint);
    void setCurseurVue(int numero);
    void activerBoutonsPoints();
    void lectures(QPoint posVue);
    QString aidePoignee(int slot) const;
    NomsVariables noms() const;
    void lireReglages();
    void ecrireReglages() const;
    void activerNumeriseur();
    QSize taillePanneauVue() const;

    QImage source_;
    QImage image_;
    QImage apercuFond_; // the overview's picture, remade when the picture or its size changes
    QString nomImage_;
    QString dossier_;
    VueImage vue_;
    QString hint_;
    int etatSauve_ = Idle;
    QString messageSauve_;
    bool distanceEnCours_ = false;
    // Overview drag: press point and the moving outline (overview pixels).
    bool glisseApercu_ = false;
    QPoint appuiApercu_;
    QRect contourMobile_;
    // Reference line drag: the XOR line's column, -1 when none.
    bool glisseGamma_ = false;
    int ligneGamma_ = -1;
    bool sourcesConnues_ = false;
    std::thread recherche_; // the search of scanners, while it runs
    std::mutex trouveesVerrou_;
    std::vector<SourceNumeriseur> trouvees_;
    bool dejaMontree_ = false;
    std::vector<SourceNumeriseur> sources_;
};

} // namespace kinepo
