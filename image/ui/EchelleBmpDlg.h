#pragma once
// The scale dialog of the image form, "Détermination de l'échelle": reference lengths, names
// and units, axes mode, reference variable and its increment, number of series, axes colour.
// It loads from the calibration each time it is activated and writes to it on OK.
//
// Tests: Montrer() asks the hook installed with DefinirReponseScriptee instead of showing a
// window when one is installed (the hook may type into the fields first).
#include "image/logic/ImageCalibration.h"
#include "image/logic/TableImage.h"
#include "shell/base/TradForm.h"

#include <QColor>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QEventLoop;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kinepo {

class PanneauxEtat;

// The colours offered by the colour lists of the image form, as (name, colour).
struct CouleurListe {
    const char* nom;
    QRgb couleur;
};
extern const CouleurListe kCouleursImage[8];
// Fills a colour list with kCouleursImage; SelectionnerCouleur picks the entry of a colour
// (adding it when it is not in the list); CouleurChoisie reads the selection.
void RemplirCouleursImage(QComboBox* liste);
void SelectionnerCouleur(QComboBox* liste, QRgb couleur);
QRgb CouleurChoisie(const QComboBox* liste);

class TEchelleBmpDlg : public TTradForm {
    Q_OBJECT
public:
    // The dialog works on `calibration` and the axes colour `couleurAxes`, both owned by the
    // image form.
    TEchelleBmpDlg(ImageCalibration& calibration, QRgb& couleurAxes, QWidget* parent = nullptr);

    // Shows the dialog modally; true when closed with OK. The calibration is loaded first.
    bool Montrer();
    using ReponseScriptee = std::function<bool(TEchelleBmpDlg&)>;
    // Installs the answer used by Montrer (empty: show the window); returns the previous one.
    static ReponseScriptee DefinirReponseScriptee(ReponseScriptee reponse);

    // Activation: reference box, lengths, mode and colour reloaded from the calibration.
    void FormActivate();
    // Mode layout of the current AxesRG choice.
    void AxesRGClick();
    // nomT, EditT and UniteT follow the reference box.
    void ReferenceCBClick();
    // Writes the fields to the calibration and closes with OK. A reference length of 0 is
    // refused with a message: the previous length is kept.
    void OKBtnClick();
    void BitBtn2Click();

    // Names and units as typed.
    NomsVariables Noms() const;
    int NombreSeries() const;
    int ModeChoisi() const;

    QLineEdit *NomX = nullptr, *EditX = nullptr, *UniteX = nullptr;
    QLineEdit *NomY = nullptr, *EditY = nullptr, *UniteY = nullptr;
    QLineEdit *nomT = nullptr, *EditT = nullptr, *UniteT = nullptr;
    QLabel *LabelX = nullptr, *LabelY = nullptr, *NbreLabel = nullptr;
    QCheckBox* ReferenceCB = nullptr;
    QButtonGroup* AxesRG = nullptr;
    QRadioButton* AxesItems[3] = {};
    QSpinBox* NbreSE = nullptr;
    QComboBox* CouleurAxeCB = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    PanneauxEtat* StatusBar = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* BitBtn2 = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;
    // Enter is OK and Escape is Cancel, as in any dialog.
    void keyPressEvent(QKeyEvent* e) override;

private:
    void terminer(bool ok);
    ImageCalibration& calib_;
    QRgb& couleurAxes_;
    QEventLoop* boucle_ = nullptr;
    bool resultat_ = false;
};

} // namespace kinepo
