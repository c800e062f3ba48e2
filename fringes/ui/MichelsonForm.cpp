#include "fringes/ui/MichelsonForm.h"

#include "fringes/HiResTmr.h"
#include "fringes/ui/MichelsonHlp.h"
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "platform/camera/ui/TtsCap32.h"
#include "shell/base/PanneauxEtat.h"
#include "shell/base/RoutageAide.h"
#include "transfer/ui/Transfert.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>
#include <cmath>

namespace kinepo {

namespace {

constexpr std::array<int, 4> kCadences = {20, 25, 30, 60};

QPushButton* Bouton(QWidget* parent, QLayout* l, const QString& texte, const QString& aide = {}) {
    auto* b = new QPushButton(texte, parent);
    if (!aide.isEmpty()) DefinirAide(b, aide);
    l->addWidget(b);
    return b;
}

void Croix(QPainter& p, QPoint c, const QColor& couleur) {
    p.setPen(QPen(couleur, 3));
    p.drawLine(c.x() - 6, c.y(), c.x() + 6, c.y());
    p.drawLine(c.x(), c.y() - 6, c.x(), c.y() + 6);
}

} // namespace

TMichelsonForm::TMichelsonForm(QWidget* parent)
    : QMainWindow(parent), Compteur(LireCompteur), suivi_(std::make_unique<SuiviMichelson>()) {
    setWindowTitle(QStringLiteral("Mesure d'intensité lumineuse en fonction du temps par une "
                                  "Webcam"));
    resize(1000, 700);
    auto* centre = new QWidget(this);
    auto* vertical = new QVBoxLayout(centre);
    vertical->setContentsMargins(0, 0, 0, 0);
    vertical->setSpacing(2);

    auto* barre = new QWidget(centre);
    auto* h = new QHBoxLayout(barre);
    h->setContentsMargins(4, 2, 4, 2);
    ConnectBtn = Bouton(barre, h, QStringLiteral(" Connexion "));
    HelpBtn = Bouton(barre, h, QStringLiteral("Aide"));
    ConfigWebBtn = Bouton(barre, h, QStringLiteral("Réglages"));
    StartBtn = Bouton(barre, h, QStringLiteral("Début"), QStringLiteral("Début d'acquisition"));
    StopBtn = Bouton(barre, h, QStringLiteral("Stop"), QStringLiteral("Fin d'acquisition"));
    TabulaneBtn = Bouton(barre, h, QStringLiteral("Tabulane"));
    h->addStretch(1);
    QuitterBtn = Bouton(barre, h, QStringLiteral("Quitter"));
    vertical->addWidget(barre);

    // The picture panel: the live picture, the note beside it, the reference with the points,
    // and the choices.
    PanneauImage = new QWidget(centre);
    auto* hp = new QHBoxLayout(PanneauImage);
    hp->setContentsMargins(4, 0, 4, 0);
    tsCap321 = new TtsCap32(PanneauImage);
    tsCap321->setFixedSize(320, 240);
    hp->addWidget(tsCap321, 0, Qt::AlignTop);
    Memo1 = new QPlainTextEdit(PanneauImage);
    Memo1->setPlainText(QStringLiteral("------------------->\nVisualisation\nen continu\nen phase "
                                       "\nd'attente"));
    Memo1->setReadOnly(true);
    Memo1->setEnabled(false);
    Memo1->setFixedWidth(130);
    Memo1->setMaximumHeight(100);
    hp->addWidget(Memo1, 0, Qt::AlignTop);
    auto* libelle = new QLabel(QStringLiteral("Points de mesure ->"), PanneauImage);
    libelle->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    hp->addWidget(libelle, 0, Qt::AlignTop);
    PaintBox1 = new BoitePeinture(PanneauImage);
    PaintBox1->setFixedSize(320, 240);
    hp->addWidget(PaintBox1, 0, Qt::AlignTop);
    auto* choix = new QVBoxLayout;
    DeuxPointsCB = new QCheckBox(QStringLiteral("Deux points de mesure"), PanneauImage);
    choix->addWidget(DeuxPointsCB);
    LabelNiveauNa = new QLabel(QStringLiteral("Na"), PanneauImage);
    LabelNiveauLaser = new QLabel(QStringLiteral("Laser"), PanneauImage);
    choix->addWidget(LabelNiveauNa);
    choix->addWidget(LabelNiveauLaser);
    fpsRG = new QGroupBox(QStringLiteral("Fréquence (images/s)"), PanneauImage);
    auto* g = new QGridLayout(fpsRG);
    g->setContentsMargins(6, 2, 6, 2);
    fpsBoutons = new QButtonGroup(this);
    for (int i = 0; i < int(kCadences.size()); ++i) {
        auto* r = new QRadioButton(QString::number(kCadences[std::size_t(i)]), fpsRG);
        fpsBoutons->addButton(r, i);
        g->addWidget(r, i / 2, i % 2);
    }
    fpsBoutons->button(1)->setChecked(true);
    choix->addWidget(fpsRG);
    FrangesLabel = new QLabel(PanneauImage);
    choix->addWidget(FrangesLabel);
    VerrouLabel = new QLabel(PanneauImage);
    VerrouLabel->setWordWrap(true);
    VerrouLabel->setMaximumWidth(260);
    choix->addWidget(VerrouLabel);
    choix->addStretch(1);
    hp->addLayout(choix);
    hp->addStretch(1);
    PanneauImage->setFixedHeight(240 + 16);
    vertical->addWidget(PanneauImage);

    PaintBox2 = new BoitePeinture(centre);
    PaintBox2->setMinimumHeight(100);
    vertical->addWidget(PaintBox2, 1);
    setCentralWidget(centre);
    StatusBar = new PanneauxEtat({0}, this);
    setStatusBar(StatusBar);
    RoutageAide::Instance().EnregistrerForme(
        this, [this](const QString& t) { StatusBar->setTexte(0, t); });

    ConfigWebBtn->setEnabled(false);
    StartBtn->setEnabled(false);
    StopBtn->setEnabled(false);
    TabulaneBtn->setEnabled(false);

    // Design values of the capture: preview 1 frame/s, capture 10 frames/s.
    tsCap321->Parameter.SetPreviewRate_fps(1);
    tsCap321->Parameter.SetCaptureRate_fps(10);
    tsCap321->Parameter.SetPreview(true);
    tsCap321->OnConnected = [this](bool c) { Connecte(c); };
    tsCap321->OnFrame = [this](const ImageCamera& i) { tsCap321Frame(i); };
    tsCap321->OnPanne = [this](const QString& r) { Panne(r); };

    connect(ConnectBtn, &QPushButton::clicked, this, &TMichelsonForm::ConnectBtnClick);
    connect(HelpBtn, &QPushButton::clicked, this, &TMichelsonForm::HelpBtnClick);
    connect(ConfigWebBtn, &QPushButton::clicked, this, &TMichelsonForm::ConfigWebBtnClick);
    connect(StartBtn, &QPushButton::clicked, this, &TMichelsonForm::StartBtnClick);
    connect(StopBtn, &QPushButton::clicked, this, &TMichelsonForm::StopBtnClick);
    connect(TabulaneBtn, &QPushButton::clicked, this, &TMichelsonForm::TabulaneBtnClick);
    connect(QuitterBtn, &QPushButton::clicked, this, &TMichelsonForm::QuitterBtnClick);
    connect(DeuxPointsCB, &QCheckBox::toggled, this, [this](bool) {
        PaintBox1->update();
        RedessinerGraphe();
    });

    PaintBox1->peindre = [this](QPainter& p) { PaintBox1Paint(p); };
    PaintBox1->appui = [this](QMouseEvent* e) { PaintBox1MouseDown(e); };
    PaintBox1->deplacement = [this](QMouseEvent* e) { PaintBox1MouseMove(e); };
    PaintBox1->relache = [this](QMouseEvent* e) { PaintBox1MouseUp(e); };
    PaintBox2->peindre = [this](QPainter& p) {
        if (graphe_.size() != PaintBox2->size()) RedessinerGraphe();
        p.drawImage(0, 0, graphe_);
    };
    AfficherFranges();
}

TMichelsonForm::~TMichelsonForm() {
    tsCap321->OnConnected = nullptr;
    tsCap321->OnFrame = nullptr;
    tsCap321->OnPanne = nullptr;
}

void TMichelsonForm::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    PaintBox2->update();
}

// ---- connection --------------------------------------------------------------------------

void TMichelsonForm::ConnectBtnClick() {
    interrompue_ = false;
    try {
        tsCap321->SetConnected(!tsCap321->Connected());
    } catch (const ErreurCamera& e) {
        ConfigWebBtn->setEnabled(false);
        Dialogues().message(e.Message());
    }
    interrompue_ = false;
    MettreBoutons();
}

void TMichelsonForm::MettreBoutons() {
    const bool c = tsCap321->Connected();
    ConfigWebBtn->setEnabled(c);
    if (!c) StartBtn->setEnabled(false);
    TabulaneBtn->setEnabled(suivi_->NombreEchantillons > 0 && !StopBtn->isEnabled());
    ConnectBtn->setText(c ? QStringLiteral("Déconnexion") : QStringLiteral(" Connexion "));
}

void TMichelsonForm::Connecte(bool connecte) {
    if (connecte) {
        const int w = tsCap321->Parameter.ImageWidth(), hauteur = tsCap321->Parameter.ImageHeight();
        suivi_->LargeurImage = w;
        suivi_->Point1 = {w / 2, hauteur / 2};
        suivi_->Point2 = {w / 4, hauteur / 4};
        PaintBox1->setFixedSize(w, hauteur);
        tsCap321->setFixedSize(w, hauteur);
        // The choices beside the pictures need the height of a 240-line frame.
        PanneauImage->setFixedHeight(std::max(hauteur, 240) + 16);
        PaintBox1->update();
    } else if (StopBtn->isEnabled()) {
        // The camera went away during an acquisition: it ends with the samples taken.
        interrompue_ = true;
        StopBtn->setEnabled(false);
        tsCap321->Parameter.SetPreview(true);
    }
    MettreBoutons();
}

void TMichelsonForm::Panne(const QString& raison) {
    const bool acquisition = interrompue_;
    interrompue_ = false;
    MettreBoutons();
    if (acquisition)
        Dialogues().message(QStringLiteral("L'acquisition s'arrête : %1. Les %2 mesures prises "
                                           "sont gardées.")
                                .arg(raison)
                                .arg(suivi_->NombreEchantillons));
    else
        Dialogues().message(QStringLiteral("La webcam s'arrête : %1.").arg(raison));
}

void TMichelsonForm::ConfigWebBtnClick() {
    try {
        tsCap321->Parameter.SetDlgSource(true);
    } catch (const ErreurCamera& e) {
        Dialogues().message(e.Message());
        return;
    }
    const QImage image = tsCap321->CopyToClipBoard();
    if (!image.isNull()) reference_ = image.convertToFormat(QImage::Format_RGB32);
    PaintBox1->update();
    StartBtn->setEnabled(tsCap321->Connected());
    const double fps = tsCap321->Parameter.CaptureRate_fps();
    for (int i = 0; i < int(kCadences.size()); ++i)
        if (std::fabs(fps - kCadences[std::size_t(i)]) < 1e-6)
            fpsBoutons->button(i)->setChecked(true);
}

// ---- acquisition -------------------------------------------------------------------------

void TMichelsonForm::StartBtnClick() {
    suivi_->Commencer();
    AfficherFranges();
    RedessinerGraphe();
    const int fps = kCadences[std::size_t(std::max(0, fpsBoutons->checkedId()))];
    tsCap321->Parameter.SetCaptureRate_fps(fps);
    tsCap321->Parameter.SetPreviewRate_fps(fps);
    tsCap321->Parameter.SetPreview(false);
    StopBtn->setEnabled(true);
    StartBtn->setEnabled(false);
    TabulaneBtn->setEnabled(false);
    // Automatic gain and exposure would flatten the fringes: locked where the driver allows.
    QString raison;
    if (tsCap321->VerrouillerAutomatismes(raison)) {
        VerrouLabel->setStyleSheet(QString());
        VerrouLabel->setText(QStringLiteral("Exposition et gain automatiques bloqués"));
    } else {
        VerrouLabel->setStyleSheet(QStringLiteral("color: #c00000"));
        VerrouLabel->setText(raison);
    }
    suivi_->DebutAcquisition = Compteur();
    tsCap321->CapOrder(OrdreCapture::start);
}

void TMichelsonForm::StopBtnClick() {
    tsCap321->CapOrder(OrdreCapture::stop);
    tsCap321->Parameter.SetCaptureRate_fps(5);
    tsCap321->Parameter.SetPreviewRate_fps(5);
    tsCap321->Parameter.SetPreview(true);
    StopBtn->setEnabled(false);
    StartBtn->setEnabled(tsCap321->Connected());
    TabulaneBtn->setEnabled(suivi_->NombreEchantillons > 0);
}

void TMichelsonForm::tsCap321Frame(const ImageCamera& image) {
    SuiviMichelson& s = *suivi_;
    const bool deux = DeuxPointsCB->isChecked();
    const double lampe = NiveauPoint(image.luma, image.largeur, image.hauteur, s.Point1);
    const double laser = deux ? NiveauPoint(image.luma, image.largeur, image.hauteur, s.Point2) : 0;
    const double t = double(SecondesEcoulees(s.DebutAcquisition, Compteur()));
    const bool acquisition = StopBtn->isEnabled();
    const SuiviMichelson::Effet e = s.AjouterImage(lampe, laser, t, acquisition);
    if (!acquisition) {
        LabelNiveauNa->setText(QString::number(lampe, 'g', 15));
        LabelNiveauLaser->setText(deux ? QString::number(laser, 'g', 15) : QString());
        return;
    }
    if (e.redessiner)
        RedessinerGraphe();
    else if (e.segment)
        DessinerSegment(s.NombreEchantillons - 1);
    AfficherFranges();
    if (e.fin) StopBtnClick();
}

void TMichelsonForm::AfficherFranges() {
    FrangesLabel->setText(QStringLiteral("Franges : %1").arg(suivi_->Franges.Nombre()));
}

// ---- chart -------------------------------------------------------------------------------

void TMichelsonForm::RedessinerGraphe() {
    const QSize taille = PaintBox2->size().expandedTo(QSize(1, 1));
    graphe_ = QImage(taille, QImage::Format_RGB32);
    graphe_.fill(Qt::black);
    suivi_->MettreEchelle(taille);
    ++redessins_;
    QPainter p(&graphe_);
    const bool deux = DeuxPointsCB->isChecked();
    for (int k = 1; k < suivi_->NombreEchantillons; ++k) {
        p.setPen(QPen(Qt::yellow, 1));
        p.drawLine(suivi_->Segment(k, suivi_->Lampe));
        if (deux) {
            p.setPen(QPen(Qt::red, 1));
            p.drawLine(suivi_->Segment(k, suivi_->Laser));
        }
    }
    p.end();
    PaintBox2->update();
}

void TMichelsonForm::DessinerSegment(int k) {
    if (graphe_.isNull() || k < 1) return;
    QPainter p(&graphe_);
    const QLine a = suivi_->Segment(k, suivi_->Lampe);
    p.setPen(QPen(Qt::yellow, 1));
    p.drawLine(a);
    QRect zone = QRect(a.p1(), a.p2()).normalized();
    if (DeuxPointsCB->isChecked()) {
        const QLine b = suivi_->Segment(k, suivi_->Laser);
        p.setPen(QPen(Qt::red, 1));
        p.drawLine(b);
        zone |= QRect(b.p1(), b.p2()).normalized();
    }
    p.end();
    PaintBox2->update(zone.adjusted(-2, -2, 2, 2));
}

// ---- reference picture and points --------------------------------------------------------

void TMichelsonForm::PaintBox1Paint(QPainter& p) {
    if (!reference_.isNull()) p.drawImage(0, 0, reference_);
    Croix(p, suivi_->Point1, Qt::black);
    if (DeuxPointsCB->isChecked()) Croix(p, suivi_->Point2, Qt::red);
}

void TMichelsonForm::DefinirAidePoints(const QString& aide) {
    PaintBox1->setStatusTip(aide);
    RoutageAide::Instance().AfficherAide(aide);
}

void TMichelsonForm::PaintBox1MouseDown(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    DefinirAidePoints(QStringLiteral("On peut déplacer les points de mesure par glisser déplacer"));
    const QPoint m = e->position().toPoint();
    const auto d2 = [&](QPoint p) {
        const int dx = m.x() - p.x(), dy = m.y() - p.y();
        return dx * dx + dy * dy;
    };
    const int d1 = d2(suivi_->Point1);
    pointSaisi_ = 0;
    if (d1 < 64) {
        pointSaisi_ = 1;
        DefinirAidePoints(QStringLiteral("Centre des anneaux"));
    }
    if (DeuxPointsCB->isChecked() && d2(suivi_->Point2) < std::min(d1, 64)) {
        pointSaisi_ = 2;
        DefinirAidePoints(QStringLiteral("Trace du faisceau Laser"));
    }
}

void TMichelsonForm::PaintBox1MouseMove(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton) || pointSaisi_ == 0) return;
    const QPoint m = e->position().toPoint();
    if (m.x() < 4 || m.x() > PaintBox1->width() - 4 || m.y() < 4 || m.y() > PaintBox1->height() - 4)
        return;
    (pointSaisi_ == 1 ? suivi_->Point1 : suivi_->Point2) = m;
    PaintBox1->update();
}

void TMichelsonForm::PaintBox1MouseUp(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint m = e->position().toPoint();
    if (pointSaisi_ != 0 && m.x() > 4 && m.x() < PaintBox1->width() - 4 && m.y() > 4 &&
        m.y() < PaintBox1->height() - 4)
        (pointSaisi_ == 1 ? suivi_->Point1 : suivi_->Point2) = m;
    pointSaisi_ = 0;
    PaintBox1->update();
}

// ---- help, transfer, exit ----------------------------------------------------------------

void TMichelsonForm::HelpBtnClick() {
    if (!aide_) aide_ = new TMichelsonHlp(this);
    aide_->exec();
}

void TMichelsonForm::TabulaneBtnClick() {
    if (suivi_->NombreEchantillons <= 0) return;
    const bool deux = DeuxPointsCB->isChecked();
    Transferer([this, deux](const PageTransfert& page, TexteEchange& texte) {
        ConstruireTexteMichelson(*suivi_, deux, page, texte);
    });
}

void TMichelsonForm::QuitterBtnClick() {
    close();
}

void TMichelsonForm::closeEvent(QCloseEvent* e) {
    // A hidden form keeps neither an acquisition nor the camera.
    if (StopBtn->isEnabled()) StopBtnClick();
    if (tsCap321->Connected()) {
        try {
            tsCap321->SetConnected(false);
        } catch (const ErreurCamera&) {
            // closing a camera that already failed changes nothing
        }
    }
    QMainWindow::closeEvent(e);
}

} // namespace kinepo
