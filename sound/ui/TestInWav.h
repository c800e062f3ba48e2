#pragma once
// The recording-mode dialog "Choix du mode d'enregistrement <device>": the modes that the
// default input supports, a live level meter of the chosen mode, and the mixer for the
// recording volume. OK copies the chosen mode to the sound form's settings.
#include "platform/audio/EntreeSon.h"
#include "sound/EnregistrementSon.h"

#include <QDialog>
#include <memory>
#include <vector>

class QButtonGroup;
class QFrame;
class QGroupBox;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace kinepo {

struct ReglagesWav;

class TTestWavDlg : public QDialog {
    Q_OBJECT
public:
    // Builds the list from the input's capabilities. Without an input the message
    // "Pas d'entrée son" is shown and Surveiller() returns false.
    TTestWavDlg(ReglagesWav& reglages, QWidget* parent = nullptr);
    ~TTestWavDlg() override;

    // Starts the level monitor on the selected mode; false when the dialog has nothing to
    // show (no input, or it was closed by an error).
    bool Surveiller();

    // Handlers, public for tests.
    void ModeRGClick(int index);
    void BitBtn1Click(); // OK
    void VolumeBtnClick();
    void BufferRendu(const QByteArray& donnees);

    const std::vector<ModeEnregistrement>& Modes() const { return modes_; }
    int ModeSelectionne() const;
    const HistoriqueNiveau& Historique() const { return historique_; }
    bool PeutFermer() const { return peutFermer_; }
    EntreeSon& Entree() { return *entree_; }

    QGroupBox* ModeRG;
    QButtonGroup* ModeGroupe;
    QPushButton *BitBtn1, *VolumeBtn, *BitBtn2;
    QProgressBar* VolumePB;
    QFrame* CourantB;

public slots:
    void done(int resultat) override;

private:
    void Demarrer();
    void Echec(const QString& message);

    ReglagesWav& reglages_;
    std::unique_ptr<EntreeSon> entree_;
    QVBoxLayout* listeModes_ = nullptr;
    std::vector<ModeEnregistrement> modes_;
    HistoriqueNiveau historique_;
    bool huitBits_ = true;
    bool arret_ = false, redemarrage_ = false, peutFermer_ = true;
    bool valide_ = true;
    int resultat_ = QDialog::Rejected;
};

} // namespace kinepo
