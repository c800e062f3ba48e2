#include "sound/ui/TestInWav.h"

#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "platform/Processus.h"
#include "platform/audio/Audio.h"
#include "shell/base/RoutageAide.h"
#include "sound/ui/WavMain.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kinepo {

TTestWavDlg::TTestWavDlg(ReglagesWav& reglages, QWidget* parent)
    : QDialog(parent), reglages_(reglages), entree_(CreerEntreeSon()) {
    auto* principal = new QVBoxLayout(this);
    ModeRG = new QGroupBox(QStringLiteral("Mode d'enregistrement"), this);
    listeModes_ = new QVBoxLayout(ModeRG);
    ModeGroupe = new QButtonGroup(this);
    principal->addWidget(ModeRG);

    auto* barre = new QWidget(this);
    barre->setFixedSize(260, 26);
    VolumePB = new QProgressBar(barre);
    VolumePB->setRange(0, 128);
    VolumePB->setTextVisible(false);
    VolumePB->setGeometry(2, 4, 256, 14);
    CourantB = new QFrame(barre);
    CourantB->setFrameShape(QFrame::VLine);
    CourantB->setGeometry(VolumePB->x() - 2, 0, 4, 26);
    principal->addWidget(barre);

    auto* boutons = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    VolumeBtn = new QPushButton(QStringLiteral("Volume"), this);
    DefinirAide(VolumeBtn,
                QStringLiteral("|Appel de la boite de dialogue Windows contrôle d'enregistrement"));
    BitBtn2 = new QPushButton(QStringLiteral("Annuler"), this);
    boutons->addWidget(BitBtn1);
    boutons->addWidget(VolumeBtn);
    boutons->addWidget(BitBtn2);
    principal->addLayout(boutons);

    connect(BitBtn1, &QPushButton::clicked, this, &TTestWavDlg::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(VolumeBtn, &QPushButton::clicked, this, &TTestWavDlg::VolumeBtnClick);
    connect(ModeGroupe, &QButtonGroup::idClicked, this, &TTestWavDlg::ModeRGClick);
    connect(entree_.get(), &EntreeSon::BufferRendu, this, &TTestWavDlg::BufferRendu);

    VolumeBtn->show();
    const auto capacites = entree_->Capacites();
    if (!capacites) {
        valide_ = false;
        Dialogues().message(QStringLiteral("Pas d'entrée son"));
        return;
    }
    setWindowTitle(QStringLiteral("Choix du mode d'enregistrement ") + capacites->produit);
    modes_ = ListeModes(capacites->masque);
    for (std::size_t i = 0; i < modes_.size(); ++i) {
        auto* r = new QRadioButton(modes_[i].texte, ModeRG);
        listeModes_->addWidget(r);
        ModeGroupe->addButton(r, int(i));
    }
    const int choisi = ModeChoisi(modes_, reglages_.freq, reglages_.bits, reglages_.mode);
    if (choisi >= 0) ModeGroupe->button(choisi)->setChecked(true);
}

TTestWavDlg::~TTestWavDlg() {
    if (entree_) entree_->Fermer();
}

int TTestWavDlg::ModeSelectionne() const {
    return ModeGroupe->checkedId();
}

bool TTestWavDlg::Surveiller() {
    if (!valide_) return false;
    Demarrer();
    return valide_;
}

void TTestWavDlg::Echec(const QString& message) {
    Dialogues().message(message);
    entree_->Fermer();
    valide_ = false;
    peutFermer_ = true;
    if (isVisible()) QDialog::done(QDialog::Rejected);
}

void TTestWavDlg::Demarrer() {
    arret_ = redemarrage_ = false;
    const int i = ModeSelectionne();
    if (i < 0) {
        // No usable mode: the list is shown without a meter.
        peutFermer_ = true;
        return;
    }
    const ModeEnregistrement& m = modes_[std::size_t(i)];
    FormatPcm f{m.frequence, int(m.bits), m.stereo ? 2 : 1};
    huitBits_ = m.bits == 8;
    historique_.Initialiser(HistoriqueNiveau::Longueur(m.frequence, m.bits));
    if (!entree_->Ouvrir(f)) return Echec(QStringLiteral("Problem creating record handle"));
    peutFermer_ = false;
    if (!entree_->AjouterBuffer()) return Echec(QStringLiteral("Add buffer error"));
    if (!entree_->Demarrer()) return Echec(QStringLiteral("Start error"));
}

void TTestWavDlg::BufferRendu(const QByteArray& donnees) {
    const int a = NiveauBuffer(reinterpret_cast<const std::uint8_t*>(donnees.constData()),
                               int(donnees.size()), huitBits_);
    historique_.Ajouter(a);
    CourantB->move(VolumePB->x() + 2 * a - 2, CourantB->y());
    VolumePB->setValue(historique_.Maximum());
    // A close asked for while a mode change is pending wins over the change: otherwise the
    // restart would clear the request and the dialog would stay open.
    if (arret_) {
        entree_->Fermer();
        peutFermer_ = true;
        done(resultat_);
    } else if (redemarrage_) {
        entree_->Fermer();
        Demarrer();
    } else if (!entree_->AjouterBuffer()) {
        Echec(QStringLiteral("Add buffer error"));
    }
}

void TTestWavDlg::ModeRGClick(int) {
    // The switch happens when the buffer in the input comes back.
    if (peutFermer_ && valide_)
        Demarrer();
    else
        redemarrage_ = true;
}

void TTestWavDlg::BitBtn1Click() {
    const int i = ModeSelectionne();
    if (i >= 0) {
        reglages_.freq = modes_[std::size_t(i)].frequence;
        reglages_.bits = modes_[std::size_t(i)].bits;
    }
    done(QDialog::Accepted);
}

void TTestWavDlg::done(int resultat) {
    if (peutFermer_) {
        QDialog::done(resultat);
        return;
    }
    // The input still holds the buffer: ask for it back and close once it has returned.
    resultat_ = resultat;
    arret_ = true;
    entree_->Reinitialiser();
}

void TTestWavDlg::VolumeBtnClick() {
    const QString mixeur = ProgrammeMixeur();
    // pavucontrol's fourth tab holds the input devices and their volumes.
    if (mixeur.isEmpty() || !Processus().lancer(mixeur, {QStringLiteral("--tab=4")}))
        Dialogues().message(QStringLiteral("Impossible"));
    VolumeBtn->hide();
}

} // namespace kinepo
