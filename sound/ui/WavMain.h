#pragma once
// The sound form "Lecture de fichier .Wav pour Tabulane": the whole sound and the selected
// stretch drawn one above the other, the selection dragged with the mouse, playback of the
// stretch, its transfer to the analysis program or its text table, and the recording.
#include "common/Grapheu.h"
#include "platform/audio/Audio.h"
#include "shell/base/BoitePeinture.h"
#include "shell/base/TradForm.h"
#include "sound/EnregistrementSon.h"
#include "sound/SelectionSon.h"
#include "sound/TamponSon.h"

#include <QDateTime>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QSplitter;
class QTimer;
class QToolButton;

namespace kinepo {

class PanneauxEtat;

// Recording settings kept in section "Wav" of the settings file.
struct ReglagesWav {
    std::uint32_t freq = 11025;
    std::uint32_t bits = 8;
    int mode = 0;
};

class TWaveForm : public TTradForm {
    Q_OBJECT
public:
    // Window message number of "the recording is saved, read it".
    static constexpr int kMessageEnregistrement = 0x411;

    explicit TWaveForm(QWidget* parent = nullptr);
    ~TWaveForm() override;

    // Initial folder of the open and save dialogs (the launcher's sound folder).
    void DefinirDossierInitial(const QString& dossier) { dossier_ = dossier; }
    QString DossierInitial() const { return dossier_; }

    // The clock of the recording's start and stop (tests give a scaled one).
    std::function<QDateTime()> Horloge = [] { return QDateTime::currentDateTime(); };
    // Where the recording is saved: the executable's path with ".wav", or the same name in the
    // user's data folder when the executable's folder cannot be written.
    QString CheminEnregistrement;

    // Handlers, public so that tests drive them as the controls do.
    void OpenFileBtnClick();
    void SaveFileBtnClick();
    void TabulaneBtnClick();
    void SaveDataBtnClick();
    void PlayBtnClick();
    void RecordBtnClick();
    void StopBtnClick();
    void ModeBtnClick();
    void Timer1Timer();
    void MediaPlayerNotify();
    // Reads a file and sets the form up for it (or resets it silently on a read error).
    void LireFichier(const QString& nomFichier);
    // After every selection change: player positions, labels, thinning.
    void AppliquerSelection();

    // State for tests and the plots.
    const TamponSon& Son() const { return *son_; }
    bool SonCharge() const { return !son_->NomFichier().isEmpty() && son_->NbEchantillons() > 0; }
    Selection SelectionCourante() const { return selection_; }
    void DefinirSelection(const Selection& s);
    SousEchantillonnage SousEchantillonnageCourant() const { return sous_; }
    ReglagesWav& Reglages() { return reglages_; }
    int BordGauche() const { return bordGauche_; }
    int BordDroit() const { return bordDroit_; }
    bool ArretEnCours() const { return arret_; }
    LecteurSon& Lecteur() { return *lecteur_; }

    QToolButton *OpenFileBtn, *SaveFileBtn, *TabulaneBtn, *SaveDataBtn, *RecordBtn, *StopBtn,
        *ModeBtn, *PlayBtn, *ExitBtn;
    QLabel *DureeTot, *FreqLabel, *DureeReg, *FreqRegLabel, *PositionLabel;
    QCheckBox *BoucleCB, *StereoCB;
    BoitePeinture *PaintBox, *PaintBoxZoom;
    QSplitter* Splitter;
    PanneauxEtat* StatusBar;
    QTimer* Timer1;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* objet, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void MiseEnPlace();
    // Writes the whole sound under `nom` (".wav" added when it has no extension) and makes it
    // the sound's name; shows "Erreur d'écriture" and returns false when it cannot be written.
    bool SauverSon(const QString& nom);
    void Reinitialiser();
    void OuvrirLecteur();
    void FermerLecteur();
    void FinDeLecture();
    void MettreAJourSousEchantillonnage();
    // The mapping of the whole-sound view for the current sound and box width.
    void PreparerVue();
    int PixelDe(std::int32_t echantillon);
    void PeindreVue(QPainter& p);
    void PeindreZoom(QPainter& p);
    void PaintBoxMouseDown(QMouseEvent* e);
    void PaintBoxMouseMove(QMouseEvent* e);
    void PaintBoxMouseUp(QMouseEvent* e);
    void LireReglages();
    void EcrireReglages();

    std::unique_ptr<TamponSon> son_;
    TgrapheSon graphe_, grapheZoom_;
    QImage imageVue_; // the whole-sound plot, redrawn when the sound or the size changes
    bool vueAJour_ = false;
    std::unique_ptr<LecteurSon> lecteur_;
    std::unique_ptr<EnregistreurSon> enregistreur_; // null: no recording device open
    QString dossier_;
    ReglagesWav reglages_;

    std::uint8_t modeGlisse_ = 0; // 0 none, 1 left edge, 2 right edge, 3 whole selection
    int bordGauche_ = 0, bordDroit_ = 0, curseurLecture_ = -1, dernierX_ = 0;
    bool curseurVisible_ = false;
    Selection selection_;
    SousEchantillonnage sous_;

    QDateTime debutEnregistrement_;
    bool arret_ = false;
    int tics_ = 0, limiteTics_ = 0;
};

} // namespace kinepo
