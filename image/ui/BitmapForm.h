#pragma once
// The curve-digitizing form "Lecture d'image pour Tabulane": a still picture calibrated by
// five handles, on which the points of up to three curves are clicked (or extracted by their
// colour), listed in a grid and sent to Tabulane. The rules live in image/logic; this class
// holds the controls, the state and the handlers.
#include "image/logic/ExtractionCouleur.h"
#include "image/logic/ImageCalibration.h"
#include "image/logic/SeriesPoints.h"
#include "image/logic/TableImage.h"
#include "shell/base/TradForm.h"

#include <QImage>
#include <QPoint>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPushButton;
class QScrollArea;
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
    const QImage& Image() const { return image_; }
    const VueImage& Vue() const { return vue_; }
    // The view's current hint ("short|long").
    const QString& Hint() const { return hint_; }
    // Name of the picture as sent in the FICHIER block: the full upper-cased path.
    const QString& NomEnregistre() const { return nomEnregistre_; }
    // Initial folder of the open dialog (set by the launcher at every click).
    void DefinirDossierInitial(const QString& dossier) { dossier_ = dossier; }

    // ---- Handlers -------------------------------------------------------------------------
    void OuvrirItemClick();
    // Opens a picture as the open dialog does (then the scale dialog); false with a message
    // when it cannot be read.
    bool OuvrirImage(const QString& chemin);
    // A picture from elsewhere (the file already read): reset and scale dialog.
    void SetUpNewImage(const QImage& image, const QString& nomAffiche);
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
    QMenu* FileMenu = nullptr;
    QAction* OuvrirItem = nullptr;
    QAction* EnregistrerItem = nullptr;
    QWidget* Panel3 = nullptr;
    QComboBox* CouleurPointsCB = nullptr;
    QLabel* SerieLabel = nullptr;
    QSpinBox* SerieSE = nullptr;
    QPushButton* PipetteBtn = nullptr;
    QLineEdit* CouleurCourbeEdit = nullptr;
    QSpinBox* ToleranceSE = nullptr;
    QSpinBox* PasSE = nullptr;
    QPushButton* ExtraireBtn = nullptr;
    QLineEdit* EditBidon = nullptr;
    QScrollArea* Defilement = nullptr;
    PanneauImage* View = nullptr;
    QTableWidget* Grid = nullptr;
    PanneauxEtat* StatusBar = nullptr;
    TEchelleBmpDlg* EchelleDlg = nullptr;

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;
    void changeEvent(QEvent* e) override;

private:
    void construireControles();
    void redessiner();
    QImage dessinerVue() const;
    void setHint(const QString& hint);
    void setCurseurVue(int numero);
    void activerBoutonsPoints();
    void lectures(QPoint posVue);
    QString aidePoignee(int slot) const;
    NomsVariables noms() const;

    QImage image_;
    QString nomEnregistre_;
    QString dossier_;
    VueImage vue_;
    QString hint_;
    int etatSauve_ = Idle;
    QString messageSauve_;
    bool distanceEnCours_ = false;
};

} // namespace kinepo
