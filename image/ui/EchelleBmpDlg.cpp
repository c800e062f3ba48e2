#include "image/ui/EchelleBmpDlg.h"

#include "common/Nombres.h"
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "shell/base/PanneauxEtat.h"
#include "shell/base/RoutageAide.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kinepo {

const CouleurListe kCouleursImage[8] = {
    {"Rouge", qRgb(255, 0, 0)},     {"Vert", qRgb(0, 128, 0)},      {"Bleu", qRgb(0, 0, 255)},
    {"Noir", qRgb(0, 0, 0)},        {"Blanc", qRgb(255, 255, 255)}, {"Jaune", qRgb(255, 255, 0)},
    {"Fuchsia", qRgb(255, 0, 255)}, {"Aqua", qRgb(0, 255, 255)},
};

void RemplirCouleursImage(QComboBox* liste) {
    for (const CouleurListe& c : kCouleursImage) {
        QPixmap carre(12, 12);
        carre.fill(QColor(c.couleur));
        liste->addItem(QIcon(carre), QString::fromUtf8(c.nom),
                       QVariant::fromValue<uint>(c.couleur));
    }
}

void SelectionnerCouleur(QComboBox* liste, QRgb couleur) {
    int i = liste->findData(QVariant::fromValue<uint>(couleur | 0xff000000u));
    if (i < 0) {
        liste->addItem(QColor(couleur).name(), QVariant::fromValue<uint>(couleur | 0xff000000u));
        i = liste->count() - 1;
    }
    liste->setCurrentIndex(i);
}

QRgb CouleurChoisie(const QComboBox* liste) {
    return liste->currentData().toUInt();
}

namespace {

TEchelleBmpDlg::ReponseScriptee g_reponse;

const char* const kNote[] = {
    "*** Vous pouvez travailler avec :",
    "-> un seul axe : dans ce cas on donne le nom, une longueur d'échelle",
    "et le vecteur tracé sur l'image sera utilisé pour déterminer l'échelle",
    "(longueur du vecteur) et la position de l'axe (croix en diagonale)",
    "-> deux axes comme ci-dessus mais avec deux variables",
    "-> deux axes orthonormés parallèles aux côtés de l'image, on manipule ",
    "le vecteur vertical.",
    "*** La grandeur de référence sert à indexer l'ordre d'acquisition des points.",
    "La valeur à donner est l'incrément. Dans le cas d'une chronophotographie",
    "avec comme grandeur de référence le temps, il faut donner comme valeur",
    "l'intervalle de temps entre deux flash.",
    "*** On peut enfin choisir de prendre plusieurs série de points (deux courbes",
    "par exemple) qui seront faites successivement : le choix sera fait à l'aide",
    "du composant qui se trouve dans la barre de boutons à droite.",
};

QLineEdit* Champ(const QString& texte, int max = 0) {
    auto* e = new QLineEdit(texte);
    if (max > 0) e->setMaxLength(max);
    return e;
}

// A length as the dialog shows it: the general format with 5 significant digits.
QString TexteLongueur(double x) {
    return FormatGeneral(x, 5, 1);
}

double LireOuUn(const QLineEdit* e) {
    try {
        return LireReel(e->text());
    } catch (const ErreurConversion&) {
        return 1.0;
    }
}

} // namespace

TEchelleBmpDlg::ReponseScriptee TEchelleBmpDlg::DefinirReponseScriptee(ReponseScriptee reponse) {
    std::swap(g_reponse, reponse);
    return reponse;
}

TEchelleBmpDlg::TEchelleBmpDlg(ImageCalibration& calibration, QRgb& couleurAxes, QWidget* parent)
    : TTradForm(parent, Qt::Dialog), calib_(calibration), couleurAxes_(couleurAxes) {
    setObjectName(QStringLiteral("EchelleBmpDlg"));
    setWindowTitle(QStringLiteral("Détermination de l'échelle"));
    auto* centre = new QWidget;
    auto* vbox = new QVBoxLayout(centre);

    auto* donnees = new QGroupBox(QStringLiteral("Données"));
    auto* g = new QGridLayout(donnees);
    g->addWidget(new QLabel(QStringLiteral("Symbole")), 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Echelle")), 0, 2);
    g->addWidget(new QLabel(QStringLiteral("Unité")), 0, 3);
    LabelX = new QLabel(QStringLiteral("Axe horizontal"));
    NomX = Champ(QStringLiteral("X"), 8);
    EditX = Champ(QStringLiteral("1"));
    UniteX = Champ(QStringLiteral("m"));
    LabelY = new QLabel(QStringLiteral("Axe vertical"));
    NomY = Champ(QStringLiteral("Y"), 8);
    EditY = Champ(QStringLiteral("1"));
    UniteY = Champ(QStringLiteral("m"));
    ReferenceCB = new QCheckBox(QStringLiteral("Référence"));
    nomT = Champ(QStringLiteral("t"), 8);
    EditT = Champ(QStringLiteral("1"));
    UniteT = Champ(QStringLiteral("s"));
    DefinirAide(ReferenceCB, QStringLiteral("Temps ou numéro|Grandeur permettant de conserver "
                                            "l'ordre d'acquisition des points"));
    DefinirAide(EditX, QStringLiteral("Longueur vecteur|Longueur du vecteur horizontal tracé sur "
                                      "l'image ultérieurement"));
    DefinirAide(EditY, QStringLiteral("Longueur vecteur|Longueur du vecteur vertical tracé sur "
                                      "l'image ultérieurement"));
    DefinirAide(EditT, QStringLiteral("Incrément|Intervalle entre deux points"));
    QWidget* lignes[3][4] = {{LabelX, NomX, EditX, UniteX},
                             {LabelY, NomY, EditY, UniteY},
                             {ReferenceCB, nomT, EditT, UniteT}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            g->addWidget(lignes[r][c], r + 1, c);
    vbox->addWidget(donnees);

    auto* axes = new QGroupBox(QStringLiteral("Axes"));
    auto* va = new QVBoxLayout(axes);
    AxesRG = new QButtonGroup(this);
    const char* items[3] = {"Un seul axe quelconque", "Deux axes quelconques",
                            "Axes orthonormés et parallèles aux côtés de l'image"};
    for (int i = 0; i < 3; ++i) {
        AxesItems[i] = new QRadioButton(QString::fromUtf8(items[i]));
        AxesRG->addButton(AxesItems[i], i);
        va->addWidget(AxesItems[i]);
    }
    vbox->addWidget(axes);

    auto* options = new QHBoxLayout;
    NbreSE = new QSpinBox;
    NbreSE->setRange(1, kNombreSeriesMax);
    NbreSE->setValue(1);
    DefinirAide(NbreSE,
                QStringLiteral("|Deux série de points peuvent correspondre à deux courbes"));
    NbreLabel = new QLabel(QStringLiteral("séries de points"));
    CouleurAxeCB = new QComboBox;
    RemplirCouleursImage(CouleurAxeCB);
    options->addWidget(NbreSE);
    options->addWidget(NbreLabel);
    options->addStretch();
    options->addWidget(new QLabel(QStringLiteral("Couleur des axes")));
    options->addWidget(CouleurAxeCB);
    vbox->addLayout(options);

    Memo1 = new QPlainTextEdit;
    Memo1->setReadOnly(true);
    for (const char* l : kNote)
        Memo1->appendPlainText(QString::fromUtf8(l));
    vbox->addWidget(Memo1);

    auto* boutons = new QHBoxLayout;
    OKBtn = new QPushButton(QStringLiteral("OK"));
    OKBtn->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Annuler"));
    boutons->addStretch();
    boutons->addWidget(OKBtn);
    boutons->addWidget(BitBtn2);
    vbox->addLayout(boutons);
    setCentralWidget(centre);

    StatusBar = new PanneauxEtat({0}, this);
    setStatusBar(StatusBar);
    RoutageAide::Instance().EnregistrerForme(
        this, [this](const QString& t) { StatusBar->setTexte(0, t); });
    RoutageAide::Instance().EnregistrerActivation(this, [this] { FormActivate(); });

    connect(AxesRG, &QButtonGroup::idClicked, this, [this](int) { AxesRGClick(); });
    connect(ReferenceCB, &QCheckBox::toggled, this, [this](bool) { ReferenceCBClick(); });
    connect(OKBtn, &QPushButton::clicked, this, &TEchelleBmpDlg::OKBtnClick);
    connect(BitBtn2, &QPushButton::clicked, this, &TEchelleBmpDlg::BitBtn2Click);
    FormActivate();
    FormCreate();
}

void TEchelleBmpDlg::FormActivate() {
    ReferenceCB->setChecked(calib_.HasReference);
    ReferenceCBClick();
    EditX->setText(TexteLongueur(calib_.RefLengthX));
    EditY->setText(TexteLongueur(calib_.RefLengthY));
    EditT->setText(TexteLongueur(calib_.TimeStep));
    AxesItems[std::clamp(calib_.AxesMode, 0, 2)]->setChecked(true);
    AxesRGClick();
    SelectionnerCouleur(CouleurAxeCB, couleurAxes_);
}

int TEchelleBmpDlg::ModeChoisi() const {
    return std::max(0, AxesRG->checkedId());
}
int TEchelleBmpDlg::NombreSeries() const {
    return NbreSE->value();
}

void TEchelleBmpDlg::AxesRGClick() {
    const int mode = ModeChoisi();
    LabelY->setText(mode == OneAxis ? QStringLiteral("Axe unique")
                                    : QStringLiteral("Axe vertical"));
    LabelX->setVisible(mode != OneAxis);
    NomX->setVisible(mode != OneAxis);
    EditX->setVisible(mode == TwoAxes);
    UniteX->setVisible(mode == TwoAxes);
}

void TEchelleBmpDlg::ReferenceCBClick() {
    const bool r = ReferenceCB->isChecked();
    nomT->setVisible(r);
    EditT->setVisible(r);
    UniteT->setVisible(r);
}

NomsVariables TEchelleBmpDlg::Noms() const {
    return {NomX->text(),   NomY->text(),   nomT->text(),
            UniteX->text(), UniteY->text(), UniteT->text()};
}

void TEchelleBmpDlg::OKBtnClick() {
    // A length of 0 would leave the scale undefined: keep the previous one.
    bool refuse = false;
    const double lx = LireOuUn(EditX), ly = LireOuUn(EditY);
    if (lx == 0 && ModeChoisi() == TwoAxes)
        refuse = true;
    else if (lx != 0)
        calib_.RefLengthX = lx;
    if (ly == 0)
        refuse = true;
    else
        calib_.RefLengthY = ly;
    calib_.TimeStep = LireOuUn(EditT);
    calib_.AxesMode = ModeChoisi();
    calib_.HasReference = ReferenceCB->isChecked();
    if (!calib_.HasReference) calib_.TimeStep = 1.0;
    if (calib_.AxesMode == Orthonormal) {
        UniteX->setText(UniteY->text());
        EditX->setText(EditY->text());
    }
    if (calib_.AxesMode != TwoAxes) calib_.RefLengthX = calib_.RefLengthY;
    couleurAxes_ = CouleurChoisie(CouleurAxeCB);
    if (refuse)
        Dialogues().message(QStringLiteral("Une longueur de référence nulle n'est pas possible : "
                                           "la longueur précédente est conservée"));
    terminer(true);
}

void TEchelleBmpDlg::BitBtn2Click() {
    terminer(false);
}

void TEchelleBmpDlg::terminer(bool ok) {
    resultat_ = ok;
    if (boucle_) {
        boucle_->quit();
        hide();
    }
}

void TEchelleBmpDlg::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OKBtnClick();
        break;
    case Qt::Key_Escape:
        BitBtn2Click();
        break;
    default:
        TTradForm::keyPressEvent(e);
        return;
    }
    e->accept();
}

void TEchelleBmpDlg::closeEvent(QCloseEvent* e) {
    if (boucle_) {
        resultat_ = false;
        boucle_->quit();
    }
    e->accept();
}

bool TEchelleBmpDlg::Montrer() {
    FormActivate();
    resultat_ = false;
    if (g_reponse) {
        // The scripted answer clicks OK or Cancel itself, or returns the choice.
        const bool ok = g_reponse(*this);
        if (ok)
            OKBtnClick();
        else
            BitBtn2Click();
        return resultat_;
    }
    QEventLoop boucle;
    boucle_ = &boucle;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    boucle.exec();
    boucle_ = nullptr;
    hide();
    return resultat_;
}

} // namespace kinepo
