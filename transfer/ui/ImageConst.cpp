#include "transfer/ui/ImageConst.h"

#include "platform/Chemins.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kinepo {

namespace {
QPointer<TConstanteDlg> g_instance;
TConstanteDlg::ReponseScriptee g_reponse;

// The analysis program installs a typeface of its own name; where it is missing Qt falls
// back to the default family.
QFont policeTabulane(int hauteurPixels = 0) {
    QFont f(QStringLiteral("Tabulane"));
    if (hauteurPixels > 0) f.setPixelSize(hauteurPixels);
    return f;
}
} // namespace

TConstanteDlg::TConstanteDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Renseignements sur la page courante"));
    setFont(policeTabulane());

    auto* parametre = new QGroupBox(QStringLiteral("Paramètre"), this);
    auto* formeParam = new QFormLayout(parametre);
    NomConstEdit = new QLineEdit(parametre);
    NomConstEdit->setObjectName(QStringLiteral("NomConstEdit"));
    NomConstEdit->setMaxLength(8);
    UniteConstEdit = new QLineEdit(parametre);
    UniteConstEdit->setObjectName(QStringLiteral("UniteConstEdit"));
    ValeurConstEdit = new QLineEdit(parametre);
    ValeurConstEdit->setObjectName(QStringLiteral("ValeurConstEdit"));
    formeParam->addRow(QStringLiteral("Symbole"), NomConstEdit);
    formeParam->addRow(QStringLiteral("Unité"), UniteConstEdit);
    formeParam->addRow(QStringLiteral("Valeur"), ValeurConstEdit);

    auto* commentaire = new QGroupBox(QStringLiteral("Commentaire"), this);
    auto* formeComm = new QVBoxLayout(commentaire);
    EditComm = new QLineEdit(commentaire);
    EditComm->setObjectName(QStringLiteral("EditComm"));
    formeComm->addWidget(EditComm);

    auto* page = new QGroupBox(QStringLiteral("Données vers Tabulane"), this);
    page->setObjectName(QStringLiteral("NewPageCB"));
    auto* grillePage = new QGridLayout(page); // two columns
    NouveauFichierRB = new QRadioButton(QStringLiteral("Nouveau fichier"), page);
    NouvellePageRB = new QRadioButton(QStringLiteral("Nouvelle page"), page);
    grillePage->addWidget(NouveauFichierRB, 0, 0);
    grillePage->addWidget(NouvellePageRB, 0, 1);
    NewPageCB = new QButtonGroup(this);
    NewPageCB->addButton(NouveauFichierRB, int(ChoixPage::NouveauFichier));
    NewPageCB->addButton(NouvellePageRB, int(ChoixPage::NouvellePage));

    for (QLineEdit* e : {NomConstEdit, UniteConstEdit, ValeurConstEdit, EditComm})
        e->setFont(policeTabulane(13));

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setDefault(true);
    AnnulerBtn = new QPushButton(QStringLiteral("Annuler"), this);
    // No help topic is attached to this dialog: the button is there and does nothing.
    AideBtn = new QPushButton(QStringLiteral("Aide"), this);
    AideBtn->setAutoDefault(false);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(AnnulerBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(OKBtn);
    boutons->addWidget(AnnulerBtn);
    boutons->addWidget(AideBtn);

    auto* tout = new QVBoxLayout(this);
    tout->addWidget(parametre);
    tout->addWidget(commentaire);
    tout->addWidget(page);
    tout->addLayout(boutons);

    RemettreAZero();
    if (!g_instance) g_instance = this;
}

TConstanteDlg::~TConstanteDlg() = default;

TConstanteDlg& TConstanteDlg::Instance() {
    // Made on first use when the program did not create it at start-up (tests); it then lives
    // until the process ends.
    if (!g_instance) g_instance = new TConstanteDlg(nullptr);
    return *g_instance;
}

bool TConstanteDlg::Montrer() {
    if (g_reponse) return g_reponse(*this);
    return exec() == QDialog::Accepted;
}

TConstanteDlg::ReponseScriptee TConstanteDlg::DefinirReponseScriptee(ReponseScriptee reponse) {
    std::swap(reponse, g_reponse);
    return reponse;
}

ChoixPage TConstanteDlg::Choix() const {
    return NewPageCB->checkedId() == int(ChoixPage::NouvellePage) ? ChoixPage::NouvellePage
                                                                  : ChoixPage::NouveauFichier;
}

void TConstanteDlg::SetChoix(ChoixPage choix) {
    (choix == ChoixPage::NouvellePage ? NouvellePageRB : NouveauFichierRB)->setChecked(true);
}

ConstanteTransfert TConstanteDlg::Constante() const {
    return {NomConstEdit->text(), UniteConstEdit->text(), ValeurConstEdit->text()};
}

QString TConstanteDlg::Commentaire() const {
    return EditComm->text();
}

PageTransfert TConstanteDlg::Page(CibleTransfert cible) const {
    PageTransfert p;
    p.cheminExecutable = CheminExecutable();
    p.choix = Choix();
    p.commentaire = Commentaire();
    p.constante = Constante();
    p.cible = cible;
    return p;
}

void TConstanteDlg::RemettreAZero() {
    NomConstEdit->clear();
    UniteConstEdit->clear();
    ValeurConstEdit->clear();
    EditComm->clear();
    SetChoix(ChoixPage::NouveauFichier);
}

} // namespace kinepo
