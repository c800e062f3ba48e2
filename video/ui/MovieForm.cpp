#include "video/ui/MovieForm.h"

#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "platform/video/LecteurFilm.h"
#include "platform/video/MoteurVideo.h"
#include "shell/base/Curseurs.h"
#include "shell/base/PanneauImage.h"
#include "shell/base/PanneauxEtat.h"
#include "shell/base/RoutageAide.h"
#include "video/suivi/PasseAnalyse.h"
#include "video/ui/BarreTempsReel.h"
#include "video/ui/DessinOverlay.h"
#include "video/ui/GrilleResultats.h"
#include "video/ui/MesuresVideo.h"
#include "video/ui/Vignettes.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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

TMovieForm::TMovieForm(QWidget* parent)
    : TFormeVideo(parent, {80, 80, 0, 120}), lecteur_(new LecteurFilm(this)) {
    setWindowTitle(kTitre);
    // This form keeps no transfer target: only the "AVI" section is written.
    sectionSave_ = false;
    construireControles();
    connect(lecteur_, &LecteurFilm::PositionChangee, this, &TMovieForm::PositionChangee);
    connect(lecteur_, &LecteurFilm::CaptureTerminee, this, &TMovieForm::CaptureTerminee);
    connect(lecteur_, &LecteurFilm::EtatChange, this, &TMovieForm::EtatLectureChange);
    connect(lecteur_, &LecteurFilm::Erreur, this, &TMovieForm::ErreurLecteur);
    achever();
}

TMovieForm::~TMovieForm() {
    EcrireReglages();
}

void TMovieForm::construireControles() {
    DefinirAide(OpenBtn, QStringLiteral("|Ouverture d'un fichier video"));
    MesureAutoCB->hide();
    MpegCB = new QCheckBox(QStringLiteral("1 trame sur 2"), this);
    placerBarres({OpenBtn, MesureBtn, ChronoPhotoBtn, OrigineBtn, EchelleBtn, OrigineTempsBtn,
                  UndoBtn, TabulaneBtn, HelpBtn},
                 {LabelEchelle, EchelleEdit, IncertitudeSE, LabelIncert, LabelZoom, ZoomSE,
                  LabelNbreSE, NbreSE, MpegCB});
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
    panneauCurseur_ = Panel1;
    auto* colonneImage = new QVBoxLayout(Panel1);
    colonneImage->setContentsMargins(0, 0, 0, 0);
    ZoneImage->setParent(Panel1);
    Image->resize(320, 240);
    Image->SourceImage = [this] {
        if (affiche_.isNull() || calib_.Zoom == 1) return affiche_;
        return affiche_.scaled(affiche_.size() * calib_.Zoom, Qt::KeepAspectRatio,
                               Qt::FastTransformation);
    };
    colonneImage->addWidget(ZoneImage, 1);
    Grid->setParent(splitter);
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

    connect(MpegCB, &QCheckBox::clicked, this, &TMovieForm::MpegCBClick);
    connect(SuivantBtn, &QToolButton::clicked, this, &TMovieForm::SuivantBtnClick);
    connect(PrecedentBtn, &QToolButton::clicked, this, &TMovieForm::PrecedentBtnClick);
    connect(PlayBtn, &QToolButton::clicked, lecteur_, &LecteurFilm::Play);
    connect(PauseBtn, &QToolButton::clicked, lecteur_, &LecteurFilm::Pause);
    connect(StopBtn, &QToolButton::clicked, lecteur_, &LecteurFilm::Stop);
    for (QObject* o : std::initializer_list<QObject*>{Image, Grid, EchelleEdit})
        o->installEventFilter(this);
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

void TMovieForm::majEtat() {
    Status->setTexte(0, QString::number(std::lround(lecteur_->Position() * 1000)) +
                            QStringLiteral(" ms"));
    Status->setTexte(1,
                     FrameMode ? QStringLiteral("n°=%1").arg(lecteur_->FrameIndex()) : QString());
}

void TMovieForm::PositionChangee() {
    if (!FilmOuvert()) return;
    calib_.CurrentTime = TempsImageCourante();
    majEtat();
    if (machine_.Etat == PointingState::psMeasure) {
        cadre_ = lecteur_->CopierImage();
        RedessinerTout();
    } else if (machine_.Etat == PointingState::psAnalysis) {
        // The pass runs from the event loop: stepping on from inside the position change
        // would nest one call per frame of the film.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (machine_.Etat == PointingState::psAnalysis && Suivi.PasseAnalyse)
                    Suivi.PasseAnalyse(*this);
            },
            Qt::QueuedConnection);
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

// ---- Frames, zoom and time ----------------------------------------------------------------

// The time of the frame on screen: its own timestamp, on the clock the real-time strip shows.
double TMovieForm::TempsImageCourante() const {
    return TempsReelBar->Temps().Reel(lecteur_->Position());
}

void TMovieForm::ZoomSEChange(int z) {
    if (z == calib_.Zoom || z < 1 || z > 5) return;
    calib_.Zoom = z;
    if (!FilmOuvert()) return;
    // The zoom only stretches the picture.
    Image->resize(z * calib_.FrameWidth, z * calib_.FrameHeight);
    QCoreApplication::processEvents();
}

// ---- Pointing ---------------------------------------------------------------------------------

void TMovieForm::MesureBtnClick() {
    if (MesureBtn->isChecked()) {
        demarrerPointage();
        calib_.TimeOrigin = OrigineDesTempsAuDepart();
        cadre_ = lecteur_->CopierImage();
    } else {
        arreterPointage();
    }
    mesureBasculee_ = true;
    ColonnesGrille();
    BoutonsEtat();
    RedessinerTout();
}

void TMovieForm::ChronoPhotoBtnClick() {
    if (Suivi.ChronoPhoto) Suivi.ChronoPhoto(*this);
    // No target to click on this form: the analysis starts at once on the current frame.
    if (machine_.Etat == PointingState::psAnalysisStart && Suivi.DebutAnalyse)
        Suivi.DebutAnalyse(*this);
    BoutonsEtat();
}

QImage TMovieForm::ImageAnalyse() {
    cadre_ = lecteur_->CopierImage();
    return calib_.Zoom == 1 ? cadre_ : ImageAfficheeDepuisDecodee(cadre_, calib_.Zoom);
}

bool TMovieForm::HorsImage(QPoint posImage) const {
    return posImage.x() >= calib_.FrameWidth || posImage.y() >= calib_.FrameHeight;
}

void TMovieForm::LirePatchVivant(QPoint posEcran) {
    SetCurseurImage(kCurseurCible);
    LirePatch(cadre_, calib_.EcranVersImage(posEcran), tables_.Patches(kPatchVivant));
}

void TMovieForm::MarquerClic(QPoint) {
    // The cross is one of the figures drawn into the picture.
    RedessinerTout();
}

void TMovieForm::ApresPoint(const EffetPointage&, int, int, QPoint) {
    // The whole grid is rewritten from the tables with the figures.
    RedessinerTout();
    BoutonsEtat();
}

void TMovieForm::UndoBtnClick() {
    defairePoint();
    RedessinerTout();
    BoutonsEtat();
    PrecedentBtnClick();
}

// ---- Drawing ---------------------------------------------------------------------------------

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
        EtiquettesDessinees.clear();
        DessinerMesures(
            p, calib_, tables_, optionsDessin(calib_.FrameWidth, calib_.FrameHeight),
            [](QPoint q) { return q; }, &EtiquettesDessinees);
    }
    affiche_ = image;
    Image->update();
    reecrireGrille();
}

// ---- Buttons, transfer, help, closing ----------------------------------------------------------

void TMovieForm::BoutonsEtat() {
    TFormeVideo::BoutonsEtat();
    MediaPlayer->setVisible(FilmOuvert());
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

void TMovieForm::closeEvent(QCloseEvent* e) {
    EcrireReglages();
    arreterTout();
    try {
        lecteur_->Stop();
        lecteur_->Fermer();
    } catch (...) {
    }
    fileName_.clear();
    TTradForm::closeEvent(e);
}

} // namespace kinepo
