#pragma once
// The light-intensity form "Lecture d'intensité lumineuse pour Tabulane": a picture (BMP, JPEG,
// GIF) with a line drawn across it by handles, the relative intensity along the line plotted
// beside it, sent to the analysis program or saved as a text table. The state and the
// computation are in optics/ProfilOptique.h, the handle rules and the overlay geometry in
// optics/PoigneesOptique.h; this form holds the controls and routes the events.
#include "common/Grapheu.h"
#include "optics/PoigneesOptique.h"
#include "optics/ProfilOptique.h"
#include "shell/base/BoitePeinture.h"
#include "shell/base/TradForm.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;

namespace kinepo {

class PanneauxEtat;
class TtsCap32;

class TOptiqueForm : public TTradForm {
    Q_OBJECT
public:
    explicit TOptiqueForm(QWidget* parent = nullptr);
    ~TOptiqueForm() override;

    // Initial folder of the open and save dialogs (the launcher's light-profile folder).
    void DefinirDossierInitial(const QString& dossier) { dossier_ = dossier; }
    QString DossierInitial() const { return dossier_; }

    // Handlers, public so that tests drive them as the controls do.
    void OpenFileBtnClick();
    // Opens a picture file as the dialog would have returned it.
    void OuvrirFichier(const QString& nom);
    void SaveFileBtnClick();
    void TabulaneBtnClick();
    void TextFileBtnClick();
    void EchelleRGClick();
    void Image1DblClick();
    // Webcam: connection toggle, connection established, the 500 ms refresh, the settings.
    void sbAcquireClick();
    void tsCap321Connected();
    void Timer1Timer();
    void configWebCamBtnClick();
    // The form becomes the active window (true) or stops being it (false).
    void Activation(bool active);
    // Computes the profile (nothing happens without a source).
    void Calculer();

    // State, for tests and the plot.
    const ProfilOptique& Profil() const { return *profil_; }
    ProfilOptique& Profil() { return *profil_; }
    const QString& NomSource() const { return source_; }
    const QString& NomCopie() const { return copie_; }
    const QImage& ImageTenue() const { return image_; }
    // How many profile computations ran (each webcam refresh is one).
    int NombreCalculs() const { return calculs_; }
    // The displayed picture with its overlay, as on screen.
    QImage ImageAffichee() const;
    // The held picture with its overlay, as a picture save writes it.
    QImage ImageAvecOverlay() const;

    QPushButton *OpenFileBtn, *ConnectBtn, *ConfigWebCamBtn, *SaveFileBtn, *TabulaneBtn,
        *TextFileBtn, *ExitBtn;
    QSpinBox* MoyenneSE;
    QLineEdit* EchelleEdit;
    QLabel *EchelleLabel, *dimLabel, *SaturationLabel;
    QComboBox* UniteCB;
    QButtonGroup* EchelleRG;
    QRadioButton *EchelleRB, *PixelRB;
    QWidget *TopPanel, *Panel1;
    BoitePeinture *Image1, *IntensitePB;
    QLineEdit* EditBidon;
    QTimer* Timer1;
    TtsCap32* tsCap321;
    QProgressBar* ProgressBar;
    PanneauxEtat* StatusBar;

protected:
    bool eventFilter(QObject* objet, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void ImageMouseDown(QMouseEvent* e);
    void ImageMouseMove(QMouseEvent* e);
    void ImageMouseUp(QMouseEvent* e);
    void Glisser(QMouseEvent* e);
    int LargeurClient() const;
    int HauteurDisponible() const;
    void regleZoom(int largeur, int hauteur);
    void MettreAffichage();
    void AfficherEchelle();
    bool LireEchelleSaisie();
    void IntensitePBPaint(QPainter& p);
    void PeindreImage(QPainter& p);
    void DefinirAideImage(const QString& aide);
    void LireReglages();
    void EcrireReglages();
    void MettreBoutonsWebcam();

    std::unique_ptr<ProfilOptique> profil_;
    std::unique_ptr<Tgraphe> graphe_;
    QImage image_;     // the held picture: own size (direct reading) or displayed size (copy)
    QImage affichage_; // the held picture at the displayed size
    QString source_, copie_, dossier_;
    QString titrePage_; // always empty: nothing sets a page title
    int filtreOuvrir_ = 0, filtreEnregistrer_ = 0;
    int calculs_ = 0;
};

} // namespace kinepo
