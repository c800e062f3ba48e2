#include "video/ui/MovieForm.h"

#include "common/Nombres.h"
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "platform/video/LecteurFilm.h"
#include "platform/video/MoteurVideo.h"
#include "shell/base/Curseurs.h"
#include "shell/base/PanneauxEtat.h"
#include "shell/base/RoutageAide.h"
#include "video/logic/FichierFilm.h"
#include "video/ui/AideCodecDlg.h"
#include "video/ui/BarreTempsReel.h"
#include "video/ui/AviForm.h"
#include "video/ui/DessinOverlay.h"
#include "video/ui/GrilleResultats.h"
#include "video/ui/MesuresVideo.h"
#include "shell/base/PanneauImage.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace kinepo {

namespace {

const QString kFiltreFilms = QStringLiteral(
    "video (*.avi *.mpg *.mpeg *.divx *.mp4 *.mov *.m4v *.3gp *.mkv *.webm);;video AVI "
    "(*.avi);;video MPEG (*.mpg *.mpeg);;video DivX (*.divx);;films de téléphone (*.mp4 *.mov "
    "*.m4v *.3gp);;video MKV/WebM (*.mkv *.webm)");
const QString kTitre = QStringLiteral("Lecture de fichier video pour Tabulane");

} // namespace

bool ExtensionFilmAcceptee(const QString& nom) {
    static const QStringList acceptees = {QStringLiteral(".AVI"),  QStringLiteral(".MPG"),
                                          QStringLiteral(".MPEG"), QStringLiteral(".DIVX"),
                                          QStringLiteral(".MP4"),  QStringLiteral(".MOV"),
                                          QStringLiteral(".M4V"),  QStringLiteral(".3GP"),
                                          QStringLiteral(".MKV"),  QStringLiteral(".WEBM")};
    const QString suffixe = QFileInfo(nom).suffix();
    return !suffixe.isEmpty() && acceptees.contains(QLatin1Char('.') + suffixe.toUpper());
}

TMovieForm::TMovieForm(QWidget* parent) : TTradForm(parent), lecteur_(new LecteurFilm(this)) {
    setWindowTitle(kTitre);
    construireControles();
    connect(lecteur_, &LecteurFilm::PositionChangee, this, &TMovieForm::PositionChangee);
    connect(lecteur_, &LecteurFilm::CaptureTerminee, this, &TMovieForm::CaptureTerminee);
    connect(lecteur_, &LecteurFilm::EtatChange, this, &TMovieForm::EtatLectureChange);
    connect(lecteur_, &LecteurFilm::Erreur, this, &TMovieForm::ErreurLecteur);
    RoutageAide::Instance().EnregistrerForme(
        this, [this](const QString& texte) { Status->setTexte(2, texte); });
    for (int k = 0; k <= kMaxPointsParImage; ++k)
        tables_.Couleurs[static_cast<std::size_t>(k)] = qRgb(255, 0, 0);
    Inviter(QString::fromUtf8(kInviteRepos));
    BoutonsEtat();
    FormCreate();
}

TMovieForm::~TMovieForm() = default;

void TMovieForm::construireControles() {
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    OpenBtn = BoutonOutil(this, QStringLiteral("Ouvrir"),
                          QStringLiteral("|Ouverture d'un fichier video"));
    MesureBtn =
        BoutonOutil(this, QStringLiteral("&Mesures"), QStringLiteral("|Début des mesures"), true);
    MesureAutoCB = new QCheckBox(QStringLiteral("Mesures automatiques"), this);
    MesureAutoCB->hide();
    ChronoPhotoBtn =
        BoutonOutil(this, QStringLiteral("&Chrono"), QStringLiteral("|Chronophotographie"), true);
    OrigineMenu = new QMenu(this);
    OrigineItem = OrigineMenu->addAction(QStringLiteral("Origine unique"));
    OrigineMobileItem = OrigineMenu->addAction(QStringLiteral("Origine mobile"));
    for (QAction* a : {OrigineItem, OrigineMobileItem})
        a->setCheckable(true);
    OrigineItem->setChecked(true);
    OrigineBtn = BoutonOutil(this, QStringLiteral("&Origine"),
                             QStringLiteral("|Indique l'origine à l'aide de la souris"));
    OrigineBtn->setMenu(OrigineMenu);
    OrigineBtn->setPopupMode(QToolButton::MenuButtonPopup);
    EchelleBtn = BoutonOutil(this, QStringLiteral("&Echelle"),
                             QStringLiteral("|Cliquer sur le début puis la fin de l'échelle"));
    OrigineTempsBtn =
        BoutonOutil(this, QStringLiteral("Origine"),
                    QStringLiteral("Origine des temps|L'image courante sera l'origine des temps"));
    UndoBtn =
        BoutonOutil(this, QStringLiteral("Défaire"), QStringLiteral("|Annuler le dernier point"));
    TabulaneBtn = BoutonOutil(this, QStringLiteral("&Tabulane"),
                              QStringLiteral("|Envoi des données vers Tabulane"));
    HelpBtn = BoutonOutil(this, QStringLiteral("&Aide"),
                          QStringLiteral("|en cas de problème de lecture des fichiers AVI"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{OpenBtn, MesureBtn, ChronoPhotoBtn, OrigineBtn, EchelleBtn,
                                         OrigineTempsBtn, UndoBtn, TabulaneBtn, HelpBtn})
        ToolBar1->addWidget(w);

    addToolBarBreak();
    ToolBar2 = addToolBar(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    EchelleEdit = new QLineEdit(QStringLiteral("1"), this);
    EchelleEdit->setMaximumWidth(80);
    DefinirAide(EchelleEdit, QStringLiteral("Echelle|Longueur en mètre de l'échelle"));
    IncertitudeSE = new QSpinBox(this);
    IncertitudeSE->setRange(1, 8);
    ZoomSE = new QSpinBox(this);
    ZoomSE->setRange(1, 5);
    NbreSE = new QSpinBox(this);
    NbreSE->setRange(1, 5);
    MpegCB = new QCheckBox(QStringLiteral("1 trame sur 2"), this);
    TraceEchCB = new QCheckBox(QStringLiteral("Axes"), this);
    TraceEchCB->setChecked(true);
    TracePointsCB = new QCheckBox(QStringLiteral("Points"), this);
    TracePointsCB->setChecked(true);
    CouleurAxeCB = new QComboBox(this);
    RemplirCouleurs(CouleurAxeCB);
    CouleurPointsCB = new QComboBox(this);
    RemplirCouleurs(CouleurPointsCB);
    for (QWidget* w : std::initializer_list<QWidget*>{
             new QLabel(QStringLiteral("  Echelle(m)  "), this), EchelleEdit, IncertitudeSE,
             new QLabel(QStringLiteral(" pixels"), this),
             new QLabel(QStringLiteral("   Zoom x  "), this), ZoomSE,
             new QLabel(QStringLiteral("  points/image   "), this), NbreSE, MpegCB, TraceEchCB,
             CouleurAxeCB, TracePointsCB, CouleurPointsCB})
        ToolBar2->addWidget(w);
    TempsReelBar = new BarreTempsReel(this);
    ToolBar2->addWidget(TempsReelBar);
    connect(TempsReelBar, &BarreTempsReel::Change, this, [this](const TempsReel& avant) {
        TempsReelBar->Reechelonner(avant, calib_, tables_, Grid);
    });

    auto* centre = new QWidget(this);
    auto* colonne = new QVBoxLayout(centre);
    colonne->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Horizontal, centre);
    Panel1 = new QWidget(splitter);
    auto* colonneImage = new QVBoxLayout(Panel1);
    colonneImage->setContentsMargins(0, 0, 0, 0);
    ZoneImage = new QScrollArea(Panel1);
    Image = new PanneauImage;
    Image->resize(320, 240);
    Image->SourceImage = [this] {
        if (affiche_.isNull() || calib_.Zoom == 1) return affiche_;
        return affiche_.scaled(affiche_.size() * calib_.Zoom, Qt::KeepAspectRatio,
                               Qt::FastTransformation);
    };
    ZoneImage->setWidget(Image);
    colonneImage->addWidget(ZoneImage, 1);
    Grid = new QTableWidget(splitter);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->verticalHeader()->setVisible(false);
    Grid->horizontalHeader()->setDefaultSectionSize(50);
    splitter->addWidget(Panel1);
    splitter->addWidget(Grid);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    colonne->addWidget(splitter, 1);
    MediaPlayer = new QWidget(centre);
    auto* ligne = new QHBoxLayout(MediaPlayer);
    ligne->setContentsMargins(2, 2, 2, 2);
    PrecedentBtn = BoutonOutil(MediaPlayer, QStringLiteral("<"), QStringLiteral("Recul"));
    SuivantBtn = BoutonOutil(MediaPlayer, QStringLiteral(">"), QStringLiteral("Avance"));
    PlayBtn = BoutonOutil(MediaPlayer, QStringLiteral("Lecture"), QStringLiteral("Lecture"));
    PauseBtn = BoutonOutil(MediaPlayer, QStringLiteral("Pause"), QStringLiteral("Pause"));
    StopBtn = BoutonOutil(MediaPlayer, QStringLiteral("Stop"), QStringLiteral("Stop"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{PrecedentBtn, SuivantBtn, PlayBtn, PauseBtn, StopBtn})
        ligne->addWidget(w);
    ligne->addStretch(1);
    colonne->addWidget(MediaPlayer);
    setCentralWidget(centre);
    Status = new PanneauxEtat({80, 80, 0, 120}, this);
    setStatusBar(Status);

    connect(OpenBtn, &QToolButton::clicked, this, &TMovieForm::OpenFileBtnClick);
    connect(MesureBtn, &QToolButton::clicked, this, &TMovieForm::MesureBtnClick);
    connect(OrigineBtn, &QToolButton::clicked, this, &TMovieForm::OrigineBtnClick);
    connect(EchelleBtn, &QToolButton::clicked, this, &TMovieForm::EchelleBtnClick);
    connect(OrigineItem, &QAction::triggered, this, [this] { OrigineItemClick(false); });
    connect(OrigineMobileItem, &QAction::triggered, this, [this] { OrigineItemClick(true); });
    connect(OrigineTempsBtn, &QToolButton::clicked, this, &TMovieForm::OrigineTempsBtnClick);
    connect(UndoBtn, &QToolButton::clicked, this, &TMovieForm::UndoBtnClick);
    connect(TabulaneBtn, &QToolButton::clicked, this, &TMovieForm::TabulaneBtnClick);
    connect(HelpBtn, &QToolButton::clicked, this, &TMovieForm::HelpBtnClick);
    connect(MpegCB, &QCheckBox::clicked, this, &TMovieForm::MpegCBClick);
    connect(TraceEchCB, &QCheckBox::clicked, this, &TMovieForm::RedessinerTout);
    connect(TracePointsCB, &QCheckBox::clicked, this, &TMovieForm::RedessinerTout);
    connect(CouleurAxeCB, qOverload<int>(&QComboBox::activated), this, &TMovieForm::RedessinerTout);
    connect(CouleurPointsCB, qOverload<int>(&QComboBox::activated), this, [this] {
        const int k = std::clamp(tables_.NextPoint, 0, kMaxPointsParImage);
        tables_.Couleurs[static_cast<std::size_t>(k)] =
            CouleurDepuisEntier(CouleurPointsCB->currentData().toInt());
        RedessinerTout();
    });
    connect(ZoomSE, qOverload<int>(&QSpinBox::valueChanged), this, &TMovieForm::ZoomSEChange);
    connect(NbreSE, qOverload<int>(&QSpinBox::valueChanged), this, [this](int v) {
        machine_.NbreSE = v;
        ColonnesGrille(Grid, v);
    });
    connect(IncertitudeSE, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int v) { calib_.Incertitude = v; });
    connect(EchelleEdit, &QLineEdit::editingFinished, this, &TMovieForm::EchelleEditValider);
    connect(SuivantBtn, &QToolButton::clicked, this, &TMovieForm::SuivantBtnClick);
    connect(PrecedentBtn, &QToolButton::clicked, this, &TMovieForm::PrecedentBtnClick);
    connect(PlayBtn, &QToolButton::clicked, lecteur_, &LecteurFilm::Play);
    connect(PauseBtn, &QToolButton::clicked, lecteur_, &LecteurFilm::Pause);
    connect(StopBtn, &QToolButton::clicked, lecteur_, &LecteurFilm::Stop);
    Image->SurPression = [this](QMouseEvent* e) {
        ImageMouseDown(e->button(), e->position().toPoint());
    };
    Image->SurDeplacement = [this](QMouseEvent* e) { ImageMouseMove(e->position().toPoint()); };
    Image->SurRelachement = [this](QMouseEvent* e) {
        ImageMouseUp(e->button(), e->position().toPoint());
    };
    ColonnesGrille(Grid, 1);
}

// ---- Opening ----------------------------------------------------------------------------------

void TMovieForm::OpenFileBtnClick() {
    if (FilmOuvert()) lecteur_->Stop();
    const auto nom = Dialogues().ouvrirFichierFiltre(QStringLiteral("Ouvrir"), dossierInitial_,
                                                     kFiltreFilms, filterIndex_);
    if (!nom) return;
    OuvrirFilm(*nom);
}

bool TMovieForm::OuvrirFilm(const QString& nom) {
    if (!ExtensionFilmAcceptee(nom)) {
        Dialogues().message(QStringLiteral("Extension non reconnue"));
        return false;
    }
    filmEssaye_ = nom;
    if (FilmOuvert()) lecteur_->Stop();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ouvert = lecteur_->Ouvrir(nom);
    fileName_ = ouvert ? nom : QString();
    if (ouvert) {
        Status->setTexte(3, lecteur_->DecoderName());
        tables_.Rows = 0;
        calib_.Zoom = 1;
        {
            const QSignalBlocker b(ZoomSE);
            ZoomSE->setValue(1);
        }
        const int w = lecteur_->Largeur() > 0 ? lecteur_->Largeur() : 640;
        const int h = lecteur_->Hauteur() > 0 ? lecteur_->Hauteur() : 480;
        calib_.DefautsFilm(w, h);
        Image->resize(w, h);
        Image->EffacerOverlay();
        machine_.Etat = PointingState::psIdle;
        {
            const QSignalBlocker b(MesureBtn);
            MesureBtn->setChecked(false);
        }
        setWindowTitle(kTitre + QStringLiteral(" [") + QFileInfo(nom).fileName() +
                       QStringLiteral("]"));
        calib_.Duration = lecteur_->Duration();
        TempsReelBar->PourFilm(&lecteur_->Moteur()->Infos());
        MpegCBClick();
        majEtat();
        lecteur_->DemanderCapture();
    } else {
        cadre_ = QImage();
        affiche_ = QImage();
        Status->setTexte(3, QString());
        setWindowTitle(kTitre);
        Image->update();
    }
    BoutonsEtat();
    QApplication::restoreOverrideCursor();
    return ouvert;
}

void TMovieForm::MpegCBClick() {
    FrameMode = lecteur_->FrameCount() != 0;
    if (FrameMode) {
        calib_.FramePeriod = lecteur_->Duration() / double(lecteur_->FrameCount());
        if (MpegCB->isChecked()) calib_.FramePeriod *= 2;
    } else {
        calib_.FramePeriod = 0.04;
    }
}

// ---- Player events ------------------------------------------------------------------------

double TMovieForm::temps() const {
    return TempsReelBar->Temps().Reel(lecteur_->Position());
}

void TMovieForm::majEtat() {
    Status->setTexte(0, QString::number(std::lround(lecteur_->Position() * 1000)) +
                            QStringLiteral(" ms"));
    Status->setTexte(1,
                     FrameMode ? QStringLiteral("n°=%1").arg(lecteur_->FrameIndex()) : QString());
}

void TMovieForm::PositionChangee() {
    if (!FilmOuvert()) return;
    calib_.CurrentTime = temps();
    majEtat();
    if (machine_.Etat == PointingState::psMeasure) {
        cadre_ = lecteur_->CopierImage();
        RedessinerTout();
    } else if (machine_.Etat != PointingState::psAnalysis &&
               machine_.Etat != PointingState::psAnalysisStart) {
        // No separate video window here: the picture follows the film.
        lecteur_->DemanderCapture();
    }
}

void TMovieForm::CaptureTerminee(const QImage& image) {
    if (!FilmOuvert()) return;
    majEtat();
    if (machine_.Etat == PointingState::psAnalysis ||
        machine_.Etat == PointingState::psAnalysisStart)
        return;
    cadre_ = image;
    RedessinerTout();
}

void TMovieForm::EtatLectureChange() {
    majEtat();
    lecteur_->DemanderCapture();
}

void TMovieForm::ErreurLecteur(const QString& message) {
    Status->setTexte(1, message);
}

// ---- Stepping ---------------------------------------------------------------------------------

void TMovieForm::SuivantBtnClick() {
    if (!FilmOuvert()) return;
    if (FrameMode)
        lecteur_->AllerImage(lecteur_->FrameIndex() + 1);
    else
        lecteur_->AllerTemps(lecteur_->Position() + calib_.FramePeriod);
}

void TMovieForm::PrecedentBtnClick() {
    if (!FilmOuvert()) return;
    if (FrameMode)
        lecteur_->AllerImage(lecteur_->FrameIndex() - 1);
    else
        lecteur_->AllerTemps(lecteur_->Position() - calib_.FramePeriod);
}

bool TMovieForm::Termine() const {
    // The last frame has no successor: a row recorded there ends the measurement.
    if (FrameMode) return lecteur_->FrameIndex() >= lecteur_->FrameCount() - 1;
    return lecteur_->Position() + calib_.FramePeriod > lecteur_->Duration();
}

// ---- Calibration ---------------------------------------------------------------------------

void TMovieForm::MiseAJourEchelle() {
    if (!FilmOuvert()) return;
    calib_.MettreAJourFacteurs();
    if (!machine_.OrigineMobile) tables_.OrigineUnique(calib_.Origin);
}

void TMovieForm::EchelleEditValider() {
    if (!LireLongueurEchelle(EchelleEdit, calib_)) return;
    MiseAJourEchelle();
    RedessinerTout();
}

void TMovieForm::ZoomSEChange(int z) {
    if (z == calib_.Zoom || z < 1 || z > 5) return;
    calib_.Zoom = z;
    if (!FilmOuvert()) return;
    // The zoom only stretches the picture.
    Image->resize(z * calib_.FrameWidth, z * calib_.FrameHeight);
    QCoreApplication::processEvents();
}

void TMovieForm::OrigineBtnClick() {
    if (machine_.OrigineMobile) return;
    machine_.Etat = PointingState::psOrigin;
    Inviter(QStringLiteral("Cliquer sur l'origine des axes"));
    setCurseurImage(kCurseurOrigine);
}

void TMovieForm::EchelleBtnClick() {
    machine_.Etat = PointingState::psScaleStart;
    Inviter(QStringLiteral("Début de l'échelle|Cliquer sur le début de l'échelle"));
    setCurseurImage(kCurseurCible);
}

void TMovieForm::OrigineItemClick(bool mobile) {
    if (machine_.ChangerModeOrigine(mobile, TabulaneBtn->isEnabled())) {
        const QSignalBlocker b(NbreSE);
        NbreSE->setValue(machine_.NbreSE);
        ColonnesGrille(Grid, machine_.NbreSE);
    }
    OrigineItem->setChecked(!mobile);
    OrigineMobileItem->setChecked(mobile);
    BoutonsEtat();
    RedessinerTout();
}

void TMovieForm::OrigineTempsBtnClick() {
    if (!FilmOuvert()) return;
    calib_.TimeOrigin = temps();
    ReecrireColonneTemps(Grid, calib_, tables_);
}

// ---- Pointing ---------------------------------------------------------------------------------

void TMovieForm::Inviter(const QString& aide) {
    hint_ = aide;
    DefinirAide(Image, aide);
    Status->setTexte(2, PartieLongue(aide));
}

void TMovieForm::setCurseurImage(int numero) {
    const QCursor c =
        CurseurNumero(numero == kCurseurCible ? TAviForm::CibleApplication() : numero);
    Image->setCursor(c);
    Panel1->setCursor(c);
}

void TMovieForm::stockerCase(QPoint posImage) {
    const auto etat = static_cast<std::size_t>(machine_.Etat);
    if (etat < tables_.Cases.size()) tables_.Cases[etat] = posImage;
    if (machine_.Etat == PointingState::psOrigin) calib_.Origin = posImage;
    if (machine_.Etat == PointingState::psScaleStart) calib_.ScaleStart = posImage;
    if (machine_.Etat == PointingState::psScaleEnd) calib_.ScaleEnd = posImage;
}

void TMovieForm::MesureBtnClick() {
    if (MesureBtn->isChecked()) {
        const EffetPointage e = machine_.Demarrer();
        calib_.TimeOrigin = temps();
        cadre_ = lecteur_->CopierImage();
        Inviter(e.invite);
        setCurseurImage(e.curseur);
    } else {
        const EffetPointage e = machine_.Arreter();
        Inviter(e.invite);
        setCurseurImage(crDefaut);
    }
    ColonnesGrille(Grid, machine_.NbreSE);
    BoutonsEtat();
    RedessinerTout();
}

void TMovieForm::ImageMouseDown(Qt::MouseButton bouton, QPoint posEcran) {
    if (bouton != Qt::LeftButton) return;
    const QPoint posImage = calib_.EcranVersImage(posEcran);
    if (posImage.x() >= calib_.FrameWidth || posImage.y() >= calib_.FrameHeight) return;
    stockerCase(posImage);
}

void TMovieForm::ImageMouseMove(QPoint posEcran) {
    if (machine_.Etat == PointingState::psScaleEnd) {
        Image->SetElastique(QLine(calib_.ImageVersEcran(calib_.ScaleStart), posEcran),
                            couleurAxe());
    } else if (machine_.Etat == PointingState::psMeasure) {
        setCurseurImage(kCurseurCible);
        LirePatch(cadre_, calib_.EcranVersImage(posEcran), tables_.Patches(kPatchVivant));
    }
}

void TMovieForm::ImageMouseUp(Qt::MouseButton bouton, QPoint posEcran) {
    if (bouton != Qt::LeftButton || !FilmOuvert()) return;
    const QPoint posImage = calib_.EcranVersImage(posEcran);
    // The panel is larger than the frame: a release beyond it means nothing.
    if (posImage.x() >= calib_.FrameWidth || posImage.y() >= calib_.FrameHeight) return;
    stockerCase(posImage);
    switch (machine_.Etat) {
    case PointingState::psMeasure:
        EnregistrerPoint(posImage);
        break;
    case PointingState::psOrigin:
        machine_.Etat = PointingState::psIdle;
        setCurseurImage(crDefaut);
        Inviter(QString::fromUtf8(kInviteRepos));
        MiseAJourEchelle();
        RedessinerTout();
        break;
    case PointingState::psScaleStart:
        machine_.Etat = PointingState::psScaleEnd;
        Inviter(QStringLiteral("Fin de l'échelle|Cliquer sur la fin de l'échelle"));
        RedessinerTout();
        break;
    case PointingState::psScaleEnd: {
        Image->SetElastique(QLine(), 0);
        if ((calib_.ScaleStart - calib_.ScaleEnd).manhattanLength() <= 7) {
            Dialogues().message(QStringLiteral("Points trop proches"));
            calib_.ScaleEnd = calib_.ScaleStart + QPoint(16, 16);
            break;
        }
        machine_.Etat = PointingState::psIdle;
        Inviter(QString::fromUtf8(kInviteRepos));
        setCurseurImage(crDefaut);
        const auto reponse = Dialogues().saisir(
            QStringLiteral("Echelle"), QStringLiteral("Longueur en mètre ?"), EchelleEdit->text());
        if (reponse) {
            try {
                calib_.ScaleLength = LireReel(*reponse);
                const QSignalBlocker b(EchelleEdit);
                EchelleEdit->setText(*reponse);
            } catch (const ErreurConversion&) {
            }
        }
        MiseAJourEchelle();
        RedessinerTout();
        break;
    }
    default:
        break;
    }
}

void TMovieForm::EnregistrerPoint(QPoint posImage) {
    if (!FilmOuvert() || machine_.Etat != PointingState::psMeasure) return;
    const EffetPointage e =
        machine_.Enregistrer(posImage, temps(), !Termine(), tables_.Patches(kPatchVivant));
    if (!e.invite.isEmpty()) Inviter(e.invite);
    if (e.curseur != 0) setCurseurImage(e.curseur);
    if (e.tablesPleines && !e.ligneComplete) {
        finMesure();
        Dialogues().message(QStringLiteral("Tableau plein : la mesure s'arrête"));
        return;
    }
    RedessinerTout();
    if (!e.ligneComplete) return;
    BoutonsEtat();
    if (e.avancer && !Termine()) {
        SuivantBtnClick();
    } else {
        finMesure();
        if (e.tablesPleines)
            Dialogues().message(QStringLiteral("Tableau plein : la mesure s'arrête"));
    }
}

void TMovieForm::finMesure() {
    machine_.Etat = PointingState::psIdle;
    Inviter(QString::fromUtf8(kInviteRepos));
    {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
    }
    BoutonsEtat();
    RedessinerTout();
}

void TMovieForm::UndoBtnClick() {
    const EffetPointage e = machine_.Defaire();
    Inviter(e.invite);
    setCurseurImage(e.curseur);
    RedessinerTout();
    BoutonsEtat();
    PrecedentBtnClick();
}

// ---- Drawing ---------------------------------------------------------------------------------

QRgb TMovieForm::couleurAxe() const {
    return CouleurDepuisEntier(CouleurAxeCB->currentData().toInt());
}

void TMovieForm::afficher(const QImage& image) {
    affiche_ = image;
    Image->update();
}

void TMovieForm::RedessinerTout() {
    if (!FilmOuvert()) return;
    MiseAJourEchelle();
    // The figures go into the picture itself, in image pixels.
    QImage image = cadre_.isNull()
                       ? QImage(calib_.FrameWidth, calib_.FrameHeight, QImage::Format_RGB888)
                       : cadre_.copy();
    if (cadre_.isNull()) image.fill(Qt::black);
    {
        QPainter p(&image);
        OptionsDessinMesures o;
        o.axes = TraceEchCB->isChecked();
        o.points = TracePointsCB->isChecked();
        o.origineMobile = machine_.OrigineMobile;
        o.nbrePoints = machine_.NbreSE;
        o.couleurAxe = couleurAxe();
        o.largeur = calib_.FrameWidth;
        o.hauteur = calib_.FrameHeight;
        EtiquettesDessinees.clear();
        DessinerMesures(
            p, calib_, tables_, o, [](QPoint q) { return q; }, &EtiquettesDessinees);
    }
    afficher(image);
    if (Grid->rowCount() < tables_.Rows + 2) Grid->setRowCount(tables_.Rows + 4);
    for (int i = 0; i < tables_.Rows; ++i)
        EcrireLigneGrille(Grid, calib_, tables_, i, machine_.NbreSE);
    ViderLignesApres(Grid, tables_.Rows);
}

// ---- Buttons, transfer, help, closing ----------------------------------------------------------

void TMovieForm::BoutonsEtat() {
    const bool film = FilmOuvert();
    const bool mesure = MesureBtn->isChecked();
    MediaPlayer->setVisible(film);
    for (QWidget* w : std::initializer_list<QWidget*>{EchelleBtn, OrigineBtn, NbreSE})
        w->setEnabled(film && !mesure);
    EchelleEdit->setEnabled(film);
    OrigineTempsBtn->setEnabled(film);
    // Chronophotography is not offered on this form yet.
    ChronoPhotoBtn->setEnabled(false);
    MesureBtn->setEnabled(film);
    TabulaneBtn->setEnabled(tables_.Rows > 3);
    UndoBtn->setEnabled(film && mesure && tables_.Rows > 0);
}

void TMovieForm::TabulaneBtnClick() {
    MiseAJourEchelle();
    TransfererMesures(calib_, tables_, machine_.NbreSE, fileName_, true);
    {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
    }
    BoutonsEtat();
}

void TMovieForm::HelpBtnClick() {
    AideCodecDlg().SetFilm(fileName_.isEmpty() ? filmEssaye_ : fileName_);
    AideCodecDlg().exec();
}

void TMovieForm::closeEvent(QCloseEvent* e) {
    try {
        lecteur_->Stop();
        lecteur_->Fermer();
    } catch (...) {
    }
    fileName_.clear();
    TTradForm::closeEvent(e);
}

} // namespace kinepo
