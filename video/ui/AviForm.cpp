#include "video/ui/AviForm.h"

#include "common/Arrondi.h"
#include "common/IniFile.h"
#include "common/Nombres.h"
#include "platform/Chemins.h"
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "platform/video/LecteurMci.h"
#include "platform/video/MoteurVideo.h"
#include "shell/base/Curseurs.h"
#include "shell/base/PanneauImage.h"
#include "shell/base/PanneauxEtat.h"
#include "shell/base/RoutageAide.h"
#include "video/logic/ExportVideo.h"
#include "video/logic/FichierFilm.h"
#include "video/ui/AideCodecDlg.h"
#include "video/ui/DessinOverlay.h"
#include "video/ui/GrilleResultats.h"
#include "video/ui/IconesAvi.h"
#include "shell/base/PanneauImage.h"
#include "video/ui/MesuresVideo.h"
#include "video/ui/Vignettes.h"

#include "transfer/ui/Transfert.h"
#include "video/ui/SuiviAvi.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace kinepo {

namespace {

int& CibleGlobale() {
    return NumeroCibleApplication();
}

const QString kFiltreOuverture =
    QStringLiteral("video  AVI (*.avi);;video MPEG (*.mpg *.mpeg);;video DivX (*.divx);;video "
                   "MP4/MOV (*.mp4 *.mov)");
const QString kFiltreExport = QStringLiteral("Tableur (*.csv);;Tableur ASCII (*.txt)");

} // namespace

int TAviForm::CibleApplication() {
    return CibleGlobale();
}

TAviForm::TAviForm(QWidget* parent) : TTradForm(parent), lecteur_(new LecteurMci(this)) {
    setWindowTitle(QStringLiteral("Lecture de fichier AVI pour Tabulane"));
    construireControles();
    connect(lecteur_, &LecteurMci::Notification, this, &TAviForm::MediaPlayerNotify);
    connect(lecteur_, &LecteurMci::ImageChangee, Image, qOverload<>(&QWidget::update));
    RoutageAide::Instance().EnregistrerForme(
        this, [this](const QString& texte) { Status->setTexte(2, texte); });
    LireReglages();
    Inviter(QString::fromUtf8(kInviteRepos));
    BoutonsEtat();
    InstallerSuiviAutomatique(*this);
    FormCreate();
}

TAviForm::~TAviForm() {
    if (!reglagesEcrits_) EcrireReglages();
}

void TAviForm::construireControles() {
    // Main tool bar.
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    OpenBtn = BoutonOutil(this, QStringLiteral("Ouvrir"),
                          QStringLiteral("|Ouverture d'un fichier image"));
    MesureBtn =
        BoutonOutil(this, QStringLiteral("&Mesures"), QStringLiteral("|Début des mesures"), true);
    MesureAutoCB = new QCheckBox(QStringLiteral("Mesures automatiques"), this);
    ChronoPhotoBtn =
        BoutonOutil(this, QStringLiteral("&Chrono"), QStringLiteral("|Chronophotographie"), true);
    OrigineMenu = new QMenu(this);
    auto* groupeOrigine = new QActionGroup(this);
    OrigineItem = OrigineMenu->addAction(QStringLiteral("Origine unique"));
    OrigineMobileItem = OrigineMenu->addAction(QStringLiteral("Origine mobile"));
    for (QAction* a : {OrigineItem, OrigineMobileItem}) {
        a->setCheckable(true);
        groupeOrigine->addAction(a);
    }
    OrigineItem->setChecked(true);
    OrigineBtn = BoutonOutil(this, QStringLiteral("&Origine"),
                             QStringLiteral("|Indique l'origine à l'aide de la souris"));
    OrigineBtn->setMenu(OrigineMenu);
    OrigineBtn->setIcon(IconeOrigine(false));
    OrigineBtn->setPopupMode(QToolButton::MenuButtonPopup);
    EchelleMenu = new QMenu(this);
    auto* groupeAxes = new QActionGroup(this);
    Axeverslehautdroite = EchelleMenu->addAction(QStringLiteral("Axe vers le haut et la droite"));
    Axeverslebasdroite = EchelleMenu->addAction(QStringLiteral("Axe vers le bas et la droite"));
    Axeverslehautgauche = EchelleMenu->addAction(QStringLiteral("Axe vers le haut et la gauche"));
    Axeverslebasgauche = EchelleMenu->addAction(QStringLiteral("Axe vers le bas et la gauche"));
    const OrientationAxes orientations[] = {OrientationAxes::HautDroite, OrientationAxes::BasDroite,
                                            OrientationAxes::HautGauche,
                                            OrientationAxes::BasGauche};
    const QAction* axes[] = {Axeverslehautdroite, Axeverslebasdroite, Axeverslehautgauche,
                             Axeverslebasgauche};
    for (int i = 0; i < 4; ++i) {
        auto* a = const_cast<QAction*>(axes[i]);
        a->setCheckable(true);
        groupeAxes->addAction(a);
        const OrientationAxes o = orientations[i];
        connect(a, &QAction::triggered, this, [this, o] { OrientationClick(o); });
    }
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
    RazBtn =
        BoutonOutil(this, QStringLiteral("RàZ"), QStringLiteral("|Effacer toutes les mesures"));
    RefreshBtn =
        BoutonOutil(this, QStringLiteral("&Rafraichir"), QStringLiteral("|Rafraichir l'image"));
    SavePopupMenu = new QMenu(this);
    auto* groupeSave = new QActionGroup(this);
    TabulaneM = SavePopupMenu->addAction(QStringLiteral("vers Tabulane"));
    ClipM = SavePopupMenu->addAction(QStringLiteral("vers presse papiers"));
    FileM = SavePopupMenu->addAction(QStringLiteral("vers fichier"));
    const CibleSauvegarde cibles[] = {CibleSauvegarde::Tabulane, CibleSauvegarde::PressePapiers,
                                      CibleSauvegarde::Fichier};
    const QAction* items[] = {TabulaneM, ClipM, FileM};
    for (int i = 0; i < 3; ++i) {
        auto* a = const_cast<QAction*>(items[i]);
        a->setCheckable(true);
        groupeSave->addAction(a);
        const CibleSauvegarde c = cibles[i];
        a->setIcon(IconeSauvegarde(c));
        connect(a, &QAction::triggered, this, [this, c] { TabulaneMClick(c); });
    }
    TabulaneM->setChecked(true);
    TabulaneBtn = BoutonOutil(this, QStringLiteral("&Tabulane"),
                              QStringLiteral("|Envoi des données vers Tabulane"));
    TabulaneBtn->setMenu(SavePopupMenu);
    for (QToolButton* b : {EchelleBtn, OrigineBtn, TabulaneBtn})
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    TabulaneBtn->setPopupMode(QToolButton::MenuButtonPopup);
    VidcapBtn = BoutonOutil(this, QStringLiteral("&Vidcap"), QString());
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
    CodecLabel = new QLabel(this);
    DefinirAide(CodecLabel, QStringLiteral("Codec"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{OpenBtn, MesureBtn, MesureAutoCB, ChronoPhotoBtn,
                                         OrigineBtn, EchelleBtn, OrigineTempsBtn, UndoBtn, RazBtn,
                                         RefreshBtn, TabulaneBtn, VidcapBtn, HelpBtn, CodecLabel}) {
        QAction* a = ToolBar1->addWidget(w);
        // Capture programs are not looked for on this platform: the button stays hidden.
        if (w == VidcapBtn) a->setVisible(false);
    }

    // Calibration tool bar.
    addToolBarBreak();
    ToolBar2 = addToolBar(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    LabelEchelle = new QLabel(QStringLiteral("  Echelle(m)  "), this);
    EchelleEdit = new QLineEdit(QStringLiteral("1"), this);
    EchelleEdit->setMaximumWidth(80);
    DefinirAide(EchelleEdit, QStringLiteral("Echelle|Longueur en mètre de l'échelle"));
    NbreImagesSE = new QSpinBox(this);
    NbreImagesSE->setRange(1, kCadenceMaxAffichable);
    NbreImagesSE->setValue(25);
    DefinirAide(NbreImagesSE, QStringLiteral("|Nombre d'images par seconde"));
    Label2 = new QLabel(QStringLiteral("  images/s  "), this);
    Label4 = new QLabel(QStringLiteral(" –t= "), this);
    DureeEdit = new QLineEdit(this);
    DureeEdit->setMaximumWidth(80);
    IncertitudeSE = new QSpinBox(this);
    IncertitudeSE->setRange(1, 8);
    DefinirAide(IncertitudeSE,
                QStringLiteral("Incertitude|Incertitude en pixels (0 si pas d'incertitude)"));
    LabelIncert = new QLabel(QStringLiteral(" pixels"), this);
    auto* labelZoom = new QLabel(QStringLiteral("   Zoom x  "), this);
    ZoomSE = new QSpinBox(this);
    ZoomSE->setRange(1, 5);
    LabelNbreSE = new QLabel(QStringLiteral("  points/image   "), this);
    NbreSE = new QSpinBox(this);
    NbreSE->setRange(1, 5);
    DefinirAide(NbreSE, QStringLiteral("|nombre de points à enregistrer par image"));
    // Zoom, points per image and uncertainty are chosen with the arrows only.
    for (QSpinBox* s : {IncertitudeSE, ZoomSE, NbreSE})
        if (auto* ligne = s->findChild<QLineEdit*>()) ligne->setReadOnly(true);
    for (QWidget* w : std::initializer_list<QWidget*>{
             LabelEchelle, EchelleEdit, NbreImagesSE, Label2, Label4, DureeEdit, IncertitudeSE,
             LabelIncert, labelZoom, ZoomSE, LabelNbreSE, NbreSE})
        // The period field only replaces the rate box for a very slow film.
        ToolBar2->addWidget(w)->setVisible(w != DureeEdit && w != Label4);
    ToolBar2->addSeparator();
    for (QWidget* w : std::initializer_list<QWidget*>{TraceEchCB, CouleurAxeCB, TracePointsCB,
                                                      CouleurPointsCB, PaintBox})
        ToolBar2->addWidget(w);

    // Centre: picture and track bar, then the side page.
    auto* centre = new QWidget(this);
    auto* colonne = new QVBoxLayout(centre);
    colonne->setContentsMargins(0, 0, 0, 0);
    PanelMediaPlayer = new QWidget(centre);
    auto* lignePlayer = new QHBoxLayout(PanelMediaPlayer);
    lignePlayer->setContentsMargins(2, 2, 2, 2);
    DebutBtn = BoutonOutil(PanelMediaPlayer, QStringLiteral("|<"), QStringLiteral("Début"));
    PrecedentBtn =
        BoutonOutil(PanelMediaPlayer, QStringLiteral("<"), QStringLiteral("Recul d'une image"));
    PlayBtn = BoutonOutil(PanelMediaPlayer, QStringLiteral("Lecture"), QStringLiteral("Lecture"));
    PauseBtn = BoutonOutil(PanelMediaPlayer, QStringLiteral("Pause"), QStringLiteral("Pause"));
    StopBtn = BoutonOutil(PanelMediaPlayer, QStringLiteral("Stop"), QStringLiteral("Stop"));
    SuivantBtn =
        BoutonOutil(PanelMediaPlayer, QStringLiteral(">"), QStringLiteral("Avance d'une image"));
    FinBtn = BoutonOutil(PanelMediaPlayer, QStringLiteral(">|"), QStringLiteral("Fin"));
    TempsLabel = new QLabel(PanelMediaPlayer);
    ProgressBar = new QProgressBar(PanelMediaPlayer);
    ProgressBar->setTextVisible(false);
    for (QWidget* w :
         std::initializer_list<QWidget*>{DebutBtn, PrecedentBtn, PlayBtn, PauseBtn, StopBtn,
                                         SuivantBtn, FinBtn, TempsLabel, ProgressBar})
        lignePlayer->addWidget(w);
    colonne->addWidget(PanelMediaPlayer);

    Splitter1 = new QSplitter(Qt::Horizontal, centre);
    auto* gauche = new QWidget(Splitter1);
    auto* colonneImage = new QVBoxLayout(gauche);
    colonneImage->setContentsMargins(0, 0, 0, 0);
    ZoneImage = new QScrollArea(gauche);
    Image = new PanneauImage;
    Image->resize(322, 242);
    Image->SourceImage = [this] { return FilmOuvert() ? lecteur_->ImageAffichee() : QImage(); };
    ZoneImage->setWidget(Image);
    ZoneImage->setWidgetResizable(false);
    colonneImage->addWidget(ZoneImage, 1);
    TrackBar = new QSlider(Qt::Horizontal, gauche);
    TrackBar->setSingleStep(40);
    TrackBar->setPageStep(500);
    TrackBar->setTickInterval(500);
    TrackBar->setTickPosition(QSlider::TicksAbove);
    colonneImage->addWidget(TrackBar);
    PageControl = new QStackedWidget(Splitter1);
    GridTS = new QWidget(PageControl);
    auto* colonneGrille = new QVBoxLayout(GridTS);
    colonneGrille->setContentsMargins(0, 0, 0, 0);
    Grid = new QTableWidget(GridTS);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->verticalHeader()->setVisible(false);
    Grid->horizontalHeader()->setDefaultSectionSize(50);
    Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    colonneGrille->addWidget(Grid);
    DessinTS = new QWidget(PageControl);
    auto* colonneDessin = new QVBoxLayout(DessinTS);
    colonneDessin->setContentsMargins(0, 0, 0, 0);
    DessinPB = new MiroirDessin(DessinTS);
    colonneDessin->addWidget(DessinPB);
    PageControl->addWidget(GridTS);
    PageControl->addWidget(DessinTS);
    PageControl->setMinimumWidth(50);
    Splitter1->addWidget(gauche);
    Splitter1->addWidget(PageControl);
    Splitter1->setStretchFactor(0, 3);
    Splitter1->setStretchFactor(1, 1);
    DefinirAide(Splitter1->handle(1),
                QStringLiteral("|Déplacer pour changer la taille du tableau"));
    colonne->addWidget(Splitter1, 1);
    EditBidon = new QLineEdit(centre);
    EditBidon->setFixedWidth(0);
    EditBidon->setFrame(false);
    colonne->addWidget(EditBidon);
    setCentralWidget(centre);

    Status = new PanneauxEtat({80, 80, 0}, this);
    setStatusBar(Status);

    PopupMenu = new QMenu(this);
    auto* groupeCurseur = new QActionGroup(this);
    CurseurCroix = PopupMenu->addAction(QStringLiteral("Curseur croix"));
    CurseurNoir = PopupMenu->addAction(QStringLiteral("Curseur cible noire"));
    CurseurBlanc = PopupMenu->addAction(QStringLiteral("Curseur cible blanche"));
    CurseurCible = PopupMenu->addAction(QStringLiteral("Curseur cible"));
    const int tags[] = {0, 6, 7, 8};
    const QAction* curseurs[] = {CurseurCroix, CurseurNoir, CurseurBlanc, CurseurCible};
    for (int i = 0; i < 4; ++i) {
        auto* a = const_cast<QAction*>(curseurs[i]);
        a->setCheckable(true);
        groupeCurseur->addAction(a);
        const int tag = tags[i];
        connect(a, &QAction::triggered, this, [this, tag] { CurseurClick(tag); });
    }

    // Wiring.
    connect(OpenBtn, &QToolButton::clicked, this, &TAviForm::OpenFileBtnClick);
    connect(MesureBtn, &QToolButton::clicked, this, &TAviForm::MesureBtnClick);
    connect(ChronoPhotoBtn, &QToolButton::clicked, this, &TAviForm::ChronoPhotoBtnClick);
    connect(OrigineBtn, &QToolButton::clicked, this, &TAviForm::OrigineBtnClick);
    connect(EchelleBtn, &QToolButton::clicked, this, &TAviForm::EchelleBtnClick);
    connect(OrigineItem, &QAction::triggered, this, [this] { OrigineItemClick(false); });
    connect(OrigineMobileItem, &QAction::triggered, this, [this] { OrigineItemClick(true); });
    connect(OrigineTempsBtn, &QToolButton::clicked, this, &TAviForm::OrigineTempsBtnClick);
    connect(UndoBtn, &QToolButton::clicked, this, &TAviForm::UndoBtnClick);
    connect(RazBtn, &QToolButton::clicked, this, &TAviForm::RazBtnClick);
    connect(RefreshBtn, &QToolButton::clicked, this, &TAviForm::PosterRafraichissement);
    connect(TabulaneBtn, &QToolButton::clicked, this, &TAviForm::TabulaneBtnClick);
    connect(HelpBtn, &QToolButton::clicked, this, [this] {
        AideCodecDlg().SetFilm(fileName_.isEmpty() ? filmEssaye_ : fileName_);
        AideCodecDlg().exec();
    });
    connect(TraceEchCB, &QCheckBox::clicked, this, &TAviForm::RedessinerTout);
    connect(TracePointsCB, &QCheckBox::clicked, this, &TAviForm::RedessinerTout);
    connect(CouleurAxeCB, qOverload<int>(&QComboBox::activated), this, &TAviForm::RedessinerTout);
    connect(CouleurPointsCB, qOverload<int>(&QComboBox::activated), this,
            &TAviForm::CouleurPointsCBChange);
    PaintBox->SurClic = [this] { PaintBoxClick(); };
    connect(ZoomSE, qOverload<int>(&QSpinBox::valueChanged), this, &TAviForm::ZoomSEChange);
    connect(NbreImagesSE, qOverload<int>(&QSpinBox::valueChanged), this,
            &TAviForm::NbreImagesSEChange);
    connect(NbreSE, qOverload<int>(&QSpinBox::valueChanged), this, [this](int v) {
        machine_.NbreSE = v;
        ColonnesGrille();
    });
    connect(IncertitudeSE, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int v) { calib_.Incertitude = v; });
    connect(EchelleEdit, &QLineEdit::editingFinished, this, &TAviForm::EchelleEditValider);
    connect(DureeEdit, &QLineEdit::editingFinished, this, &TAviForm::DureeEditValider);
    connect(Grid, &QTableWidget::cellClicked, this, [this](int r, int) { GridSelectCell(r); });
    connect(DebutBtn, &QToolButton::clicked, this, [this] {
        if (FilmOuvert()) lecteur_->AllerDebut(true);
    });
    connect(FinBtn, &QToolButton::clicked, this, [this] {
        if (FilmOuvert()) lecteur_->AllerFin(true);
    });
    connect(SuivantBtn, &QToolButton::clicked, this, [this] {
        if (FilmOuvert()) lecteur_->Pas(+1, true);
    });
    connect(PrecedentBtn, &QToolButton::clicked, this, [this] {
        if (FilmOuvert()) lecteur_->Pas(-1, true);
    });
    connect(PlayBtn, &QToolButton::clicked, this, [this] {
        if (FilmOuvert()) lecteur_->Play(true);
    });
    connect(PauseBtn, &QToolButton::clicked, this, [this] {
        if (FilmOuvert()) lecteur_->Pause(true);
    });
    connect(StopBtn, &QToolButton::clicked, this, [this] {
        if (FilmOuvert()) lecteur_->Stop(true);
    });
    connect(TrackBar, &QSlider::valueChanged, this, &TAviForm::TrackBarChange);
    connect(TrackBar, &QSlider::sliderReleased, this, &TAviForm::TrackBarRelache);
    Image->SurPression = [this](QMouseEvent* e) {
        ImageMouseDown(e->button(), e->position().toPoint());
    };
    Image->SurDeplacement = [this](QMouseEvent* e) { ImageMouseMove(e->position().toPoint()); };
    Image->SurRelachement = [this](QMouseEvent* e) {
        ImageMouseUp(e->button(), e->position().toPoint());
    };

    for (QObject* o :
         std::initializer_list<QObject*>{EditBidon, Image, Grid, EchelleEdit, DureeEdit})
        o->installEventFilter(this);
    ColonnesGrille();
}

// ---- Settings ------------------------------------------------------------------------------

ReglagesAvi TAviForm::Reglages() const {
    ReglagesAvi r;
    r.FilterIndex = filterIndex_;
    r.TraceEchelle = TraceEchCB->isChecked();
    r.TracePoints = TracePointsCB->isChecked();
    r.CouleurEchelle = CouleurAxeCB->currentData().toInt();
    for (int k = 0; k <= 5; ++k)
        r.Couleurs[static_cast<std::size_t>(k)] =
            EntierDepuisCouleur(tables_.Couleurs[static_cast<std::size_t>(k)]);
    r.Cible = CibleGlobale();
    r.Orientation = calib_.Orientation;
    r.PixelIncert = IncertitudeSE->value();
    r.Sauvegarde = cibleSauvegarde_;
    return r;
}

void TAviForm::AppliquerReglages(const ReglagesAvi& r) {
    filterIndex_ = r.FilterIndex;
    TraceEchCB->setChecked(r.TraceEchelle);
    TracePointsCB->setChecked(r.TracePoints);
    ChoisirCouleur(CouleurAxeCB, r.CouleurEchelle);
    for (int k = 0; k <= 5; ++k)
        tables_.Couleurs[static_cast<std::size_t>(k)] =
            CouleurDepuisEntier(r.Couleurs[static_cast<std::size_t>(k)]);
    ChoisirCouleur(CouleurPointsCB, r.Couleurs[1]);
    switch (r.Cible) {
    case 6:
        CurseurNoir->setChecked(true);
        CibleGlobale() = 6;
        break;
    case 7:
        CurseurBlanc->setChecked(true);
        CibleGlobale() = 7;
        break;
    case 8:
        CurseurCible->setChecked(true);
        CibleGlobale() = 8;
        break;
    default:
        CurseurCroix->setChecked(true);
        CibleGlobale() = crCroix;
        break;
    }
    calib_.Orientation = r.Orientation;
    orientationMenu();
    {
        const QSignalBlocker b(IncertitudeSE);
        IncertitudeSE->setValue(r.PixelIncert);
    }
    calib_.Incertitude = IncertitudeSE->value();
    cibleSauvegarde_ = r.Sauvegarde;
    QAction* item = r.Sauvegarde == CibleSauvegarde::Tabulane        ? TabulaneM
                    : r.Sauvegarde == CibleSauvegarde::PressePapiers ? ClipM
                                                                     : FileM;
    item->setChecked(true);
    TabulaneBtn->setText(r.Sauvegarde == CibleSauvegarde::Tabulane ? QStringLiteral("&Tabulane")
                         : r.Sauvegarde == CibleSauvegarde::PressePapiers
                             ? QStringLiteral("Copier")
                             : QStringLiteral("Sauver"));
    TabulaneBtn->setIcon(IconeSauvegarde(r.Sauvegarde));
}

void TAviForm::LireReglages() {
    AppliquerReglages(ReglagesAvi::Lire(IniFile(NomFichierIni())));
}

void TAviForm::EcrireReglages() const {
    try {
        IniFile ini(NomFichierIni());
        Reglages().Ecrire(ini);
        ini.enregistrer(); // a settings file that cannot be written is lost silently
    } catch (...) {
    }
}

// ---- Opening -------------------------------------------------------------------------------

void TAviForm::OpenFileBtnClick() {
    const auto nom = Dialogues().ouvrirFichierFiltre(QStringLiteral("Ouvrir"), dossierInitial_,
                                                     kFiltreOuverture, filterIndex_);
    if (!nom) return;
    OuvrirFilm(*nom);
}

bool TAviForm::OuvrirFilm(const QString& nom) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // No notification of the previous film may reach the new one.
    const QSignalBlocker silence(lecteur_);
    if (FilmOuvert()) lecteur_->Stop(false);
    const NomFilm n = PreparerNomFilm(nom);
    filmEssaye_ = n.chemin;
    calib_.FileFrameRate = 25;
    {
        const QSignalBlocker b(NbreImagesSE);
        NbreImagesSE->setValue(25);
    }
    calib_.FramePeriod = 0.04;
    microsoftVideo1_ = false;
    if (!n.estAvi) {
        CodecLabel->setText(n.extension);
        PageControl->setCurrentWidget(DessinTS);
    } else {
        const LibelleCodec codec = IdentifierCodec(n.chemin);
        CodecLabel->setText(codec.texte);
        microsoftVideo1_ = codec.microsoftVideo1;
        PageControl->setCurrentWidget(GridTS);
    }
    bool ouvert = false;
    try {
        ouvert = lecteur_->Ouvrir(n.chemin);
    } catch (...) {
        ouvert = false;
    }
    if (ouvert) {
        fileName_ = n.chemin;
        apresOuverture();
    } else {
        lecteur_->Fermer();
        fileName_.clear();
        Image->EffacerOverlay();
        Image->update();
    }
    BoutonsEtat();
    QApplication::restoreOverrideCursor();
    return ouvert;
}

void TAviForm::apresOuverture() {
    // Frame rate, period and duration from the two lengths; the device stays in milliseconds.
    lecteur_->SetFormat(LecteurMci::FormatTemps::Images);
    const double longueurImages = lecteur_->Longueur();
    lecteur_->SetFormat(LecteurMci::FormatTemps::Millisecondes);
    const double longueurMs = lecteur_->Longueur();
    const CadenceFilm c = CadenceDepuisLongueurs(longueurImages, longueurMs);
    calib_.FileFrameRate = c.fileFrameRate;
    calib_.FramePeriod = c.framePeriod;
    calib_.Duration = c.duration;
    if (c.fileFrameRate != 0) {
        NbreImagesSE->setVisible(true);
        Label2->setVisible(true);
        DureeEdit->setVisible(false);
        Label4->setVisible(false);
        // A film faster than the box can show keeps its own period and times: the clamped
        // value is not a choice of the user, so it does not switch the player to frames.
        const QSignalBlocker b(NbreImagesSE);
        NbreImagesSE->setValue(std::min(c.fileFrameRate, kCadenceMaxAffichable));
        calib_.FramePeriod = 1.0 / c.fileFrameRate;
    } else {
        NbreImagesSE->setVisible(false);
        Label2->setVisible(false);
        DureeEdit->setVisible(true);
        Label4->setVisible(true);
        DureeEdit->setText(FormatIngenieur(QStringLiteral("s"), calib_.FramePeriod));
    }
    // QToolBar hides the actions, not the widgets.
    for (QAction* a : ToolBar2->actions()) {
        QWidget* w = ToolBar2->widgetForAction(a);
        if (w == NbreImagesSE || w == Label2) a->setVisible(c.fileFrameRate != 0);
        if (w == DureeEdit || w == Label4) a->setVisible(c.fileFrameRate == 0);
    }

    tables_.Rows = 0;
    calib_.Zoom = 1;
    {
        const QSignalBlocker b(ZoomSE);
        ZoomSE->setValue(1);
    }
    const QRect r = lecteur_->RectangleAffichage();
    calib_.DefautsFilm(r.right() + 1, r.bottom() + 1);
    Image->resize(calib_.FrameWidth + 2, calib_.FrameHeight + 2);
    Image->EffacerOverlay();
    machine_.Etat = PointingState::psIdle;

    premiereNotification_ = true;
    lecteur_->Play(true);
    {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
    }
    const int maximum = static_cast<int>(std::min(longueurMs, 2.0e9));
    {
        const QSignalBlocker b(TrackBar);
        TrackBar->setRange(0, maximum);
        TrackBar->setValue(0);
    }
    ProgressBar->setRange(0, std::max(maximum, 1));
    ProgressBar->setValue(0);
    setWindowTitle(TitreAvecFilm(fileName_));
    BoutonsEtat();
    EditBidon->setFocus();
    lecteur_->Pas(+1, true);
}

bool TAviForm::AvantDerniereImage() const {
    const MoteurVideo* m = lecteur_->Moteur();
    return m != nullptr && lecteur_->ImageCourante() < m->Infos().nombreImages - 1;
}

// ---- Trackbar --------------------------------------------------------------------------------

void TAviForm::TrackBarChange(int position) {
    if (!FilmOuvert() || Busy) return;
    try {
        if (TrackBar->isSliderDown()) {
            // Decoding the exact frame of a long group of pictures takes far longer than a
            // drag step: show the nearest picture at hand, with its own time.
            lecteur_->Apercu(position);
            const double P = lecteur_->Position();
            TempsLabel->setText(TexteTemps(lecteur_->Format() == LecteurMci::FormatTemps::Millisecondes
                                               ? P / 1000.0
                                               : P * calib_.FramePeriod,
                                           calib_.Duration, SeparateurDecimal()));
            return;
        }
        if (std::fabs(position - lecteur_->Position()) >= 1) lecteur_->AllerA(position, true);
    } catch (...) {
    }
}

void TAviForm::TrackBarRelache() {
    if (!FilmOuvert() || Busy) return;
    try {
        lecteur_->AllerA(TrackBar->value(), true);
    } catch (...) {
    }
}

// ---- Notifications and the refresh return trip --------------------------------------------

void TAviForm::MediaPlayerNotify() {
    if (!FilmOuvert()) return;
    try {
        const double P = lecteur_->Position();
        {
            const QSignalBlocker b(TrackBar);
            TrackBar->setValue(static_cast<int>(P));
        }
        ProgressBar->setValue(static_cast<int>(P));
        calib_.CurrentTime = lecteur_->Format() == LecteurMci::FormatTemps::Millisecondes
                                 ? P / 1000.0
                                 : P * calib_.FramePeriod;
        TempsLabel->setText(TexteTemps(calib_.CurrentTime, calib_.Duration, SeparateurDecimal()));
        if (premiereNotification_) {
            premiereNotification_ = false;
            lecteur_->AllerDebut(true);
        } else if (Busy) {
            Busy = false;
            lecteur_->Pas(ComeBack ? +1 : -1, true);
        } else {
            switch (machine_.Etat) {
            case PointingState::psAnalysis:
                // Automatic tracking: one pass on this frame.
                if (Suivi.PasseAnalyse) Suivi.PasseAnalyse(*this);
                break;
            case PointingState::psAnalysisStart:
                // Automatic tracking: the clean frame after the target click starts the pass.
                if (Suivi.DebutAnalyse) Suivi.DebutAnalyse(*this);
                break;
            default:
                RedessinerTout();
                break;
            }
            // Microsoft Video 1 films show their first frame badly: step past it.
            if (microsoftVideo1_ && lecteur_->ImageCourante() == 0) lecteur_->Pas(+1, false);
        }
    } catch (...) {
        // A notification never stops the form.
    }
}

void TAviForm::PosterRafraichissement() {
    QCoreApplication::postEvent(this, new QEvent(RefreshMessage));
}

void TAviForm::rafraichir() {
    if (!FilmOuvert() || Busy) return;
    Busy = true;
    if (QApplication::activeWindow() == this) EditBidon->setFocus();
    if (SensRetourArriere(lecteur_->Position(), lecteur_->Longueur())) {
        ComeBack = true;
        lecteur_->Pas(-1, true);
    } else {
        ComeBack = false;
        lecteur_->Pas(+1, true);
    }
}

bool TAviForm::event(QEvent* e) {
    if (e->type() == RefreshMessage) {
        rafraichir();
        return true;
    }
    return TTradForm::event(e);
}

// ---- Calibration ----------------------------------------------------------------------------

void TAviForm::MiseAJourEchelle() {
    if (!FilmOuvert()) return;
    calib_.MettreAJourFacteurs();
    if (!machine_.OrigineMobile) tables_.OrigineUnique(calib_.Origin);
}

void TAviForm::EchelleEditValider() {
    if (!LireLongueurEchelle(EchelleEdit, calib_)) return;
    MiseAJourEchelle();
    PosterRafraichissement();
}

void TAviForm::NbreImagesSEChange(int valeur) {
    if (valeur <= 0) return;
    if (FilmOuvert() && valeur != calib_.FileFrameRate)
        lecteur_->SetFormat(LecteurMci::FormatTemps::Images);
    calib_.FramePeriod = 1.0 / valeur;
    if (FilmOuvert() && lecteur_->Format() == LecteurMci::FormatTemps::Images) {
        calib_.CurrentTime = tables_.Retimer(calib_.FramePeriod);
        ReecrireColonneTemps();
    }
}

void TAviForm::DureeEditValider() {
    double periode = 0;
    try {
        periode = LireReel(DureeEdit->text());
    } catch (const ErreurConversion&) {
        periode = -1;
    }
    if (periode <= 0 || periode == ValeurAbsente) {
        // Unreadable, absent or not a duration: the field shows the period again.
        const QSignalBlocker b(DureeEdit);
        DureeEdit->setText(FormatIngenieur(QStringLiteral("s"), calib_.FramePeriod));
        return;
    }
    calib_.FramePeriod = periode;
    if (FilmOuvert()) {
        lecteur_->SetFormat(LecteurMci::FormatTemps::Images);
        calib_.CurrentTime = tables_.Retimer(calib_.FramePeriod);
        ReecrireColonneTemps();
    }
}

void TAviForm::ZoomSEChange(int z) {
    if (z == calib_.Zoom || z < 1 || z > 5) return;
    calib_.Zoom = z;
    if (!FilmOuvert()) return;
    Image->resize(z * calib_.FrameWidth, z * calib_.FrameHeight);
    Image->EffacerOverlay();
    lecteur_->SetRectangleAffichage(QRect(0, 0, z * calib_.FrameWidth, z * calib_.FrameHeight));
    QCoreApplication::processEvents();
    PosterRafraichissement();
}

void TAviForm::OrientationClick(OrientationAxes o) {
    calib_.Orientation = o;
    orientationMenu();
    MiseAJourEchelle();
    PosterRafraichissement();
}

void TAviForm::orientationMenu() {
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

void TAviForm::OrigineBtnClick() {
    if (machine_.OrigineMobile) return;
    machine_.Etat = PointingState::psOrigin;
    Inviter(QStringLiteral("Cliquer sur l'origine des axes"));
    SetCurseurImage(kCurseurOrigine);
    EditBidon->setFocus();
}

void TAviForm::EchelleBtnClick() {
    machine_.Etat = PointingState::psScaleStart;
    Inviter(QStringLiteral("Début de l'échelle|Cliquer sur le début de l'échelle"));
    calib_.ScaleStart = QPoint(0, 0);
    glisse_ = false;
    SetCurseurImage(kCurseurCible);
    EditBidon->setFocus();
}

void TAviForm::OrigineItemClick(bool mobile) {
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
    PosterRafraichissement();
}

// ---- Time origin -----------------------------------------------------------------------------

void TAviForm::OrigineTempsBtnClick() {
    if (!OrigineTempsBtn->isCheckable()) {
        // Plain button: the frame on screen is the time origin.
        const double P = lecteur_->Position();
        calib_.TimeOrigin = lecteur_->Format() == LecteurMci::FormatTemps::Millisecondes
                                ? P / 1000.0
                                : P * calib_.FramePeriod;
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

void TAviForm::origineTempsRelachee() {
    if (machine_.Etat == PointingState::psMeasure) {
        Status->setTexte(2, QStringLiteral("cliquer sur le point à enregistrer"));
        SetCurseurImage(kCurseurCible);
    } else {
        Status->setTexte(2, QString());
        SetCurseurImage(crDefaut);
    }
}

void TAviForm::GridSelectCell(int ligne) {
    if (!OrigineTempsBtn->isCheckable() || !OrigineTempsBtn->isChecked()) return;
    if (ligne >= 0 && ligne < tables_.Rows) {
        calib_.TimeOrigin = tables_.Temps(ligne);
        ReecrireColonneTemps();
    }
    OrigineTempsBtn->setChecked(false);
    origineTempsRelachee();
}

// ---- Pointing ----------------------------------------------------------------------------

void TAviForm::Inviter(const QString& aide) {
    hint_ = aide;
    DefinirAide(Image, aide);
    Status->setTexte(2, PartieLongue(aide));
}

void TAviForm::SetCurseurImage(int numero) {
    Image->setCursor(CurseurNumero(numero == kCurseurCible ? CibleGlobale() : numero));
}

void TAviForm::MesureBtnClick() {
    if (MesureBtn->isChecked()) {
        if (MesureAutoCB->isChecked() && Suivi.Armer) {
            calib_.TimeOrigin = 0;
            Suivi.Armer(*this);
        } else {
            const EffetPointage e = machine_.Demarrer();
            calib_.TimeOrigin = 0;
            Inviter(e.invite);
            SetCurseurImage(e.curseur);
        }
    } else {
        if (Suivi.Arret) Suivi.Arret(*this);
        const EffetPointage e = machine_.Arreter();
        Inviter(e.invite);
        if (Suivi.Bilan) Suivi.Bilan(*this);
        SetCurseurImage(crDefaut);
    }
    mesureBasculee_ = true;
    ColonnesGrille();
    BoutonsEtat();
    PosterRafraichissement();
}

void TAviForm::ChronoPhotoBtnClick() {
    if (Suivi.ChronoPhoto) {
        Suivi.ChronoPhoto(*this);
    } else {
        const QSignalBlocker b(ChronoPhotoBtn);
        ChronoPhotoBtn->setChecked(false);
    }
    BoutonsEtat();
}

void TAviForm::stockerCase(QPoint posImage) {
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

void TAviForm::ImageMouseDown(Qt::MouseButton bouton, QPoint posEcran) {
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
    stockerCase(posImage);
    pressionEcran_ = posEcran;
    if (machine_.Etat == PointingState::psScaleStart) glisse_ = false;
}

void TAviForm::ImageMouseMove(QPoint posEcran) {
    if (ChronoPhotoBtn->isChecked()) return;
    if (machine_.OrigineMobile) {
        Status->setTexte(0, QStringLiteral(" "));
        Status->setTexte(1, QStringLiteral(" "));
    } else {
        Status->setTexte(0, QStringLiteral("x=%1").arg(posEcran.x()));
        Status->setTexte(1, QStringLiteral("y=%1").arg(posEcran.y()));
    }
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
        lirePatchVivant(posEcran);
        dessinerVignette();
    }
    dernierEcran_ = posEcran;
}

void TAviForm::ImageMouseUp(Qt::MouseButton bouton, QPoint posEcran) {
    if (bouton != Qt::LeftButton) return;
    if (OrigineTempsBtn->isCheckable() && OrigineTempsBtn->isChecked()) {
        OrigineTempsBtn->setChecked(false);
        origineTempsRelachee();
        return;
    }
    const QPoint posImage = calib_.EcranVersImage(posEcran);
    stockerCase(posImage);
    switch (machine_.Etat) {
    case PointingState::psMeasure:
        EnregistrerPoint(posImage);
        break;
    case PointingState::psOrigin:
        petiteCroixOverlay(calib_.Origin, couleurAxe());
        machine_.Etat = PointingState::psIdle;
        SetCurseurImage(crDefaut);
        Inviter(QString::fromUtf8(kInviteRepos));
        MiseAJourEchelle();
        PosterRafraichissement();
        break;
    case PointingState::psScaleStart:
        machine_.Etat = PointingState::psScaleEnd;
        petiteCroixOverlay(calib_.ScaleStart, couleurAxe());
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
        petiteCroixOverlay(calib_.ScaleEnd, couleurAxe());
        machine_.Etat = PointingState::psIdle;
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
        PosterRafraichissement();
        break;
    }
    case PointingState::psTarget:
        if (Suivi.CibleChoisie) Suivi.CibleChoisie(*this, posEcran);
        break;
    default:
        break;
    }
}

void TAviForm::EnregistrerPoint(QPoint posImage) {
    if (!FilmOuvert() || machine_.Etat != PointingState::psMeasure) return;
    const int i = tables_.Rows;
    const int k = tables_.NextPoint;
    const EffetPointage e = machine_.Enregistrer(posImage, calib_.CurrentTime, AvantDerniereImage(),
                                                 tables_.Patches(kPatchVivant));
    if (e.tablesPleines && !e.ligneComplete) {
        finMesure();
        Dialogues().message(QStringLiteral("Tableau plein : la mesure s'arrête"));
        return;
    }
    if (e.petitesAxes) {
        QPainter p(&Image->Overlay());
        p.setPen(QPen(QColor(couleurAxe()), 1));
        PetitsAxes(p, calib_.ImageVersEcran(posImage), XVersLaDroite(calib_.Orientation),
                   YVersLeHaut(calib_.Orientation));
        Image->update();
    }
    if (e.croixPoint) {
        petiteCroixOverlay(posImage, couleurPoint(k));
        ColonnesGrille();
        EcrireLigneGrille(i, k);
    }
    if (!e.invite.isEmpty()) Inviter(e.invite);
    if (e.curseur != 0) SetCurseurImage(e.curseur);
    UndoBtn->setEnabled(true);
    if (e.ligneComplete) {
        TabulaneBtn->setEnabled(tables_.Rows > 3);
        if (e.avancer) {
            Busy = false;
            lecteur_->Pas(+1, true);
        } else {
            finMesure();
            if (e.tablesPleines)
                Dialogues().message(QStringLiteral("Tableau plein : la mesure s'arrête"));
        }
    }
    // The time-origin button picks a recorded row once there is one.
    const bool bascule = tables_.Rows >= 1;
    OrigineTempsBtn->setCheckable(bascule);
    DefinirAide(OrigineTempsBtn,
                bascule
                    ? QStringLiteral("Cliquer sur le point enregistré qui sera l'origine des temps")
                    : QStringLiteral("L'image courante sera l'origine des temps"));
}

void TAviForm::finMesure() {
    machine_.Etat = PointingState::psIdle;
    Inviter(QString::fromUtf8(kInviteRepos));
    {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
    }
    BoutonsEtat();
    RedessinerTout();
}

void TAviForm::UndoBtnClick() {
    const EffetPointage e = machine_.Defaire();
    UndoBtn->setEnabled(tables_.Rows > 0);
    Inviter(e.invite);
    SetCurseurImage(e.curseur);
    Busy = false;
    if (FilmOuvert()) lecteur_->Pas(-1, true);
}

void TAviForm::RazBtnClick() {
    if (!Dialogues().confirmer(QStringLiteral("Suppression des données"))) return;
    tables_.Rows = 0;
    BoutonsEtat();
}

void TAviForm::CouleurPointsCBChange() {
    const int k = std::clamp(tables_.NextPoint, 0, kMaxPointsParImage);
    tables_.Couleurs[static_cast<std::size_t>(k)] =
        CouleurDepuisEntier(CouleurPointsCB->currentData().toInt());
    RedessinerTout();
}

void TAviForm::CurseurClick(int tag) {
    CibleGlobale() = tag == 0 ? crCroix : tag;
    QAction* item = tag == 6   ? CurseurNoir
                    : tag == 7 ? CurseurBlanc
                    : tag == 8 ? CurseurCible
                               : CurseurCroix;
    item->setChecked(true);
    PosterRafraichissement();
}

bool TAviForm::ToucheForme(int touche, Qt::KeyboardModifiers modificateurs) {
    const QPoint pos = QCursor::pos();
    switch (touche) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: {
        if (machine_.Etat != PointingState::psMeasure) return false;
        const QPoint posEcran = Image->mapFromGlobal(pos);
        if (!Image->rect().contains(posEcran)) return true;
        const QPoint posImage = calib_.EcranVersImage(posEcran);
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

bool TAviForm::eventFilter(QObject* objet, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return TTradForm::eventFilter(objet, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (objet == EchelleEdit || objet == DureeEdit) {
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

QRgb TAviForm::couleurAxe() const {
    return CouleurDepuisEntier(CouleurAxeCB->currentData().toInt());
}
QRgb TAviForm::couleurPoint(int k) const {
    return tables_.Couleurs[static_cast<std::size_t>(std::clamp(k, 0, kMaxPointsParImage))];
}

void TAviForm::petiteCroixOverlay(QPoint posImage, QRgb couleur) {
    QPainter p(&Image->Overlay());
    p.setPen(QPen(QColor(couleur), 1));
    PetiteCroix(p, calib_.ImageVersEcran(posImage));
    Image->update();
}

void TAviForm::ColonnesGrille() {
    kinepo::ColonnesGrille(Grid, machine_.NbreSE);
}
void TAviForm::EcrireLigneGrille(int i, int jusquAuPoint) {
    kinepo::EcrireLigneGrille(Grid, calib_, tables_, i, jusquAuPoint);
}
void TAviForm::ReecrireColonneTemps() {
    kinepo::ReecrireColonneTemps(Grid, calib_, tables_);
}

void TAviForm::RedessinerTout() {
    if (!FilmOuvert()) return;
    const bool miroir = PageControl->currentWidget() == DessinTS;
    QImage* dessin = miroir ? &DessinPB->Dessin() : nullptr;
    MiseAJourEchelle();
    OptionsDessinMesures o;
    o.axes = TraceEchCB->isChecked();
    o.points = TracePointsCB->isChecked();
    o.origineMobile = machine_.OrigineMobile;
    o.nbrePoints = machine_.NbreSE;
    o.couleurAxe = couleurAxe();
    o.largeur = Image->width();
    o.hauteur = Image->height();
    Image->EffacerOverlay();
    {
        QPainter p(&Image->Overlay());
        EtiquettesDessinees.clear();
        DessinerMesures(
            p, calib_, tables_, o, [this](QPoint q) { return calib_.ImageVersEcran(q); },
            &EtiquettesDessinees);
    }
    if (dessin) {
        // The side page mirrors the figures, scaled from the frame to the page.
        dessin->fill(palette().color(QPalette::Base));
        const double mx = double(dessin->width()) / std::max(calib_.FrameWidth, 1);
        const double my = double(dessin->height()) / std::max(calib_.FrameHeight, 1);
        o.largeur = dessin->width();
        o.hauteur = dessin->height();
        QPainter pm(dessin);
        DessinerMesures(pm, calib_, tables_, o, [mx, my](QPoint q) {
            return QPoint(ArrondiInt(q.x() * mx), ArrondiInt(q.y() * my));
        });
        pm.end();
        DessinPB->update();
    }
    if (Grid->rowCount() + 1 < tables_.Rows + 2) Grid->setRowCount(tables_.Rows + 4);
    Grid->setUpdatesEnabled(false);
    for (int i = 0; i < tables_.Rows; ++i)
        EcrireLigneGrille(i, machine_.NbreSE);
    ViderLignesApres(Grid, tables_.Rows);
    Grid->setUpdatesEnabled(true);
    if (MesureBtn->isChecked() && machine_.Etat == PointingState::psMeasure)
        SetCurseurImage(tables_.NextPoint > 0 ? kCurseurCible : kCurseurOrigine);
    Image->update();
    EditBidon->setFocus();
}

void TAviForm::lirePatchVivant(QPoint posEcran) {
    LirePatch(lecteur_->ImageAffichee(), posEcran, tables_.Patches(kPatchVivant));
}

void TAviForm::dessinerVignette() {
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

void TAviForm::PaintBoxClick() {
    PaintBox->FondBlanc = !PaintBox->FondBlanc;
    dessinerVignette();
}

// ---- Button states ---------------------------------------------------------------------------

void TAviForm::BoutonsEtat() {
    const bool film = FilmOuvert();
    const bool mesure = MesureBtn->isChecked();
    PanelMediaPlayer->setVisible(film);
    for (QWidget* w :
         std::initializer_list<QWidget*>{EchelleBtn, ChronoPhotoBtn, OrigineBtn, NbreSE})
        w->setEnabled(film && !mesure);
    for (QWidget* w : std::initializer_list<QWidget*>{EchelleEdit, OrigineTempsBtn, RefreshBtn})
        w->setEnabled(film);
    MesureBtn->setEnabled(film && !ChronoPhotoBtn->isChecked());
    TabulaneBtn->setEnabled(tables_.Rows > 3);
    RazBtn->setEnabled(film && !mesure && tables_.Rows > 3);
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
    Image->setCursor(CurseurNumero(crDefaut));
    for (QWidget* w : std::initializer_list<QWidget*>{EchelleEdit, DureeEdit})
        w->setFixedHeight(22);
    MiseAJourEchelle();
}

// ---- Transfer -------------------------------------------------------------------------------

void TAviForm::TabulaneMClick(CibleSauvegarde cible) {
    AppliquerReglages([&] {
        ReglagesAvi r = Reglages();
        r.Sauvegarde = cible;
        return r;
    }());
    transferer(cible);
}

void TAviForm::TabulaneBtnClick() {
    transferer(cibleSauvegarde_);
}

void TAviForm::transferer(CibleSauvegarde cible) {
    if (cible == CibleSauvegarde::Fichier) {
        auto nom = Dialogues().enregistrerFichier(QStringLiteral("Enregistrer"), dossierInitial_,
                                                  kFiltreExport, QString());
        if (!nom || nom->isEmpty()) return;
        if (QFileInfo(*nom).suffix().isEmpty()) *nom += QStringLiteral(".TXT");
        MiseAJourEchelle();
        const QString texte = TexteExport(calib_, tables_, machine_.NbreSE, SeparateurExport(*nom));
        if (!EcrireExport(*nom, texte)) Dialogues().message(QStringLiteral("Erreur d'écriture"));
        return;
    }
    MiseAJourEchelle();
    const bool fait = TransfererMesures(calib_, tables_, machine_.NbreSE, fileName_,
                                        cible == CibleSauvegarde::Tabulane);
    if (!fait) return;
    // The measurement button comes up but further clicks still add rows.
    {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
    }
    BoutonsEtat();
    PosterRafraichissement();
}

// ---- Showing and closing ---------------------------------------------------------------------

void TAviForm::verifierEditionSimplifiee() {
    const QString dossier = QFileInfo(CheminExecutable()).absolutePath();
    const bool simplifiee = QFileInfo::exists(dossier + QStringLiteral("/tabulaneCollege.exe")) ||
                            QFileInfo::exists(dossier + QStringLiteral("/tabulaneCollege"));
    if (!simplifiee) return;
    NbreSE->setValue(1);
    IncertitudeSE->setValue(1);
    for (QAction* a : ToolBar2->actions()) {
        QWidget* w = ToolBar2->widgetForAction(a);
        if (w == NbreSE || w == LabelNbreSE || w == IncertitudeSE || w == LabelIncert)
            a->setVisible(false);
    }
}

void TAviForm::showEvent(QShowEvent* e) {
    TTradForm::showEvent(e);
    if (!(windowState() & Qt::WindowMaximized)) setWindowState(windowState() | Qt::WindowMaximized);
    verifierEditionSimplifiee();
}

void TAviForm::resizeEvent(QResizeEvent* e) {
    TTradForm::resizeEvent(e);
    PosterRafraichissement();
}

void TAviForm::closeEvent(QCloseEvent* e) {
    EcrireReglages();
    // Whatever runs ends as releasing its button ends it: no measurement outlives its film.
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
    try {
        if (FilmOuvert()) {
            lecteur_->Stop(false);
            lecteur_->Fermer();
            fileName_.clear();
        }
    } catch (...) {
    }
    BoutonsEtat();
    TTradForm::closeEvent(e);
}

} // namespace kinepo
