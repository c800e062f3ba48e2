#include "video/ui/FormeVideo.h"

#include "common/IniFile.h"
#include "common/Nombres.h"
#include "platform/Chemins.h"
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "shell/base/Curseurs.h"
#include "shell/base/PanneauImage.h"
#include "shell/base/PanneauxEtat.h"
#include "shell/base/RoutageAide.h"
#include "video/ui/AideCodecDlg.h"
#include "video/ui/DessinOverlay.h"
#include "video/ui/GrilleResultats.h"
#include "video/ui/IconesAvi.h"
#include "video/ui/MesuresVideo.h"
#include "video/ui/PiloteSuivi.h"
#include "video/ui/Vignettes.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>

namespace kinepo {

int TFormeVideo::CibleApplication() {
    return NumeroCibleApplication();
}

TFormeVideo::TFormeVideo(QWidget* parent, std::initializer_list<int> largeursEtat)
    : TTradForm(parent) {
    // Tool buttons.
    OpenBtn = BoutonOutil(this, QStringLiteral("Ouvrir"), QString());
    MesureBtn =
        BoutonOutil(this, QStringLiteral("&Mesures"), QStringLiteral("|Début des mesures"), true);
    MesureAutoCB = new QCheckBox(QStringLiteral("Mesures automatiques"), this);
    ChronoPhotoBtn =
        BoutonOutil(this, QStringLiteral("&Chrono"), QStringLiteral("|Chronophotographie"), true);
    OrigineMenu = new QMenu(this);
    menuExclusif<bool>(
        OrigineMenu,
        {{&OrigineItem, "Origine unique", false}, {&OrigineMobileItem, "Origine mobile", true}},
        [this](bool mobile) { OrigineItemClick(mobile); });
    OrigineItem->setChecked(true);
    OrigineBtn = BoutonOutil(this, QStringLiteral("&Origine"),
                             QStringLiteral("|Indique l'origine à l'aide de la souris"));
    OrigineBtn->setMenu(OrigineMenu);
    OrigineBtn->setIcon(IconeOrigine(false));
    OrigineBtn->setPopupMode(QToolButton::MenuButtonPopup);
    EchelleMenu = new QMenu(this);
    menuExclusif<OrientationAxes>(
        EchelleMenu,
        {{&Axeverslehautdroite, "Axe vers le haut et la droite", OrientationAxes::HautDroite},
         {&Axeverslebasdroite, "Axe vers le bas et la droite", OrientationAxes::BasDroite},
         {&Axeverslehautgauche, "Axe vers le haut et la gauche", OrientationAxes::HautGauche},
         {&Axeverslebasgauche, "Axe vers le bas et la gauche", OrientationAxes::BasGauche}},
        [this](OrientationAxes o) { OrientationClick(o); });
    Axeverslehautdroite->setChecked(true);
    EchelleBtn = BoutonOutil(this, QStringLiteral("&Echelle"),
                             QStringLiteral("|Cliquer sur le début puis la fin de l'échelle"));
    EchelleBtn->setMenu(EchelleMenu);
    EchelleBtn->setPopupMode(QToolButton::MenuButtonPopup);
    OrigineTempsBtn = BoutonOutil(
        this, QStringLiteral("Origine"),
        QStringLiteral(
            "Origine des temps|Cliquer sur le point enregistré qui sera l'origine des temps"),
        true);
    UndoBtn =
        BoutonOutil(this, QStringLiteral("Défaire"), QStringLiteral("|Annuler le dernier point"));
    TabulaneBtn = BoutonOutil(this, QStringLiteral("&Tabulane"),
                              QStringLiteral("|Envoi des données vers Tabulane"));
    HelpBtn = BoutonOutil(this, QStringLiteral("&Aide"),
                          QStringLiteral("|en cas de problème de lecture des fichiers AVI"));
    TraceEchCB = new QCheckBox(QStringLiteral("Axes"), this);
    DefinirAide(TraceEchCB, QStringLiteral("|Tracé des axes et de l'échelle"));
    CouleurAxeCB = new QComboBox(this);
    RemplirCouleurs(CouleurAxeCB);
    DefinirAide(CouleurAxeCB, QStringLiteral("|Couleur des axes et de l'échelle"));
    TracePointsCB = new QCheckBox(QStringLiteral("Points"), this);
    DefinirAide(TracePointsCB, QStringLiteral("|Tracé des points"));
    CouleurPointsCB = new QComboBox(this);
    RemplirCouleurs(CouleurPointsCB);
    DefinirAide(CouleurPointsCB, QStringLiteral("|Couleur du prochain point à acquérir"));
    PaintBox = new VignetteDifference(this);
    DefinirAide(
        PaintBox,
        QStringLiteral(
            " |Comparaison de la première image et de l'image courante (clic=fond noir ou blanc)"));

    // Calibration fields.
    LabelEchelle = new QLabel(QStringLiteral("  Echelle(m)  "), this);
    EchelleEdit = new QLineEdit(QStringLiteral("1"), this);
    EchelleEdit->setMaximumWidth(80);
    DefinirAide(EchelleEdit, QStringLiteral("Echelle|Longueur en mètre de l'échelle"));
    IncertitudeSE = new QSpinBox(this);
    IncertitudeSE->setRange(1, 8);
    DefinirAide(IncertitudeSE,
                QStringLiteral("Incertitude|Incertitude en pixels (0 si pas d'incertitude)"));
    LabelIncert = new QLabel(QStringLiteral(" pixels"), this);
    LabelZoom = new QLabel(QStringLiteral("   Zoom x  "), this);
    ZoomSE = new QSpinBox(this);
    ZoomSE->setRange(1, 5);
    LabelNbreSE = new QLabel(QStringLiteral("  points/image   "), this);
    NbreSE = new QSpinBox(this);
    NbreSE->setRange(1, 5);
    DefinirAide(NbreSE, QStringLiteral("|nombre de points à enregistrer par image"));
    // Zoom, points per image and uncertainty are chosen with the arrows only.
    for (QSpinBox* s : {IncertitudeSE, ZoomSE, NbreSE})
        if (auto* ligne = s->findChild<QLineEdit*>()) ligne->setReadOnly(true);

    // Picture, grid, status bar.
    ZoneImage = new QScrollArea(this);
    Image = new PanneauImage;
    ZoneImage->setWidget(Image);
    ZoneImage->setWidgetResizable(false);
    Grid = new QTableWidget(this);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->verticalHeader()->setVisible(false);
    Grid->horizontalHeader()->setDefaultSectionSize(50);
    Status = new PanneauxEtat(largeursEtat, this);
    setStatusBar(Status);

    // Target cursor menu (right button on the picture).
    PopupMenu = new QMenu(this);
    menuExclusif<int>(PopupMenu,
                      {{&CurseurCroix, "Curseur croix", 0},
                       {&CurseurNoir, "Curseur cible noire", 6},
                       {&CurseurBlanc, "Curseur cible blanche", 7},
                       {&CurseurCible, "Curseur cible", 8}},
                      [this](int tag) { CurseurClick(tag); });

    // What every video form does the same way, or in its own way behind the same button.
    connect(OpenBtn, &QToolButton::clicked, this, [this] { OpenFileBtnClick(); });
    connect(MesureBtn, &QToolButton::clicked, this, [this] { MesureBtnClick(); });
    connect(ChronoPhotoBtn, &QToolButton::clicked, this, [this] { ChronoPhotoBtnClick(); });
    connect(UndoBtn, &QToolButton::clicked, this, [this] { UndoBtnClick(); });
    connect(TabulaneBtn, &QToolButton::clicked, this, [this] { TabulaneBtnClick(); });
    connect(ZoomSE, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int z) { ZoomSEChange(z); });
    connect(OrigineBtn, &QToolButton::clicked, this, &TFormeVideo::OrigineBtnClick);
    connect(EchelleBtn, &QToolButton::clicked, this, &TFormeVideo::EchelleBtnClick);
    connect(OrigineTempsBtn, &QToolButton::clicked, this, &TFormeVideo::OrigineTempsBtnClick);
    connect(HelpBtn, &QToolButton::clicked, this, &TFormeVideo::HelpBtnClick);
    connect(TraceEchCB, &QCheckBox::clicked, this, [this] { RedessinerTout(); });
    connect(TracePointsCB, &QCheckBox::clicked, this, [this] { RedessinerTout(); });
    connect(CouleurAxeCB, qOverload<int>(&QComboBox::activated), this,
            [this] { RedessinerTout(); });
    connect(CouleurPointsCB, qOverload<int>(&QComboBox::activated), this,
            &TFormeVideo::CouleurPointsCBChange);
    PaintBox->SurClic = [this] { PaintBoxClick(); };
    connect(NbreSE, qOverload<int>(&QSpinBox::valueChanged), this, [this](int v) {
        machine_.NbreSE = v;
        ColonnesGrille();
    });
    connect(IncertitudeSE, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int v) { calib_.Incertitude = v; });
    connect(EchelleEdit, &QLineEdit::editingFinished, this, &TFormeVideo::EchelleEditValider);
    connect(Grid, &QTableWidget::cellClicked, this, [this](int r, int) { GridSelectCell(r); });
    Image->SurPression = [this](QMouseEvent* e) {
        ImageMouseDown(e->button(), e->position().toPoint());
    };
    Image->SurDeplacement = [this](QMouseEvent* e) { ImageMouseMove(e->position().toPoint()); };
    Image->SurRelachement = [this](QMouseEvent* e) {
        ImageMouseUp(e->button(), e->position().toPoint());
    };
    champsNumeriques_.push_back(EchelleEdit);
    RoutageAide::Instance().EnregistrerForme(
        this, [this](const QString& texte) { Status->setTexte(2, texte); });
    ColonnesGrille();
}

TFormeVideo::~TFormeVideo() = default;

void TFormeVideo::achever() {
    InstallerSuiviAutomatique(*this);
    LireReglages();
    Inviter(QString::fromUtf8(kInviteRepos));
    BoutonsEtat();
    FormCreate();
}

void TFormeVideo::placerBarres(std::initializer_list<QWidget*> boutons,
                               std::initializer_list<QWidget*> champs) {
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    for (QWidget* w : boutons)
        ToolBar1->addWidget(w);
    addToolBarBreak();
    ToolBar2 = addToolBar(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    for (QWidget* w : champs)
        ToolBar2->addWidget(w);
    ToolBar2->addSeparator();
    for (QWidget* w : std::initializer_list<QWidget*>{TraceEchCB, CouleurAxeCB, TracePointsCB,
                                                      CouleurPointsCB, PaintBox})
        ToolBar2->addWidget(w);
    // The bar keeps the thumbnail's height when the thumbnail is hidden, so that the picture
    // does not move under the pointer when a measurement starts or ends.
    ToolBar2->setMinimumHeight(ToolBar2->sizeHint().height());
}

// ---- Settings ------------------------------------------------------------------------------

ReglagesAvi TFormeVideo::Reglages() const {
    ReglagesAvi r;
    r.FilterIndex = filterIndex_;
    r.TraceEchelle = TraceEchCB->isChecked();
    r.TracePoints = TracePointsCB->isChecked();
    r.CouleurEchelle = CouleurAxeCB->currentData().toInt();
    for (int k = 0; k <= 5; ++k)
        r.Couleurs[static_cast<std::size_t>(k)] =
            EntierDepuisCouleur(tables_.Couleurs[static_cast<std::size_t>(k)]);
    r.Cible = CibleApplication();
    r.Orientation = calib_.Orientation;
    r.PixelIncert = IncertitudeSE->value();
    return r;
}

void TFormeVideo::AppliquerReglages(const ReglagesAvi& r) {
    filterIndex_ = r.FilterIndex;
    TraceEchCB->setChecked(r.TraceEchelle);
    TracePointsCB->setChecked(r.TracePoints);
    ChoisirCouleur(CouleurAxeCB, r.CouleurEchelle);
    for (int k = 0; k <= 5; ++k)
        tables_.Couleurs[static_cast<std::size_t>(k)] =
            CouleurDepuisEntier(r.Couleurs[static_cast<std::size_t>(k)]);
    ChoisirCouleur(CouleurPointsCB, r.Couleurs[1]);
    int& cible = NumeroCibleApplication();
    switch (r.Cible) {
    case 6:
        CurseurNoir->setChecked(true);
        cible = 6;
        break;
    case 7:
        CurseurBlanc->setChecked(true);
        cible = 7;
        break;
    case 8:
        CurseurCible->setChecked(true);
        cible = 8;
        break;
    default:
        CurseurCroix->setChecked(true);
        cible = crCroix;
        break;
    }
    calib_.Orientation = r.Orientation;
    orientationMenu();
    {
        const QSignalBlocker b(IncertitudeSE);
        IncertitudeSE->setValue(r.PixelIncert);
    }
    calib_.Incertitude = IncertitudeSE->value();
}

void TFormeVideo::LireReglages() {
    AppliquerReglages(ReglagesAvi::Lire(IniFile(NomFichierIni())));
}

void TFormeVideo::EcrireReglages() const {
    try {
        IniFile ini(NomFichierIni());
        if (sectionSave_)
            Reglages().Ecrire(ini);
        else
            Reglages().EcrireSectionAvi(ini);
        ini.enregistrer(); // a settings file that cannot be written is lost silently
    } catch (...) {
    }
}

// ---- Calibration ----------------------------------------------------------------------------

void TFormeVideo::MiseAJourEchelle() {
    if (!FilmOuvert()) return;
    calib_.MettreAJourFacteurs();
    if (!machine_.OrigineMobile) tables_.OrigineUnique(calib_.Origin);
}

void TFormeVideo::EchelleEditValider() {
    if (!LireLongueurEchelle(EchelleEdit, calib_)) return;
    MiseAJourEchelle();
    Rafraichir();
}

void TFormeVideo::OrientationClick(OrientationAxes o) {
    calib_.Orientation = o;
    orientationMenu();
    MiseAJourEchelle();
    Rafraichir();
}

void TFormeVideo::orientationMenu() {
    EchelleBtn->setIcon(IconeEchelle(calib_.Orientation));
    switch (calib_.Orientation) {
    case OrientationAxes::HautDroite:
        Axeverslehautdroite->setChecked(true);
        break;
    case OrientationAxes::BasDroite:
        Axeverslebasdroite->setChecked(true);
        break;
    case OrientationAxes::HautGauche:
        Axeverslehautgauche->setChecked(true);
        break;
    case OrientationAxes::BasGauche:
        Axeverslebasgauche->setChecked(true);
        break;
    }
}

void TFormeVideo::OrigineBtnClick() {
    if (machine_.OrigineMobile) return;
    machine_.Etat = PointingState::psOrigin;
    Inviter(QStringLiteral("Cliquer sur l'origine des axes"));
    SetCurseurImage(kCurseurOrigine);
    RendreFocus();
}

void TFormeVideo::EchelleBtnClick() {
    machine_.Etat = PointingState::psScaleStart;
    Inviter(QStringLiteral("Début de l'échelle|Cliquer sur le début de l'échelle"));
    calib_.ScaleStart = QPoint(0, 0);
    glisse_ = false;
    SetCurseurImage(kCurseurCible);
    RendreFocus();
}

void TFormeVideo::OrigineItemClick(bool mobile) {
    const bool tabulaneActif = TabulaneBtn->isEnabled();
    if (machine_.ChangerModeOrigine(mobile, tabulaneActif)) {
        const QSignalBlocker b(NbreSE);
        NbreSE->setValue(machine_.NbreSE);
        ColonnesGrille();
    }
    (mobile ? OrigineMobileItem : OrigineItem)->setChecked(true);
    OrigineBtn->setIcon(IconeOrigine(mobile));
    DefinirAide(OrigineBtn, mobile
                                ? QStringLiteral("|Il faudra indiquer l'origine avant chaque point")
                                : QStringLiteral("|Indique l'origine à l'aide de la souris"));
    BoutonsEtat();
    Rafraichir();
}

// ---- Time origin -----------------------------------------------------------------------------

void TFormeVideo::OrigineTempsBtnClick() {
    if (!OrigineTempsBtn->isCheckable()) {
        // Plain button: the frame on screen is the time origin.
        if (!FilmOuvert()) return;
        calib_.TimeOrigin = TempsImageCourante();
        ReecrireColonneTemps();
        return;
    }
    if (OrigineTempsBtn->isChecked()) {
        Status->setTexte(2, QStringLiteral("cliquer sur le point origine des temps"));
        SetCurseurImage(crOrigineTemps);
    } else {
        origineTempsRelachee();
    }
}

void TFormeVideo::origineTempsRelachee() {
    if (machine_.Etat == PointingState::psMeasure) {
        Status->setTexte(2, QStringLiteral("cliquer sur le point à enregistrer"));
        SetCurseurImage(kCurseurCible);
    } else {
        Status->setTexte(2, QString());
        SetCurseurImage(crDefaut);
    }
}

void TFormeVideo::GridSelectCell(int ligne) {
    if (!OrigineTempsBtn->isCheckable() || !OrigineTempsBtn->isChecked()) return;
    if (ligne >= 0 && ligne < tables_.Rows) {
        calib_.TimeOrigin = tables_.Temps(ligne);
        ReecrireColonneTemps();
    }
    OrigineTempsBtn->setChecked(false);
    origineTempsRelachee();
}

// ---- Pointing ----------------------------------------------------------------------------

void TFormeVideo::Inviter(const QString& aide) {
    hint_ = aide;
    DefinirAide(Image, aide);
    Status->setTexte(2, PartieLongue(aide));
}

void TFormeVideo::SetCurseurImage(int numero) {
    const QCursor c = CurseurNumero(numero == kCurseurCible ? NumeroCibleApplication() : numero);
    Image->setCursor(c);
    if (panneauCurseur_) panneauCurseur_->setCursor(c);
}

void TFormeVideo::CurseurClick(int tag) {
    NumeroCibleApplication() = tag == 0 ? crCroix : tag;
    QAction* item = tag == 6   ? CurseurNoir
                    : tag == 7 ? CurseurBlanc
                    : tag == 8 ? CurseurCible
                               : CurseurCroix;
    item->setChecked(true);
    Rafraichir();
}

void TFormeVideo::CouleurPointsCBChange() {
    const int k = std::clamp(tables_.NextPoint, 0, kMaxPointsParImage);
    tables_.Couleurs[static_cast<std::size_t>(k)] =
        CouleurDepuisEntier(CouleurPointsCB->currentData().toInt());
    RedessinerTout();
}

void TFormeVideo::demarrerPointage() {
    const EffetPointage e = machine_.Demarrer();
    Inviter(e.invite);
    SetCurseurImage(e.curseur);
}

void TFormeVideo::defairePoint() {
    const EffetPointage e = machine_.Defaire();
    Inviter(e.invite);
    SetCurseurImage(e.curseur);
}

void TFormeVideo::arreterPointage() {
    const EffetPointage e = machine_.Arreter();
    Inviter(e.invite);
    SetCurseurImage(crDefaut);
}

void TFormeVideo::stockerCase(QPoint posImage) {
    const auto etat = static_cast<std::size_t>(machine_.Etat);
    if (etat < tables_.Cases.size()) tables_.Cases[etat] = posImage;
    switch (machine_.Etat) {
    case PointingState::psOrigin:
        calib_.Origin = posImage;
        break;
    case PointingState::psScaleStart:
        calib_.ScaleStart = posImage;
        break;
    case PointingState::psScaleEnd:
        calib_.ScaleEnd = posImage;
        break;
    default:
        break;
    }
}

bool TFormeVideo::HorsImage(QPoint) const {
    return false;
}

void TFormeVideo::AfficherPointeur(QPoint posEcran) {
    if (machine_.OrigineMobile) {
        Status->setTexte(0, QStringLiteral(" "));
        Status->setTexte(1, QStringLiteral(" "));
    } else {
        Status->setTexte(0, QStringLiteral("x=%1").arg(posEcran.x()));
        Status->setTexte(1, QStringLiteral("y=%1").arg(posEcran.y()));
    }
}

void TFormeVideo::ImageMouseDown(Qt::MouseButton bouton, QPoint posEcran) {
    if (bouton == Qt::RightButton) {
        Inviter(QString::fromUtf8(kInviteRepos));
        PopupMenu->popup(Image->mapToGlobal(posEcran));
        return;
    }
    if (bouton != Qt::LeftButton) return;
    const QPoint posImage = calib_.EcranVersImage(posEcran);
    if (OrigineTempsBtn->isCheckable() && OrigineTempsBtn->isChecked()) {
        if (const auto ligne = tables_.LignePlusProche(posImage)) {
            calib_.TimeOrigin = tables_.Temps(*ligne);
            ReecrireColonneTemps();
        }
        return;
    }
    if (HorsImage(posImage)) return;
    stockerCase(posImage);
    pressionEcran_ = posEcran;
    if (machine_.Etat == PointingState::psScaleStart) glisse_ = false;
}

void TFormeVideo::ImageMouseMove(QPoint posEcran) {
    if (ChronoPhotoBtn->isChecked()) return;
    AfficherPointeur(posEcran);
    if (OrigineTempsBtn->isCheckable() && OrigineTempsBtn->isChecked()) return;
    const QPoint debutEcran = calib_.ImageVersEcran(calib_.ScaleStart);
    if (machine_.Etat == PointingState::psScaleStart) {
        if (calib_.ScaleStart.x() > 0 && calib_.ScaleStart.y() > 0 &&
            (posEcran - debutEcran).manhattanLength() > 4) {
            machine_.Etat = PointingState::psScaleEnd;
            glisse_ = true;
            Inviter(QStringLiteral("Glisser jusqu'à la fin de l'échelle"));
            Image->SetElastique(QLine(debutEcran, posEcran), couleurAxe());
        }
    } else if (machine_.Etat == PointingState::psScaleEnd) {
        Image->SetElastique(QLine(debutEcran, posEcran), couleurAxe());
    } else if (machine_.Etat == PointingState::psMeasure) {
        LirePatchVivant(posEcran);
        dessinerVignette();
    }
    dernierEcran_ = posEcran;
}

void TFormeVideo::ImageMouseUp(Qt::MouseButton bouton, QPoint posEcran) {
    if (bouton != Qt::LeftButton || !FilmOuvert()) return;
    if (OrigineTempsBtn->isCheckable() && OrigineTempsBtn->isChecked()) {
        OrigineTempsBtn->setChecked(false);
        origineTempsRelachee();
        return;
    }
    const QPoint posImage = calib_.EcranVersImage(posEcran);
    if (HorsImage(posImage)) return;
    stockerCase(posImage);
    switch (machine_.Etat) {
    case PointingState::psMeasure:
        EnregistrerPoint(posImage);
        break;
    case PointingState::psOrigin:
        machine_.Etat = PointingState::psIdle;
        MarquerClic(calib_.Origin);
        SetCurseurImage(crDefaut);
        Inviter(QString::fromUtf8(kInviteRepos));
        MiseAJourEchelle();
        Rafraichir();
        break;
    case PointingState::psScaleStart:
        machine_.Etat = PointingState::psScaleEnd;
        MarquerClic(calib_.ScaleStart);
        Inviter(QStringLiteral("Fin de l'échelle|Cliquer sur la fin de l'échelle"));
        break;
    case PointingState::psScaleEnd: {
        Image->SetElastique(QLine(), 0);
        glisse_ = false;
        if (!SegmentEchelleAcceptable(calib_.ScaleStart, calib_.ScaleEnd)) {
            // Too short a segment gives no usable scale; wait for another end.
            Dialogues().message(QStringLiteral("Points trop proches"));
            calib_.ScaleEnd = calib_.ScaleStart + QPoint(16, 16);
            break;
        }
        machine_.Etat = PointingState::psIdle;
        MarquerClic(calib_.ScaleEnd);
        Inviter(QString::fromUtf8(kInviteRepos));
        SetCurseurImage(crDefaut);
        const auto reponse = Dialogues().saisir(
            QStringLiteral("Echelle"), QStringLiteral("Longueur en mètre ?"), EchelleEdit->text());
        try {
            calib_.ScaleLength = LireReel(reponse.value_or(EchelleEdit->text()));
            const QSignalBlocker b(EchelleEdit);
            if (reponse) EchelleEdit->setText(*reponse);
        } catch (const ErreurConversion&) {
            try {
                calib_.ScaleLength = LireReel(EchelleEdit->text());
            } catch (const ErreurConversion&) {
            }
        }
        MiseAJourEchelle();
        QCoreApplication::processEvents();
        Rafraichir();
        break;
    }
    case PointingState::psTarget:
        if (Suivi.CibleChoisie) Suivi.CibleChoisie(*this, posEcran);
        break;
    default:
        break;
    }
}

void TFormeVideo::EnregistrerPoint(QPoint posImage) {
    if (!FilmOuvert() || machine_.Etat != PointingState::psMeasure) return;
    const int i = tables_.Rows;
    const int k = tables_.NextPoint;
    const EffetPointage e = machine_.Enregistrer(posImage, TempsPoint(), AvantDerniereImage(),
                                                 tables_.Patches(kPatchVivant));
    if (e.tablesPleines && !e.ligneComplete) {
        finMesure();
        Dialogues().message(QStringLiteral("Tableau plein : la mesure s'arrête"));
        return;
    }
    ApresPoint(e, i, k, posImage);
    if (!e.invite.isEmpty()) Inviter(e.invite);
    if (e.curseur != 0) SetCurseurImage(e.curseur);
    UndoBtn->setEnabled(true);
    // The time-origin button picks a recorded row once there is one.
    const bool bascule = tables_.Rows >= 1;
    OrigineTempsBtn->setCheckable(bascule);
    DefinirAide(OrigineTempsBtn,
                bascule
                    ? QStringLiteral("Cliquer sur le point enregistré qui sera l'origine des temps")
                    : QStringLiteral("L'image courante sera l'origine des temps"));
    if (!e.ligneComplete) return;
    TabulaneBtn->setEnabled(tables_.Rows > 3);
    if (e.avancer) {
        AvancerUneImage();
    } else {
        finMesure();
        if (e.tablesPleines)
            Dialogues().message(QStringLiteral("Tableau plein : la mesure s'arrête"));
    }
}

void TFormeVideo::showEvent(QShowEvent* e) {
    TTradForm::showEvent(e);
    if (!(windowState() & Qt::WindowMaximized)) setWindowState(windowState() | Qt::WindowMaximized);
}

void TFormeVideo::arreterTout() {
    if (MesureBtn->isChecked()) {
        MesureBtn->setChecked(false);
        MesureBtnClick();
    }
    if (ChronoPhotoBtn->isChecked()) {
        ChronoPhotoBtn->setChecked(false);
        ChronoPhotoBtnClick();
    }
    if (Suivi.Arret) Suivi.Arret(*this);
    machine_.Etat = PointingState::psIdle;
}

void TFormeVideo::finMesure() {
    machine_.Etat = PointingState::psIdle;
    Inviter(QString::fromUtf8(kInviteRepos));
    {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
    }
    BoutonsEtat();
    RedessinerTout();
}

// ---- Button states ---------------------------------------------------------------------------

void TFormeVideo::BoutonsEtat() {
    const bool film = FilmOuvert();
    const bool mesure = MesureBtn->isChecked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{EchelleBtn, ChronoPhotoBtn, OrigineBtn, NbreSE})
        w->setEnabled(film && !mesure);
    for (QWidget* w : std::initializer_list<QWidget*>{EchelleEdit, OrigineTempsBtn})
        w->setEnabled(film);
    MesureBtn->setEnabled(film && !ChronoPhotoBtn->isChecked());
    TabulaneBtn->setEnabled(tables_.Rows > 3);
    UndoBtn->setEnabled(film && mesure && tables_.Rows > 0);
    // The live patch comes from the decoded frame, so pixels can always be read back.
    vignette_ = film && machine_.Etat == PointingState::psMeasure;
    for (QAction* a : ToolBar2->actions())
        if (ToolBar2->widgetForAction(a) == PaintBox) a->setVisible(vignette_);
    // "Début des mesures" until the button has been pressed once.
    if (mesureBasculee_)
        DefinirAide(MesureBtn, mesure ? QStringLiteral("|Arrêt des mesures")
                                      : QStringLiteral("|Commencer les mesures"));
    DefinirAide(ChronoPhotoBtn, ChronoPhotoBtn->isChecked()
                                    ? QStringLiteral("|Arrêt de la Chronophotographie")
                                    : QStringLiteral("|Réaliser une chronophotographie"));
}

// ---- Keyboard -------------------------------------------------------------------------------

bool TFormeVideo::ToucheForme(int touche, Qt::KeyboardModifiers modificateurs) {
    const QPoint pos = QCursor::pos();
    switch (touche) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: {
        if (machine_.Etat != PointingState::psMeasure) return false;
        const QPoint posEcran = Image->mapFromGlobal(pos);
        if (!Image->rect().contains(posEcran)) return true;
        const QPoint posImage = calib_.EcranVersImage(posEcran);
        if (HorsImage(posImage)) return true;
        stockerCase(posImage);
        EnregistrerPoint(posImage);
        return true;
    }
    case Qt::Key_Delete:
        return true;
    default:
        break;
    }
    const auto d = DeplacementPointeur(touche, modificateurs);
    if (!d) return false;
    QCursor::setPos(pos + *d);
    return true;
}

bool TFormeVideo::eventFilter(QObject* objet, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return TTradForm::eventFilter(objet, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (std::find(champsNumeriques_.begin(), champsNumeriques_.end(), objet) !=
        champsNumeriques_.end()) {
        // Only what a length or a duration is made of reaches these fields.
        static const QString permis = QStringLiteral("0123456789.,ms%'");
        switch (k->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Tab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Delete:
            return false;
        default:
            break;
        }
        const QString t = k->text();
        return !(t.size() == 1 && permis.contains(t[0]));
    }
    int touche = k->key();
    if (k->modifiers() & Qt::KeypadModifier) {
        switch (touche) {
        case Qt::Key_4:
            touche = Qt::Key_Left;
            break;
        case Qt::Key_8:
            touche = Qt::Key_Up;
            break;
        case Qt::Key_6:
            touche = Qt::Key_Right;
            break;
        case Qt::Key_2:
            touche = Qt::Key_Down;
            break;
        default:
            break;
        }
    }
    const bool traitee = ToucheForme(touche, k->modifiers());
    if (objet == Grid) return true; // the grid is read-only: every key is swallowed
    return traitee;
}

// ---- Drawing --------------------------------------------------------------------------------

QRgb TFormeVideo::couleurAxe() const {
    return CouleurDepuisEntier(CouleurAxeCB->currentData().toInt());
}

QRgb TFormeVideo::couleurPoint(int k) const {
    return tables_.Couleurs[static_cast<std::size_t>(std::clamp(k, 0, kMaxPointsParImage))];
}

void TFormeVideo::petiteCroixOverlay(QPoint posImage, QRgb couleur) {
    QPainter p(&Image->Overlay());
    p.setPen(QPen(QColor(couleur), 1));
    PetiteCroix(p, calib_.ImageVersEcran(posImage));
    Image->update();
}

OptionsDessinMesures TFormeVideo::optionsDessin(int largeur, int hauteur) const {
    OptionsDessinMesures o;
    o.axes = TraceEchCB->isChecked();
    o.points = TracePointsCB->isChecked();
    o.origineMobile = machine_.OrigineMobile;
    o.nbrePoints = machine_.NbreSE;
    o.couleurAxe = couleurAxe();
    o.largeur = largeur;
    o.hauteur = hauteur;
    return o;
}

void TFormeVideo::reecrireGrille() {
    if (Grid->rowCount() + 1 < tables_.Rows + 2) Grid->setRowCount(tables_.Rows + 4);
    Grid->setUpdatesEnabled(false);
    for (int i = 0; i < tables_.Rows; ++i)
        EcrireLigneGrille(i, machine_.NbreSE);
    ViderLignesApres(Grid, tables_.Rows);
    Grid->setUpdatesEnabled(true);
}

void TFormeVideo::ColonnesGrille() {
    kinepo::ColonnesGrille(Grid, machine_.NbreSE);
}
void TFormeVideo::EcrireLigneGrille(int i, int jusquAuPoint) {
    kinepo::EcrireLigneGrille(Grid, calib_, tables_, i, jusquAuPoint);
}
void TFormeVideo::ReecrireColonneTemps() {
    kinepo::ReecrireColonneTemps(Grid, calib_, tables_);
}

void TFormeVideo::dessinerVignette() {
    if (!vignette_ || tables_.Rows < 1) return;
    const int k = std::clamp(tables_.NextPoint, 0, kMaxPointsParImage);
    const Patch& premier = tables_.Patches(k);
    const Patch& vivant = tables_.Patches(kPatchVivant);
    QImage& v = PaintBox->Pixels();
    for (int i = 0; i < kCotePatch; ++i) {
        for (int j = 0; j < kCotePatch; ++j) {
            const auto idx = static_cast<std::size_t>(i * kCotePatch + j);
            const int dR = std::abs(qRed(premier[idx]) - qRed(vivant[idx]));
            const int dG = std::abs(qGreen(premier[idx]) - qGreen(vivant[idx]));
            const int dB = std::abs(qBlue(premier[idx]) - qBlue(vivant[idx]));
            v.setPixel(40 - i, 40 - j,
                       PaintBox->FondBlanc ? qRgb(255 - dR, 255 - dG, 255 - dB) : qRgb(dR, dG, dB));
        }
    }
    PaintBox->update();
}

void TFormeVideo::PaintBoxClick() {
    PaintBox->FondBlanc = !PaintBox->FondBlanc;
    dessinerVignette();
}

// ---- Codec help -----------------------------------------------------------------------------

void TFormeVideo::HelpBtnClick() {
    AideCodecDlg().SetFilm(fileName_.isEmpty() ? filmEssaye_ : fileName_);
    AideCodecDlg().exec();
}

} // namespace kinepo
