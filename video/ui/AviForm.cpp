#include "video/ui/AviForm.h"

#include "common/Arrondi.h"
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
#include "video/ui/BarreTempsReel.h"
#include "video/ui/DessinOverlay.h"
#include "video/ui/GrilleResultats.h"
#include "video/ui/IconesAvi.h"
#include "video/ui/MesuresVideo.h"
#include "video/ui/Vignettes.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
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

const QString kFiltreOuverture =
    QStringLiteral("video  AVI (*.avi);;video MPEG (*.mpg *.mpeg);;video DivX (*.divx);;video "
                   "MP4/MOV (*.mp4 *.mov)");
const QString kFiltreExport = QStringLiteral("Tableur (*.csv);;Tableur ASCII (*.txt)");

} // namespace

TAviForm::TAviForm(QWidget* parent)
    : TFormeVideo(parent, {80, 80, 0}), lecteur_(new LecteurMci(this)) {
    setWindowTitle(QStringLiteral("Lecture de fichier AVI pour Tabulane"));
    construireControles();
    connect(lecteur_, &LecteurMci::Notification, this, &TAviForm::MediaPlayerNotify);
    connect(lecteur_, &LecteurMci::ImageChangee, Image, qOverload<>(&QWidget::update));
    achever();
}

TAviForm::~TAviForm() {
    EcrireReglages();
}

void TAviForm::construireControles() {
    DefinirAide(OpenBtn, QStringLiteral("|Ouverture d'un fichier image"));
    RazBtn =
        BoutonOutil(this, QStringLiteral("RàZ"), QStringLiteral("|Effacer toutes les mesures"));
    RefreshBtn =
        BoutonOutil(this, QStringLiteral("&Rafraichir"), QStringLiteral("|Rafraichir l'image"));
    SavePopupMenu = new QMenu(this);
    menuExclusif<CibleSauvegarde>(SavePopupMenu,
                                  {{&TabulaneM, "vers Tabulane", CibleSauvegarde::Tabulane},
                                   {&ClipM, "vers presse papiers", CibleSauvegarde::PressePapiers},
                                   {&FileM, "vers fichier", CibleSauvegarde::Fichier}},
                                  [this](CibleSauvegarde c) { TabulaneMClick(c); });
    TabulaneM->setIcon(IconeSauvegarde(CibleSauvegarde::Tabulane));
    ClipM->setIcon(IconeSauvegarde(CibleSauvegarde::PressePapiers));
    FileM->setIcon(IconeSauvegarde(CibleSauvegarde::Fichier));
    TabulaneM->setChecked(true);
    TabulaneBtn->setMenu(SavePopupMenu);
    for (QToolButton* b : {EchelleBtn, OrigineBtn, TabulaneBtn})
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    TabulaneBtn->setPopupMode(QToolButton::MenuButtonPopup);
    VidcapBtn = BoutonOutil(this, QStringLiteral("&Vidcap"), QString());
    CodecLabel = new QLabel(this);
    DefinirAide(CodecLabel, QStringLiteral("Codec"));
    NbreImagesSE = new QSpinBox(this);
    NbreImagesSE->setRange(1, kCadenceMaxAffichable);
    NbreImagesSE->setValue(25);
    DefinirAide(NbreImagesSE, QStringLiteral("|Nombre d'images par seconde"));
    Label2 = new QLabel(QStringLiteral("  images/s  "), this);
    Label4 = new QLabel(QStringLiteral(" –t= "), this);
    DureeEdit = new QLineEdit(this);
    DureeEdit->setMaximumWidth(80);
    placerBarres({OpenBtn, MesureBtn, MesureAutoCB, ChronoPhotoBtn, OrigineBtn, EchelleBtn,
                  OrigineTempsBtn, UndoBtn, RazBtn, RefreshBtn, TabulaneBtn, VidcapBtn, HelpBtn,
                  CodecLabel},
                 {LabelEchelle, EchelleEdit, NbreImagesSE, Label2, Label4, DureeEdit, IncertitudeSE,
                  LabelIncert, LabelZoom, ZoomSE, LabelNbreSE, NbreSE});
    // Capture programs are not looked for on this platform: the button stays hidden. The
    // period field only replaces the rate box for a very slow film.
    for (QToolBar* barre : {ToolBar1, ToolBar2})
        for (QAction* a : barre->actions()) {
            QWidget* w = barre->widgetForAction(a);
            if (w == VidcapBtn || w == DureeEdit || w == Label4) a->setVisible(false);
        }
    TempsReelBar = new BarreTempsReel(this);
    ToolBar2->addWidget(TempsReelBar);
    connect(TempsReelBar, &BarreTempsReel::Change, this, [this](const TempsReel& avant) {
        const bool images = lecteur_->Format() == LecteurMci::FormatTemps::Images;
        TempsReelBar->Reechelonner(avant, calib_, tables_, Grid, images ? calib_.FramePeriod : 0);
        TempsLabel->setText(TexteTemps(calib_.CurrentTime, calib_.Duration, SeparateurDecimal()));
    });

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
    ZoneImage->setParent(gauche);
    Image->resize(322, 242);
    Image->SourceImage = [this] { return FilmOuvert() ? lecteur_->ImageAffichee() : QImage(); };
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
    Grid->setParent(GridTS);
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

    // Wiring of this form's own controls (the shared ones are wired by TFormeVideo).
    connect(RazBtn, &QToolButton::clicked, this, &TAviForm::RazBtnClick);
    connect(RefreshBtn, &QToolButton::clicked, this, &TAviForm::PosterRafraichissement);
    connect(NbreImagesSE, qOverload<int>(&QSpinBox::valueChanged), this,
            &TAviForm::NbreImagesSEChange);
    connect(DureeEdit, &QLineEdit::editingFinished, this, &TAviForm::DureeEditValider);
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
    champsNumeriques_.push_back(DureeEdit);
    for (QObject* o :
         std::initializer_list<QObject*>{EditBidon, Image, Grid, EchelleEdit, DureeEdit})
        o->installEventFilter(this);
}

// ---- Settings: the shared ones and the transfer target ---------------------------------------

ReglagesAvi TAviForm::Reglages() const {
    ReglagesAvi r = TFormeVideo::Reglages();
    r.Sauvegarde = cibleSauvegarde_;
    return r;
}

void TAviForm::AppliquerReglages(const ReglagesAvi& r) {
    TFormeVideo::AppliquerReglages(r);
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
    TempsReelBar->PourFilm(&lecteur_->Moteur()->Infos());
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
            TempsLabel->setText(
                TexteTemps(TempsImageCourante(), calib_.Duration, SeparateurDecimal()));
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
        calib_.CurrentTime = TempsReelBar->Temps().TempsPosition(
            P, lecteur_->Format() == LecteurMci::FormatTemps::Images, calib_.FramePeriod);
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

void TAviForm::NbreImagesSEChange(int valeur) {
    if (valeur <= 0) return;
    if (FilmOuvert() && valeur != calib_.FileFrameRate)
        lecteur_->SetFormat(LecteurMci::FormatTemps::Images);
    calib_.FramePeriod = 1.0 / valeur;
    if (FilmOuvert() && lecteur_->Format() == LecteurMci::FormatTemps::Images) {
        calib_.CurrentTime = tables_.Retimer(TempsReelBar->Temps().Periode(calib_.FramePeriod));
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
        calib_.CurrentTime = tables_.Retimer(TempsReelBar->Temps().Periode(calib_.FramePeriod));
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

double TAviForm::TempsImageCourante() const {
    return TempsReelBar->Temps().TempsPosition(
        lecteur_->Position(), lecteur_->Format() == LecteurMci::FormatTemps::Images,
        calib_.FramePeriod);
}

void TAviForm::RendreFocus() {
    EditBidon->setFocus();
}

// ---- Pointing ----------------------------------------------------------------------------

void TAviForm::MesureBtnClick() {
    if (MesureBtn->isChecked()) {
        calib_.TimeOrigin = OrigineDesTempsAuDepart();
        if (MesureAutoCB->isChecked() && Suivi.Armer)
            Suivi.Armer(*this);
        else
            demarrerPointage();
    } else {
        if (Suivi.Arret) Suivi.Arret(*this);
        arreterPointage();
        if (Suivi.Bilan) Suivi.Bilan(*this);
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

QImage TAviForm::ImageAnalyse() {
    return lecteur_->ImageAffichee();
}

void TAviForm::AvancerUneImage() {
    Busy = false;
    lecteur_->Pas(+1, true);
}

void TAviForm::MontrerProgressionAnalyse() {
    if (const MoteurVideo* m = lecteur_->Moteur())
        Status->setTexte(1, QStringLiteral("%1 / %2")
                                .arg(lecteur_->ImageCourante() + 1)
                                .arg(m->Infos().nombreImages));
}

void TAviForm::MarquerClic(QPoint posImage) {
    petiteCroixOverlay(posImage, couleurAxe());
}

void TAviForm::ApresPoint(const EffetPointage& e, int i, int k, QPoint posImage) {
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
}

void TAviForm::UndoBtnClick() {
    defairePoint();
    UndoBtn->setEnabled(tables_.Rows > 0);
    Busy = false;
    if (FilmOuvert()) lecteur_->Pas(-1, true);
}

void TAviForm::RazBtnClick() {
    if (!Dialogues().confirmer(QStringLiteral("Suppression des données"))) return;
    tables_.Rows = 0;
    BoutonsEtat();
}

// ---- Drawing --------------------------------------------------------------------------------

void TAviForm::RedessinerTout() {
    if (!FilmOuvert()) return;
    const bool miroir = PageControl->currentWidget() == DessinTS;
    QImage* dessin = miroir ? &DessinPB->Dessin() : nullptr;
    MiseAJourEchelle();
    OptionsDessinMesures o = optionsDessin(Image->width(), Image->height());
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
    reecrireGrille();
    if (MesureBtn->isChecked() && machine_.Etat == PointingState::psMeasure)
        SetCurseurImage(tables_.NextPoint > 0 ? kCurseurCible : kCurseurOrigine);
    Image->update();
    EditBidon->setFocus();
}

void TAviForm::LirePatchVivant(QPoint posEcran) {
    LirePatch(lecteur_->ImageAffichee(), posEcran, tables_.Patches(kPatchVivant));
}

void TAviForm::BoutonsEtat() {
    const bool film = FilmOuvert();
    TFormeVideo::BoutonsEtat();
    PanelMediaPlayer->setVisible(film);
    RefreshBtn->setEnabled(film);
    RazBtn->setEnabled(film && !MesureBtn->isChecked() && tables_.Rows > 3);
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
    TFormeVideo::showEvent(e);
    verifierEditionSimplifiee();
}

void TAviForm::resizeEvent(QResizeEvent* e) {
    TTradForm::resizeEvent(e);
    PosterRafraichissement();
}

void TAviForm::closeEvent(QCloseEvent* e) {
    EcrireReglages();
    // No measurement outlives its film.
    arreterTout();
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
