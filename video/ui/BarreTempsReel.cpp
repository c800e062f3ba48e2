#include "video/ui/BarreTempsReel.h"

#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "platform/video/MoteurVideo.h"
#include "shell/base/Dictionnaire.h"
#include "shell/base/RoutageAide.h"
#include "shell/base/TradForm.h"
#include "video/ui/GrilleResultats.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace kinepo {

BarreTempsReel::BarreTempsReel(QWidget* parent) : QWidget(parent) {
    auto* ligne = new QHBoxLayout(this);
    ligne->setContentsMargins(4, 0, 4, 0);
    TempsReelCB = new QCheckBox(QStringLiteral("Temps réel"), this);
    DefinirAide(TempsReelCB, QStringLiteral("Temps réel|Film au ralenti : temps de la scène, "
                                            "d'après la cadence de prise de vue"));
    CaptureEdit = new QLineEdit(this);
    CaptureEdit->setMaximumWidth(60);
    DefinirAide(CaptureEdit,
                QStringLiteral("Prise de vue|Cadence de prise de vue en images par seconde"));
    HorlogeLabel = new QLabel(this);
    ligne->addWidget(TempsReelCB);
    ligne->addWidget(CaptureEdit);
    ligne->addWidget(new QLabel(QStringLiteral("i/s "), this));
    ligne->addWidget(HorlogeLabel);
    connect(TempsReelCB, &QCheckBox::clicked, this, &BarreTempsReel::TempsReelCBClick);
    connect(CaptureEdit, &QLineEdit::editingFinished, this, &BarreTempsReel::CaptureEditValider);
    montrer();
}

void BarreTempsReel::montrer() {
    {
        const QSignalBlocker b(TempsReelCB);
        TempsReelCB->setChecked(temps_.Demande());
    }
    {
        const QSignalBlocker b(CaptureEdit);
        CaptureEdit->setText(temps_.CadenceCapture() > 0 ? TexteCadence(temps_.CadenceCapture())
                                                         : QString());
    }
    // The clock's words in the form's language; the rate stays as it is.
    QString libelle = temps_.Libelle();
    const auto* forme = qobject_cast<const TTradForm*>(window());
    if (const Dictionnaire* d = forme ? forme->Translator.Dictionary() : nullptr) {
        const QString mots =
            temps_.Actif() ? QStringLiteral("temps réel") : QStringLiteral("temps du film");
        libelle.replace(0, mots.size(), d->Traduire(mots));
    }
    HorlogeLabel->setText(libelle);
    TempsReelCB->setEnabled(temps_.CadenceLecture() > 0);
    CaptureEdit->setEnabled(temps_.CadenceLecture() > 0);
}

void BarreTempsReel::PourFilm(const InfosFilm* infos) {
    if (infos) {
        temps_.PourFilm(infos->CadenceMoyenne(), infos->cadenceCapture);
    } else {
        temps_.Reinitialiser();
    }
    montrer();
    emit Change(TempsReel());
}

void BarreTempsReel::TempsReelCBClick() {
    const TempsReel avant = temps_;
    temps_.FixerDemande(TempsReelCB->isChecked());
    montrer();
    if (temps_.Facteur() != avant.Facteur()) emit Change(avant);
}

void BarreTempsReel::CaptureEditValider() {
    const QString texte = CaptureEdit->text().trimmed();
    if (texte.isEmpty() ||
        (temps_.CadenceCapture() > 0 && texte == TexteCadence(temps_.CadenceCapture()))) {
        montrer();
        return;
    }
    const TempsReel avant = temps_;
    if (!temps_.FixerCadenceCapture(texte)) {
        Dialogues().message(QStringLiteral("Cadence de prise de vue incorrecte"));
        montrer();
        return;
    }
    montrer();
    if (temps_.Facteur() != avant.Facteur()) emit Change(avant);
}

void BarreTempsReel::Reechelonner(const TempsReel& avant, VideoCalibration& calib,
                                  TablesPointage& tables, QTableWidget* grille,
                                  double periodeImages) const {
    ReechelonnerTemps(calib, tables, temps_.Rapport(avant, periodeImages));
    if (grille) ReecrireColonneTemps(grille, calib, tables);
}

} // namespace kinepo
