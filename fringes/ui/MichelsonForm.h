#pragma once
// The fringe form "Mesure d'intensité lumineuse en fonction du temps par une Webcam": the light
// level at one or two points of the webcam picture followed frame by frame, drawn as a strip
// chart and sent to the analysis program. The measurement itself is fringes/SuiviMichelson.h;
// this form holds the controls, the capture control and the chart's picture. A plain window:
// it stays in French whatever the language (the translator leaves other windows alone).
#include "fringes/SuiviMichelson.h"
#include "shell/base/BoitePeinture.h"

#include <QImage>
#include <QMainWindow>
#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kinepo {

class PanneauxEtat;
class TMichelsonHlp;
class TtsCap32;
struct ImageCamera;

class TMichelsonForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMichelsonForm(QWidget* parent = nullptr);
    ~TMichelsonForm() override;

    // The form keeps no folder; the launcher's call is accepted and ignored.
    void DefinirDossierInitial(const QString&) {}

    // Handlers, public so that tests drive them as the controls do.
    void ConnectBtnClick();
    void ConfigWebBtnClick();
    void StartBtnClick();
    void StopBtnClick();
    void HelpBtnClick();
    void TabulaneBtnClick();
    void QuitterBtnClick();
    void tsCap321Frame(const ImageCamera& image);

    // The high-resolution counter the acquisition times come from (tests set their own).
    std::function<std::uint64_t()> Compteur;

    // State, for tests.
    const SuiviMichelson& Suivi() const { return *suivi_; }
    SuiviMichelson& Suivi() { return *suivi_; }
    const QImage& ImageReference() const { return reference_; }
    // The chart as drawn so far (what PaintBox2 shows).
    const QImage& ImageGraphe() const { return graphe_; }
    // How many times the whole chart was drawn.
    int RedessinsGraphe() const { return redessins_; }
    TMichelsonHlp* Aide() const { return aide_; }

    QPushButton *ConnectBtn, *HelpBtn, *ConfigWebBtn, *StartBtn, *StopBtn, *TabulaneBtn,
        *QuitterBtn;
    TtsCap32* tsCap321;
    QPlainTextEdit* Memo1;
    BoitePeinture *PaintBox1, *PaintBox2;
    QCheckBox* DeuxPointsCB;
    QLabel *LabelNiveauNa, *LabelNiveauLaser, *VerrouLabel, *FrangesLabel;
    QGroupBox* fpsRG;
    QButtonGroup* fpsBoutons;
    QWidget* PanneauImage;
    PanneauxEtat* StatusBar;

protected:
    void resizeEvent(QResizeEvent* e) override;
    // Closing (by "Quitter" or the window) ends an acquisition and disconnects the camera.
    void closeEvent(QCloseEvent* e) override;

private:
    void Connecte(bool connecte);
    void Panne(const QString& raison);
    void MettreBoutons();
    void PaintBox1Paint(QPainter& p);
    void PaintBox1MouseDown(QMouseEvent* e);
    void PaintBox1MouseMove(QMouseEvent* e);
    void PaintBox1MouseUp(QMouseEvent* e);
    void DefinirAidePoints(const QString& aide);
    // The whole chart redrawn into its picture, then shown.
    void RedessinerGraphe();
    void DessinerSegment(int k);
    void AfficherFranges();

    std::unique_ptr<SuiviMichelson> suivi_;
    QImage reference_;
    QImage graphe_;
    int redessins_ = 0;
    std::uint8_t pointSaisi_ = 0; // 0 none, 1 or 2
    bool interrompue_ = false;    // the last disconnection ended an acquisition
    TMichelsonHlp* aide_ = nullptr;
};

} // namespace kinepo
