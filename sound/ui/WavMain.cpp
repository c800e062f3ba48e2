#include "sound/ui/WavMain.h"

#include "common/Arrondi.h"
#include "common/Cp1252.h"
#include "common/EcritureAtomique.h"
#include "common/IniFile.h"
#include "platform/Chemins.h"
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "shell/base/Curseurs.h"
#include "shell/base/PanneauxEtat.h"
#include "shell/base/RoutageAide.h"
#include "sound/TexteSon.h"
#include "sound/ui/TestInWav.h"
#include "transfer/ui/Transfert.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdlib>

namespace kinepo {

// ---- creation ----------------------------------------------------------------------------

namespace {

QToolButton* Bouton(QWidget* parent, QLayout* l, const QString& texte, const QString& aide) {
    auto* b = new QToolButton(parent);
    b->setText(texte);
    b->setAutoRaise(true);
    DefinirAide(b, aide);
    l->addWidget(b);
    return b;
}

const QEvent::Type kEvenementEnregistrement =
    static_cast<QEvent::Type>(QEvent::User + TWaveForm::kMessageEnregistrement);

QString AvecExtension(const QString& nom, const QString& extension) {
    return QFileInfo(nom).suffix().isEmpty() ? nom + extension : nom;
}

// What the reader takes: WAV of any sample format, and the compressed sounds of phones and
// audio editors, which are decoded into 16 bits.
const QString kFiltreSons = QStringLiteral(
    "Fichiers sons (*.wav *.WAV *.m4a *.M4A *.aac *.AAC *.mp3 *.MP3 *.ogg *.OGG *.oga *.opus "
    "*.OPUS *.flac *.FLAC)");

// The text shown when a file cannot be read: the reader's own message, or for a file without a
// single complete frame (the reader gives no text then) a sentence saying so.
QString TexteErreurLecture(const EWavError& e) {
    return e.message().isEmpty() ? QStringLiteral("Le fichier ne contient aucun échantillon")
                                 : e.message();
}

} // namespace

TWaveForm::TWaveForm(QWidget* parent)
    : TTradForm(parent), son_(std::make_unique<TamponSon>()), lecteur_(CreerLecteurSon()) {
    setWindowTitle(QStringLiteral("Lecture de fichier .Wav pour Tabulane"));
    resize(800, 560);
    auto* centre = new QWidget(this);
    auto* vertical = new QVBoxLayout(centre);
    vertical->setContentsMargins(2, 2, 2, 2);

    auto* BoutonsPanel = new QWidget(centre);
    auto* h = new QHBoxLayout(BoutonsPanel);
    h->setContentsMargins(0, 0, 0, 0);
    OpenFileBtn = Bouton(BoutonsPanel, h, QStringLiteral("Ouvrir"),
                         QStringLiteral("Ouvrir|Ouverture d'un fichier son .WAV"));
    SaveFileBtn = Bouton(BoutonsPanel, h, QStringLiteral("Enregistrer .WAV"),
                         QStringLiteral("Enregistrer|Sauver dans un fichier son .WAV"));
    TabulaneBtn = Bouton(BoutonsPanel, h, QStringLiteral("Tabulane"),
                         QStringLiteral("Tabulane|Envoi de données vers Tabulane"));
    SaveDataBtn = Bouton(BoutonsPanel, h, QStringLiteral("Enregistrer .TXT"),
                         QStringLiteral("Enregistrer|Sauver dans un fichier texte"));
    RecordBtn = Bouton(BoutonsPanel, h, QStringLiteral("Enregistre"),
                       QStringLiteral("Enregistre|Début de l'enregistrement"));
    StopBtn = Bouton(BoutonsPanel, h, QStringLiteral("Stop"),
                     QStringLiteral("Stop|Arrêt de l'enregistrement"));
    ModeBtn = Bouton(BoutonsPanel, h, QStringLiteral("Mode"),
                     QStringLiteral("Configuration de l'enregistrement"));
    PlayBtn = Bouton(BoutonsPanel, h, QStringLiteral("Ecouter"), QStringLiteral("Ecouter"));
    BoucleCB = new QCheckBox(QStringLiteral("Lecture en boucle"), BoutonsPanel);
    h->addWidget(BoucleCB);
    StereoCB = new QCheckBox(QStringLiteral("Stéréo"), BoutonsPanel);
    DefinirAide(StereoCB, QStringLiteral("|Envoie les voies gauches et droites à Tabulane"));
    h->addWidget(StereoCB);
    h->addStretch(1);
    ExitBtn = Bouton(BoutonsPanel, h, QStringLiteral("Quitter"), QStringLiteral("Quitter"));
    vertical->addWidget(BoutonsPanel);

    auto* infos = new QHBoxLayout;
    infos->addWidget(new QLabel(QStringLiteral("Fichier :"), centre));
    DureeTot = new QLabel(centre);
    FreqLabel = new QLabel(centre);
    infos->addWidget(DureeTot);
    infos->addWidget(FreqLabel);
    infos->addSpacing(30);
    infos->addWidget(new QLabel(QStringLiteral("Transfert :"), centre));
    DureeReg = new QLabel(centre);
    FreqRegLabel = new QLabel(centre);
    infos->addWidget(DureeReg);
    infos->addWidget(FreqRegLabel);
    infos->addStretch(1);
    PositionLabel = new QLabel(centre);
    infos->addWidget(PositionLabel);
    vertical->addLayout(infos);

    Splitter = new QSplitter(Qt::Vertical, centre);
    PaintBox = new BoitePeinture(Splitter);
    PaintBox->setMinimumHeight(20);
    PaintBox->setMouseTracking(true);
    PaintBoxZoom = new BoitePeinture(Splitter);
    Splitter->addWidget(PaintBox);
    Splitter->addWidget(PaintBoxZoom);
    Splitter->setSizes({100, 400});
    Splitter->installEventFilter(this);
    vertical->addWidget(Splitter, 1);
    setCentralWidget(centre);

    StatusBar = new PanneauxEtat({380, 0}, this);
    setStatusBar(StatusBar);

    Timer1 = new QTimer(this);
    Timer1->setInterval(110);

    SaveFileBtn->hide();
    TabulaneBtn->hide();
    SaveDataBtn->hide();
    StopBtn->hide();
    PlayBtn->hide();
    PositionLabel->hide();
    StereoCB->hide();

    connect(OpenFileBtn, &QToolButton::clicked, this, &TWaveForm::OpenFileBtnClick);
    connect(SaveFileBtn, &QToolButton::clicked, this, &TWaveForm::SaveFileBtnClick);
    connect(TabulaneBtn, &QToolButton::clicked, this, &TWaveForm::TabulaneBtnClick);
    connect(SaveDataBtn, &QToolButton::clicked, this, &TWaveForm::SaveDataBtnClick);
    connect(RecordBtn, &QToolButton::clicked, this, &TWaveForm::RecordBtnClick);
    connect(StopBtn, &QToolButton::clicked, this, &TWaveForm::StopBtnClick);
    connect(ModeBtn, &QToolButton::clicked, this, &TWaveForm::ModeBtnClick);
    connect(PlayBtn, &QToolButton::clicked, this, &TWaveForm::PlayBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &QWidget::close);
    connect(Timer1, &QTimer::timeout, this, &TWaveForm::Timer1Timer);
    connect(lecteur_.get(), &LecteurSon::Termine, this, &TWaveForm::MediaPlayerNotify);

    PaintBox->peindre = [this](QPainter& p) { PeindreVue(p); };
    PaintBox->appui = [this](QMouseEvent* e) { PaintBoxMouseDown(e); };
    PaintBox->deplacement = [this](QMouseEvent* e) { PaintBoxMouseMove(e); };
    PaintBox->relache = [this](QMouseEvent* e) { PaintBoxMouseUp(e); };
    PaintBoxZoom->peindre = [this](QPainter& p) { PeindreZoom(p); };

    graphe_.FixerDonnees(son_->Octets(), 1);
    grapheZoom_.FixerDonnees(son_->Octets(), 1);

    CheminEnregistrement =
        FichierPresExecutable(QStringLiteral(".wav"), DossierDonneesUtilisateur());
    LireReglages();

    RoutageAide::Instance().EnregistrerForme(
        this, [this](const QString& t) { StatusBar->setTexte(0, t); });
    RoutageAide::Instance().EnregistrerActivation(this, [this] {
        if (SonCharge() && !lecteur_->EstOuvert()) OuvrirLecteur();
    });
    FormCreate();
}

TWaveForm::~TWaveForm() {
    Timer1->stop();
    FermerLecteur();
    if (enregistreur_) enregistreur_->Fermer();
    EcrireReglages();
}

void TWaveForm::LireReglages() {
    const IniFile ini(NomFichierIni());
    reglages_.freq =
        std::uint32_t(ini.lireEntier(QStringLiteral("Wav"), QStringLiteral("freq"), 11025));
    reglages_.bits =
        std::uint32_t(ini.lireEntier(QStringLiteral("Wav"), QStringLiteral("bits"), 8));
    reglages_.mode = ini.lireEntier(QStringLiteral("Wav"), QStringLiteral("Mode"), 0);
}

void TWaveForm::EcrireReglages() {
    IniFile ini(NomFichierIni());
    ini.ecrireEntier(QStringLiteral("Wav"), QStringLiteral("freq"), int(reglages_.freq));
    ini.ecrireEntier(QStringLiteral("Wav"), QStringLiteral("bits"), int(reglages_.bits));
    ini.ecrireEntier(QStringLiteral("Wav"), QStringLiteral("Mode"), reglages_.mode);
    ini.enregistrer(); // a settings file that cannot be written is skipped
}

// ---- reading -----------------------------------------------------------------------------

void TWaveForm::OpenFileBtnClick() {
    const auto nom = Dialogues().ouvrirFichier(QString(), dossier_, kFiltreSons);
    if (!nom) return;
    LireFichier(*nom);
    SaveFileBtn->hide();
}

void TWaveForm::LireFichier(const QString& nomFichier) {
    const bool existe = QFileInfo::exists(nomFichier);
    bool lu = false;
    try {
        son_->Read(nomFichier);
        lu = existe;
    } catch (const EWavError& e) {
        // The user is told why before the form goes back to its empty state.
        Dialogues().message(TexteErreurLecture(e));
        Reinitialiser();
    }
    if (!existe) return;
    if (lu) {
        // The next recording uses the last file's frequency.
        reglages_.freq = son_->Frequence();
        MiseEnPlace();
    }
    vueAJour_ = false;
    PaintBox->update();
    PaintBoxZoom->update();
    MettreAJourSousEchantillonnage();
}

void TWaveForm::MiseEnPlace() {
    TabulaneBtn->show();
    SaveDataBtn->show();
    StereoCB->setVisible(son_->Stereo());
    if (!son_->Stereo()) StereoCB->setChecked(false);
    setWindowTitle(TitreFormeSon(son_->NomFichier(), son_->Tronque(), son_->Converti()));
    graphe_.FixerDonnees(son_->Octets(), std::size_t(son_->DebutDonnees() + son_->OctetsDonnees()));
    grapheZoom_.FixerDonnees(son_->Octets(),
                             std::size_t(son_->DebutDonnees() + son_->OctetsDonnees()));
    selection_ = SelectionParDefaut(son_->NbEchantillons());
    DureeTot->setText(TexteDuree(son_->NbEchantillons(), son_->Frequence()));
    FreqLabel->setText(TexteFreqFichier(son_->Frequence(), son_->Bits()));
    // The block has new contents: whatever the player held is gone.
    FermerLecteur();
    OuvrirLecteur();
    PreparerVue();
    bordGauche_ = PixelDe(selection_.debut);
    bordDroit_ = PixelDe(selection_.fin);
    AppliquerSelection();
    PlayBtn->show();
}

void TWaveForm::Reinitialiser() {
    son_->EffacerNom();
    TabulaneBtn->hide();
    SaveDataBtn->hide();
    PlayBtn->hide();
    StereoCB->hide();
    StereoCB->setChecked(false);
    setWindowTitle(TitreFormeSon(QString(), false));
    // No sound is described any more: the labels of the last one would mislead.
    DureeTot->clear();
    FreqLabel->clear();
    DureeReg->clear();
    StatusBar->setTexte(1, QString());
    FermerLecteur();
    lecteur_->SetNomFichier(QString());
    graphe_.FixerDonnees(son_->Octets(), 1);
    grapheZoom_.FixerDonnees(son_->Octets(), 1);
}

void TWaveForm::OuvrirLecteur() {
    if (!SonCharge()) return;
    FormatPcm f{son_->Frequence(), son_->Bits(), son_->Voies()};
    lecteur_->Ouvrir(son_->NomFichier(), f, son_->Octets() + son_->DebutDonnees(),
                     son_->OctetsDonnees());
    if (lecteur_->Format() != LecteurSon::FormatTemps::Millisecondes &&
        lecteur_->Format() != LecteurSon::FormatTemps::Echantillons)
        lecteur_->SetFormat(LecteurSon::FormatTemps::Echantillons);
}

void TWaveForm::FermerLecteur() {
    // A playback cut short (another file, a recording, the form closed) ends as if it had
    // finished, so that its cursor and timer do not linger.
    const bool enLecture = lecteur_->EnLecture();
    lecteur_->Arreter();
    lecteur_->Fermer();
    if (enLecture) FinDeLecture();
}

void TWaveForm::FinDeLecture() {
    PlayBtn->setVisible(SonCharge());
    // The stop button stays only for a recording that is still running.
    if (!enregistreur_ && !arret_) StopBtn->hide();
    if (!arret_) Timer1->stop();
    PositionLabel->hide();
    curseurVisible_ = false;
    PaintBox->update();
}

// ---- selection ---------------------------------------------------------------------------

void TWaveForm::PreparerVue() {
    graphe_.rect = PaintBox->rect();
    graphe_.first = 0;
    graphe_.last = std::max(son_->NbEchantillons() - 1, 0);
    // The same mapping as the plot's drawing uses, so that edges and samples agree.
    const double etendue = double(graphe_.last) - double(graphe_.first);
    graphe_.mondeX.a = etendue > 0 ? double(graphe_.rect.width()) / etendue : 1.0;
    graphe_.mondeX.b = graphe_.rect.x();
}

int TWaveForm::PixelDe(std::int32_t echantillon) {
    return graphe_.MondeVersEcran(0, echantillon).x();
}

void TWaveForm::DefinirSelection(const Selection& s) {
    selection_ = s;
    PreparerVue();
    bordGauche_ = PixelDe(s.debut);
    bordDroit_ = PixelDe(s.fin);
    PaintBox->update();
    PaintBoxZoom->update();
    AppliquerSelection();
}

void TWaveForm::AppliquerSelection() {
    const std::uint32_t f = son_->Frequence();
    if (lecteur_->Format() == LecteurSon::FormatTemps::Millisecondes && f > 0) {
        lecteur_->SetDebut(Arrondi(selection_.debut * 1000.0 / f));
        lecteur_->SetFin(Arrondi(selection_.fin * 1000.0 / f));
    } else {
        lecteur_->SetDebut(selection_.debut);
        lecteur_->SetFin(selection_.fin);
    }
    DureeReg->setText(TexteDuree(double(selection_.fin - selection_.debut), f));
    StatusBar->setTexte(1, TexteNoteSousEchantillonnage(son_->NbEchantillons(), f));
    MettreAJourSousEchantillonnage();
}

void TWaveForm::MettreAJourSousEchantillonnage() {
    sous_ = CalculerSousEchantillonnage(son_->Frequence(), selection_);
    FreqRegLabel->setText(SonCharge() ? TexteFreqTransfert(sous_) : QString());
}

// ---- views -------------------------------------------------------------------------------

void TWaveForm::PeindreVue(QPainter& p) {
    if (!SonCharge()) return;
    if (!vueAJour_ || imageVue_.size() != PaintBox->size()) {
        imageVue_ = QImage(PaintBox->size(), QImage::Format_RGB32);
        imageVue_.fill(Qt::white);
        PreparerVue();
        QPainter pi(&imageVue_);
        graphe_.Dessine(pi);
        vueAJour_ = true;
        PreparerVue(); // the drawing recomputed the mapping; keep the selection's pixels
    }
    // The edges and the play cursor are exclusive-or lines over the plot, as they always were.
    QImage image = imageVue_;
    {
        QPainter pi(&image);
        pi.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        pi.setPen(QPen(QColor(0, 255, 255), 3)); // red once xor-ed over white
        pi.drawLine(bordGauche_, 0, bordGauche_, image.height());
        pi.drawLine(bordDroit_, 0, bordDroit_, image.height());
        if (curseurVisible_) {
            pi.setPen(QPen(QColor(0, 255, 255), 1));
            pi.drawLine(curseurLecture_, 0, curseurLecture_, image.height());
        }
    }
    p.drawImage(0, 0, image);
}

void TWaveForm::PeindreZoom(QPainter& p) {
    modeGlisse_ = 0;
    if (!SonCharge()) return;
    grapheZoom_.rect = PaintBoxZoom->rect();
    grapheZoom_.first = selection_.debut;
    grapheZoom_.last = selection_.fin;
    grapheZoom_.step = (selection_.fin - selection_.debut) / 32768 + 1;
    grapheZoom_.Dessine(p);
}

bool TWaveForm::eventFilter(QObject* objet, QEvent* e) {
    // The splitter learns its new size only after the form's own resize: the whole-sound view
    // is given half the form's height from there.
    if (objet == Splitter && e->type() == QEvent::Resize) {
        const int moitie = std::min(height() / 2, std::max(Splitter->height() - 20, 20));
        Splitter->setSizes({moitie, std::max(Splitter->height() - moitie, 1)});
    }
    return TTradForm::eventFilter(objet, e);
}

void TWaveForm::resizeEvent(QResizeEvent* e) {
    TTradForm::resizeEvent(e);
    vueAJour_ = false;
    if (SonCharge()) {
        PreparerVue();
        bordGauche_ = PixelDe(selection_.debut);
        bordDroit_ = PixelDe(selection_.fin);
    }
}

// ---- mouse and keys ----------------------------------------------------------------------

void TWaveForm::PaintBoxMouseDown(QMouseEvent* e) {
    if (!SonCharge()) return;
    const int x = e->position().toPoint().x();
    if (std::abs(x - bordGauche_) <= 2)
        modeGlisse_ = 1;
    else if (std::abs(x - bordDroit_) < 3)
        modeGlisse_ = 2;
    else if (bordGauche_ < x && x < bordDroit_)
        modeGlisse_ = 3;
    else
        modeGlisse_ = 0;
    if (modeGlisse_ == 1 || modeGlisse_ == 2)
        PaintBox->setCursor(Qt::SplitHCursor);
    else if (modeGlisse_ == 3)
        PaintBox->setCursor(Qt::PointingHandCursor);
    dernierX_ = x;
}

void TWaveForm::PaintBoxMouseMove(QMouseEvent* e) {
    if (!SonCharge()) return;
    const int x = e->position().toPoint().x();
    const int gauchePlot = graphe_.rect.left(), droitePlot = Droite(graphe_.rect);
    switch (modeGlisse_) {
    case 0:
        if (std::abs(x - bordGauche_) <= 5 || std::abs(x - bordDroit_) <= 5)
            PaintBox->setCursor(Qt::SplitHCursor);
        else if (bordGauche_ < x && x < bordDroit_)
            PaintBox->setCursor(Qt::PointingHandCursor);
        else
            PaintBox->unsetCursor();
        return;
    case 1:
        if (gauchePlot < x && x < bordDroit_) bordGauche_ = x;
        break;
    case 2:
        if (bordGauche_ < x && x < droitePlot) bordDroit_ = x;
        break;
    case 3: {
        const int dx = x - dernierX_;
        if (gauchePlot < bordGauche_ + dx && bordDroit_ + dx < droitePlot) {
            bordGauche_ += dx;
            bordDroit_ += dx;
        }
        dernierX_ = x;
        break;
    }
    }
    PaintBox->update();
}

void TWaveForm::PaintBoxMouseUp(QMouseEvent* e) {
    if (!SonCharge()) return;
    const int x = e->position().toPoint().x();
    if (modeGlisse_ == 1 && x < bordDroit_) bordGauche_ = x;
    if (modeGlisse_ == 2 && x > bordGauche_) bordDroit_ = x;
    PreparerVue();
    const std::int32_t n = son_->NbEchantillons();
    std::int64_t debut = Arrondi(graphe_.EcranVersMonde(bordGauche_, 0).position);
    std::int64_t fin = Arrondi(graphe_.EcranVersMonde(bordDroit_, 0).position);
    if (debut < 0) {
        debut = 0;
        bordGauche_ = PixelDe(0);
    }
    if (fin > n - 1) {
        fin = n - 1;
        bordDroit_ = PixelDe(n - 1);
    }
    if (debut > n - 1) debut = n - 1;
    if (fin < debut) fin = debut;
    selection_ = {std::int32_t(debut), std::int32_t(fin)};
    modeGlisse_ = 0;
    PaintBox->unsetCursor();
    PaintBox->update();
    PaintBoxZoom->update();
    AppliquerSelection();
}

void TWaveForm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete) {
        e->accept();
        return;
    }
    const auto d = DeplacementPointeur(e->key(), e->modifiers());
    if (!d) {
        TTradForm::keyPressEvent(e);
        return;
    }
    QCursor::setPos(QCursor::pos() + *d);
    e->accept();
}

// ---- playback ----------------------------------------------------------------------------

void TWaveForm::PlayBtnClick() {
    if (!SonCharge()) return;
    if (!lecteur_->EstOuvert()) OuvrirLecteur();
    if (!lecteur_->EstOuvert()) return; // a sound the player cannot take (a rate of 0 Hz)
    AppliquerSelection();
    const double f = son_->Frequence();
    if (f > 0 && (selection_.fin - selection_.debut) / f > 0.55) Timer1->start();
    PositionLabel->show();
    curseurLecture_ = bordGauche_;
    curseurVisible_ = true;
    PaintBox->update();
    PlayBtn->hide();
    StopBtn->show();
    lecteur_->Jouer(true);
}

void TWaveForm::MediaPlayerNotify() {
    if (BoucleCB->isChecked()) {
        AppliquerSelection();
        lecteur_->Jouer(true);
        return;
    }
    FinDeLecture();
}

void TWaveForm::Timer1Timer() {
    if (arret_) {
        ++tics_;
        if (tics_ <= limiteTics_) return;
        arret_ = false;
        RecordBtn->show();
        Timer1->stop();
        if (!enregistreur_) return; // nothing was recorded: nothing to load
        const bool sauve = enregistreur_->Sauver(CheminEnregistrement);
        if (sauve) {
            SaveFileBtn->show();
            QCoreApplication::postEvent(this, new QEvent(kEvenementEnregistrement));
        } else {
            SaveFileBtn->hide();
            son_->EffacerNom();
        }
        enregistreur_->Fermer();
        enregistreur_.reset();
        return;
    }
    if (!lecteur_->EstOuvert() || lecteur_->NomFichier().isEmpty()) return;
    const double longueur = double(lecteur_->Longueur());
    const double position = double(lecteur_->Position());
    curseurLecture_ = longueur > 0 ? ArrondiInt(PaintBox->width() * position / longueur) : 0;
    const double secondes = lecteur_->Format() == LecteurSon::FormatTemps::Millisecondes
                                ? position / 1000.0
                                : (son_->Frequence() ? position / son_->Frequence() : 0.0);
    PositionLabel->setText(Fixe(secondes, 1) + QStringLiteral(" s"));
    PaintBox->update();
}

// ---- recording ---------------------------------------------------------------------------

void TWaveForm::RecordBtnClick() {
    son_->EffacerNom();
    FermerLecteur();
    PlayBtn->hide();
    RecordBtn->hide();
    StopBtn->show();
    curseurVisible_ = false;
    vueAJour_ = false;
    PaintBox->update();
    PaintBoxZoom->update();

    enregistreur_ = CreerEnregistreurSon();
    if (!enregistreur_->Ouvrir()) {
        enregistreur_.reset(); // no device: the stop sequence will load nothing
    } else {
        enregistreur_->DefinirFormat({reglages_.freq, int(reglages_.bits), 1});
        if (!enregistreur_->Enregistrer()) {
            enregistreur_->Fermer();
            enregistreur_.reset();
        }
    }
    debutEnregistrement_ = Horloge();
}

void TWaveForm::StopBtnClick() {
    StopBtn->hide();
    arret_ = true;
    const double e = DureeEcoulee(debutEnregistrement_.msecsTo(Horloge()));
    // The capture ends here, so the file holds what was recorded until Stop; the save still
    // comes after a wait about as long again as the recording lasted.
    if (enregistreur_) enregistreur_->Arreter();
    limiteTics_ = LimiteAttente(e, Timer1->interval());
    tics_ = 0;
    Timer1->start();
}

bool TWaveForm::event(QEvent* e) {
    if (e->type() == kEvenementEnregistrement) {
        LireFichier(CheminEnregistrement);
        return true;
    }
    return TTradForm::event(e);
}

void TWaveForm::ModeBtnClick() {
    TTestWavDlg dlg(reglages_, this);
    if (dlg.Surveiller()) dlg.exec();
}

// ---- saving and transfer -----------------------------------------------------------------

bool TWaveForm::SauverSon(const QString& nom) {
    const QString chemin = AvecExtension(nom, QStringLiteral(".wav"));
    if (!lecteur_->EstOuvert()) OuvrirLecteur();
    if (!lecteur_->Sauver(chemin)) {
        Dialogues().message(QStringLiteral("Erreur d'écriture"));
        return false;
    }
    // From now on the sound is that file: it is named in the caption and the FICHIER block,
    // and a transfer no longer offers to save it first.
    son_->Renommer(chemin);
    lecteur_->SetNomFichier(chemin);
    setWindowTitle(TitreFormeSon(chemin, son_->Tronque(), son_->Converti()));
    return true;
}

void TWaveForm::SaveFileBtnClick() {
    const auto nom = Dialogues().enregistrerFichier(
        QString(), dossier_, QStringLiteral("Fichier son (*.wav)"), QString());
    if (!nom) return;
    SauverSon(*nom);
    SaveFileBtn->hide();
}

void TWaveForm::TabulaneBtnClick() {
    if (!SonCharge()) return;
    if (son_->NomFichier() == CheminEnregistrement &&
        Dialogues().confirmer(
            QStringLiteral("Sauvegarde préliminaire des données dans un fichier Wav ?"))) {
        const auto nom = Dialogues().enregistrerFichier(
            QString(), dossier_, QStringLiteral("Fichier son (*.wav)"), QString());
        if (nom) SauverSon(*nom);
    }
    Transferer([this](const PageTransfert& page, TexteEchange& texte) {
        MettreAJourSousEchantillonnage();
        ParametresTransfertSon p;
        p.cheminExecutable = page.cheminExecutable;
        p.nouveauFichier = page.nouveauFichier();
        p.commentaire = page.commentaire;
        p.stereo = son_->Stereo() && StereoCB->isChecked();
        p.fichierSon = lecteur_->EstOuvert() ? lecteur_->NomFichier() : son_->NomFichier();
        p.fichierEnregistrement = CheminEnregistrement;
        for (const QString& l : LignesTransfertSon(*son_, selection_, sous_, p))
            texte.ajouterLigne(l);
        page.AjouteConstante(texte);
        for (const QString& l : BlocsTransfertSon(p))
            texte.ajouterLigne(l);
    });
}

void TWaveForm::SaveDataBtnClick() {
    if (!SonCharge()) return;
    const auto nom = Dialogues().enregistrerFichier(
        QString(), dossier_, QStringLiteral("Fichier texte (*.txt)"), QString());
    if (!nom) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QStringList lignes =
        LignesTableSon(*son_, selection_, son_->Stereo() && StereoCB->isChecked());
    const bool ok = EcrireFichierAtomique(AvecExtension(*nom, QStringLiteral(".txt")),
                                          VersCp1252(JoindreLignes(lignes)));
    QApplication::restoreOverrideCursor();
    if (!ok) Dialogues().message(QStringLiteral("Erreur d'écriture"));
}

// ---- activation and closing --------------------------------------------------------------

void TWaveForm::changeEvent(QEvent* e) {
    TTradForm::changeEvent(e);
    if (e->type() != QEvent::ActivationChange) return;
    if (isActiveWindow()) {
        if (SonCharge() && !lecteur_->EstOuvert()) OuvrirLecteur();
    } else if (!lecteur_->EnLecture() && QApplication::activeModalWidget() == nullptr) {
        // The player lets the sound go while another window is in front; a playback in
        // progress is left to finish.
        FermerLecteur();
    }
}

void TWaveForm::closeEvent(QCloseEvent* e) {
    FermerLecteur();
    TTradForm::closeEvent(e);
}

} // namespace kinepo
