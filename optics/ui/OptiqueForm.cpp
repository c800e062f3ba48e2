#include "optics/ui/OptiqueForm.h"

#include "common/Arrondi.h"
#include "common/BmpFile.h"
#include "common/Cp1252.h"
#include "common/EcritureAtomique.h"
#include "common/IniFile.h"
#include "image/ui/JpegEchelleDlg.h"
#include "optics/ImageOptique.h"
#include "optics/TexteOptique.h"
#include "platform/Chemins.h"
#include "platform/ConvertirGifEnBmp.h"
#include "platform/Dialogues.h"
#include "platform/LectureJpeg.h"
#include "platform/Plateforme.h"
#include "platform/camera/ui/TtsCap32.h"
#include "shell/base/Curseurs.h"
#include "shell/base/PanneauxEtat.h"
#include "shell/base/RoutageAide.h"
#include "transfer/ui/Transfert.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QBuffer>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace kinepo {

namespace {

const QString kSection = QStringLiteral("Optique");
const QString kTitre = QStringLiteral("Lecture d'images pour Tabulane");
const QString kWebcam = QStringLiteral("Webcam");

QPushButton* Bouton(QWidget* parent, QLayout* l, const QString& texte, const QString& aide) {
    auto* b = new QPushButton(texte, parent);
    DefinirAide(b, aide);
    l->addWidget(b);
    return b;
}

// Draws the overlay with an inverting pen: drawing it twice gives the picture back.
void DessinerOverlay(QPainter& p, const Overlay& o) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.setBrush(Qt::NoBrush);
    for (const TraitOverlay& t : o.traits) {
        p.setPen(QPen(Qt::white, t.largeur, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(t.ligne);
    }
    p.setPen(QPen(Qt::white, o.largeurCercle));
    p.drawEllipse(o.centreCercle, o.rayon, o.rayon);
    p.restore();
}

double LireReelIni(const IniFile& ini, const QString& cle, double defaut) {
    const auto v = ini.valeur(kSection, cle);
    if (!v) return defaut;
    QString t = *v;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double x = t.toDouble(&ok);
    return ok && std::isfinite(x) && x > 0 ? x : defaut;
}

QString AvecExtension(const QString& nom, const QString& extension) {
    return QFileInfo(nom).suffix().isEmpty() ? nom + extension : nom;
}

} // namespace

// ---- creation ----------------------------------------------------------------------------

TOptiqueForm::TOptiqueForm(QWidget* parent)
    : TTradForm(parent), profil_(std::make_unique<ProfilOptique>()),
      graphe_(std::make_unique<Tgraphe>()) {
    setWindowTitle(QStringLiteral("Lecture d'intensité lumineuse pour Tabulane"));
    resize(1270, 960);
    setWindowState(Qt::WindowMaximized);
    auto* centre = new QWidget(this);
    auto* vertical = new QVBoxLayout(centre);
    vertical->setContentsMargins(0, 0, 0, 0);
    vertical->setSpacing(0);

    TopPanel = new QWidget(centre);
    auto* h = new QHBoxLayout(TopPanel);
    h->setContentsMargins(4, 2, 4, 2);
    OpenFileBtn = Bouton(TopPanel, h, QStringLiteral("Charger"),
                         QStringLiteral("Ouverture d'un fichier image"));
    ConnectBtn = Bouton(TopPanel, h, QStringLiteral("Connexion"), QStringLiteral("Webcam"));
    // The capture control: its own window stays small, the picture is shown in Image1.
    tsCap321 = new TtsCap32(TopPanel);
    tsCap321->setFixedSize(32, 26);
    h->addWidget(tsCap321);
    ConfigWebCamBtn =
        Bouton(TopPanel, h, QStringLiteral("Réglages"), QStringLiteral("Réglages de la webcam"));
    SaveFileBtn = Bouton(TopPanel, h, QStringLiteral("Enregistrer"),
                         QStringLiteral("Enregistrement de l'image"));
    TabulaneBtn = Bouton(TopPanel, h, QStringLiteral("Tabulane"),
                         QStringLiteral("|Envoi de données vers Tabulane"));
    TextFileBtn = Bouton(TopPanel, h, QStringLiteral("Sauver"),
                         QStringLiteral("Sauvegarde de la courbe dans un fichier texte"));
    h->addSpacing(12);
    h->addWidget(new QLabel(QStringLiteral("Lissage"), TopPanel));
    MoyenneSE = new QSpinBox(TopPanel);
    MoyenneSE->setRange(0, ProfilOptique::MoyenneMax);
    DefinirAide(
        MoyenneSE,
        QStringLiteral("Lissage entre prenant la moyenne sur x lignes au-dessus et en-dessous"));
    h->addWidget(MoyenneSE);
    h->addSpacing(12);
    EchelleRB = new QRadioButton(QStringLiteral("Echelle"), TopPanel);
    PixelRB = new QRadioButton(QStringLiteral("Pixel"), TopPanel);
    EchelleRG = new QButtonGroup(this);
    EchelleRG->addButton(EchelleRB, 0);
    EchelleRG->addButton(PixelRB, 1);
    h->addWidget(EchelleRB);
    h->addWidget(PixelRB);
    EchelleLabel = new QLabel(TopPanel);
    h->addWidget(EchelleLabel);
    EchelleEdit = new QLineEdit(TopPanel);
    EchelleEdit->setMaximumWidth(90);
    h->addWidget(EchelleEdit);
    UniteCB = new QComboBox(TopPanel);
    UniteCB->addItems({QStringLiteral("m"), QStringLiteral("mm"), QStringLiteral("µm")});
    DefinirAide(UniteCB, QStringLiteral("Unité de l'échelle"));
    h->addWidget(UniteCB);
    h->addSpacing(12);
    dimLabel = new QLabel(TopPanel);
    h->addWidget(dimLabel);
    ProgressBar = new QProgressBar(TopPanel);
    ProgressBar->setRange(0, 100);
    ProgressBar->setMaximumWidth(120);
    ProgressBar->hide();
    h->addWidget(ProgressBar);
    EditBidon = new QLineEdit(TopPanel);
    EditBidon->setFixedWidth(0);
    EditBidon->setFrame(false);
    h->addWidget(EditBidon);
    h->addStretch(1);
    ExitBtn = Bouton(TopPanel, h, QStringLiteral("Quitter"), QStringLiteral("Quitter"));
    vertical->addWidget(TopPanel);

    Panel1 = new QWidget(centre);
    auto* hp = new QHBoxLayout(Panel1);
    hp->setContentsMargins(0, 0, 0, 0);
    hp->setSpacing(2);
    Image1 = new BoitePeinture(Panel1);
    Image1->setMouseTracking(true);
    Image1->setFixedSize(0, 0);
    hp->addWidget(Image1, 0, Qt::AlignTop);
    auto* droite = new QVBoxLayout;
    IntensitePB = new BoitePeinture(Panel1);
    droite->addWidget(IntensitePB, 1);
    SaturationLabel = new QLabel(Panel1);
    SaturationLabel->setStyleSheet(QStringLiteral("color: #c00000"));
    droite->addWidget(SaturationLabel);
    hp->addLayout(droite, 1);
    vertical->addWidget(Panel1, 1);
    vertical->addStretch(0);
    setCentralWidget(centre);

    StatusBar = new PanneauxEtat({0}, this);
    setStatusBar(StatusBar);

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);

    // Design values of the capture: preview 2 frames/s, capture 2 frames/s.
    tsCap321->Parameter.SetPreviewRate_fps(2);
    tsCap321->Parameter.SetCaptureRate_fps(2);
    tsCap321->OnConnected = [this](bool c) {
        if (c) tsCap321Connected();
    };
    tsCap321->OnPanne = [this](const QString& raison) {
        Timer1->stop();
        MettreBoutonsWebcam();
        Dialogues().message(QStringLiteral("La webcam s'arrête : %1.").arg(raison));
    };
    connect(Timer1, &QTimer::timeout, this, &TOptiqueForm::Timer1Timer);
    connect(ConnectBtn, &QPushButton::clicked, this, &TOptiqueForm::sbAcquireClick);
    connect(ConfigWebCamBtn, &QPushButton::clicked, this, &TOptiqueForm::configWebCamBtnClick);
    ConfigWebCamBtn->setEnabled(false);
    TabulaneBtn->setEnabled(false);
    SaveFileBtn->setEnabled(false);
    TextFileBtn->setEnabled(false);

    connect(OpenFileBtn, &QPushButton::clicked, this, &TOptiqueForm::OpenFileBtnClick);
    connect(SaveFileBtn, &QPushButton::clicked, this, &TOptiqueForm::SaveFileBtnClick);
    connect(TabulaneBtn, &QPushButton::clicked, this, &TOptiqueForm::TabulaneBtnClick);
    connect(TextFileBtn, &QPushButton::clicked, this, &TOptiqueForm::TextFileBtnClick);
    connect(ExitBtn, &QPushButton::clicked, this, &QWidget::close);
    connect(EchelleRG, &QButtonGroup::idClicked, this, [this](int) { EchelleRGClick(); });
    connect(EchelleEdit, &QLineEdit::editingFinished, this, &TOptiqueForm::Calculer);
    connect(UniteCB, &QComboBox::currentIndexChanged, this, [this](int) { Calculer(); });
    connect(MoyenneSE, &QSpinBox::valueChanged, this, [this](int) { Calculer(); });
    EchelleEdit->installEventFilter(this);
    EditBidon->installEventFilter(this);

    Image1->peindre = [this](QPainter& p) { PeindreImage(p); };
    Image1->appui = [this](QMouseEvent* e) { ImageMouseDown(e); };
    Image1->deplacement = [this](QMouseEvent* e) { ImageMouseMove(e); };
    Image1->relache = [this](QMouseEvent* e) { ImageMouseUp(e); };
    Image1->doubleClic = [this](QMouseEvent*) { Image1DblClick(); };
    IntensitePB->peindre = [this](QPainter& p) { IntensitePBPaint(p); };

    // The plot: abscissae are the step indices, ordinates the relative intensity.
    for (int i = ProfilOptique::IndiceMin; i <= ProfilOptique::IndiceMax; ++i)
        graphe_->X[i] = i;
    graphe_->lines = true;
    graphe_->mondeY.mini = -0.05;
    graphe_->mondeY.maxi = 1.05;

    LireReglages();
    AfficherEchelle();
    RoutageAide::Instance().EnregistrerForme(
        this, [this](const QString& t) { StatusBar->setTexte(0, t); });
    FormCreate();
}

TOptiqueForm::~TOptiqueForm() {
    tsCap321->OnConnected = nullptr;
    tsCap321->OnPanne = nullptr;
    EcrireReglages();
}

void TOptiqueForm::LireReglages() {
    const IniFile ini(NomFichierIni());
    profil_->LongueurEchelle = LireReelIni(ini, QStringLiteral("Echelle"), 0.01);
    profil_->TaillePixel = LireReelIni(ini, QStringLiteral("Pixel"), 1.4e-05);
    profil_->TypeEchelle =
        std::clamp(ini.lireEntier(kSection, QStringLiteral("TypeEchelle"), 0), 0, 1);
    {
        const QSignalBlocker b(MoyenneSE);
        MoyenneSE->setValue(ini.lireEntier(kSection, QStringLiteral("Moyenne"), 0));
    }
    profil_->Moyenne = MoyenneSE->value();
    filtreEnregistrer_ = ini.lireEntier(kSection, QStringLiteral("FilterSave"), 0);
    filtreOuvrir_ = ini.lireEntier(kSection, QStringLiteral("FilterOpen"), 0);
    EchelleRG->button(profil_->TypeEchelle)->setChecked(true);
}

void TOptiqueForm::EcrireReglages() {
    IniFile ini(NomFichierIni());
    ini.ecrireEntier(kSection, QStringLiteral("FilterSave"), filtreEnregistrer_);
    ini.ecrireEntier(kSection, QStringLiteral("FilterOpen"), filtreOuvrir_);
    ini.ecrireTexte(kSection, QStringLiteral("Echelle"),
                    QString::number(profil_->LongueurEchelle, 'g', 15));
    ini.ecrireTexte(kSection, QStringLiteral("Pixel"),
                    QString::number(profil_->TaillePixel, 'g', 15));
    ini.ecrireEntier(kSection, QStringLiteral("TypeEchelle"), profil_->TypeEchelle);
    ini.ecrireEntier(kSection, QStringLiteral("Moyenne"), MoyenneSE->value());
    ini.enregistrer(); // a settings file that cannot be written is skipped
}

void TOptiqueForm::closeEvent(QCloseEvent* e) {
    EcrireReglages();
    TTradForm::closeEvent(e);
}

// ---- scale entry -------------------------------------------------------------------------

void TOptiqueForm::AfficherEchelle() {
    const int type = profil_->TypeEchelle;
    EchelleLabel->setText(LibelleEchelle(type));
    const AffichageEchelle a = kinepo::AfficherEchelle(*profil_);
    EchelleEdit->setText(a.texte);
    {
        const QSignalBlocker b(UniteCB);
        UniteCB->setCurrentIndex(std::clamp(a.unite, 0, 2));
    }
    DefinirAide(EchelleEdit, AideEchelle(type));
}

void TOptiqueForm::EchelleRGClick() {
    profil_->TypeEchelle = std::max(0, EchelleRG->checkedId());
    AfficherEchelle();
    Image1->update();
    Calculer();
}

bool TOptiqueForm::LireEchelleSaisie() {
    try {
        LireEchelle(*profil_, EchelleEdit->text(), UniteCB->currentIndex());
        return true;
    } catch (const std::exception&) {
        Dialogues().message(QStringLiteral("Echelle incorrecte"));
        AfficherEchelle();
        return false;
    }
}

// ---- keys --------------------------------------------------------------------------------

bool TOptiqueForm::eventFilter(QObject* objet, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return TTradForm::eventFilter(objet, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (objet == EchelleEdit) {
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            Calculer();
            return true;
        }
        const QString t = k->text();
        if (t.isEmpty() || !t.at(0).isPrint()) return false; // moves, deletion, shortcuts
        return !CaractereEchelleAccepte(t.at(0));
    }
    if (objet == EditBidon) {
        // Nudging: the pointer moves by one screen pixel, the drag follows it.
        const bool bouton = QGuiApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton);
        QPoint d;
        const QString t = k->text();
        if (t == QLatin1String("4"))
            d = {-1, 0};
        else if (t == QLatin1String("8"))
            d = {0, -1};
        else if (t == QLatin1String("6"))
            d = {1, 0};
        else if (t == QLatin1String("2"))
            d = {0, 1};
        else if (bouton && k->key() == Qt::Key_Left)
            d = {-1, 0};
        else if (bouton && k->key() == Qt::Key_Up)
            d = {0, -1};
        else if (bouton && k->key() == Qt::Key_Right)
            d = {1, 0};
        else if (bouton && k->key() == Qt::Key_Down)
            d = {0, 1};
        if (!d.isNull()) QCursor::setPos(QCursor::pos() + d);
        return true; // every key that reaches it is swallowed
    }
    return TTradForm::eventFilter(objet, e);
}

// ---- opening -----------------------------------------------------------------------------

void TOptiqueForm::OpenFileBtnClick() {
    int filtre = std::max(1, filtreOuvrir_);
    const auto nom = Dialogues().ouvrirFichierFiltre(
        QString(), dossier_, QStringLiteral("Bitmap (*.bmp);;Jpeg (*.jpg *.jpeg);;Gif (*.gif)"),
        filtre);
    if (!nom) return;
    filtreOuvrir_ = filtre;
    OuvrirFichier(*nom);
}

int TOptiqueForm::LargeurClient() const {
    return centralWidget()->width();
}

int TOptiqueForm::HauteurDisponible() const {
    return centralWidget()->height() - TopPanel->sizeHint().height();
}

void TOptiqueForm::regleZoom(int largeur, int hauteur) {
    RegleZoom(*profil_, LargeurClient(), HauteurDisponible(), QSize(largeur, hauteur));
    dimLabel->setText(QStringLiteral("%1x%2").arg(largeur).arg(hauteur));
    Image1->setFixedSize(profil_->Affiche);
}

void TOptiqueForm::MettreAffichage() {
    const QSize a = profil_->Affiche;
    if (image_.size() == a)
        affichage_ = image_;
    else
        affichage_ =
            image_.scaled(a, Qt::IgnoreAspectRatio,
                          profil_->Zoom >= 2 ? Qt::FastTransformation : Qt::SmoothTransformation);
    affichage_ = affichage_.convertToFormat(QImage::Format_RGB32);
    Image1->setFixedSize(a);
    // The panel is as tall as the picture; the plot beside it takes the rest of its width.
    Panel1->setFixedHeight(a.height() + SaturationLabel->sizeHint().height());
    Image1->update();
}

void TOptiqueForm::OuvrirFichier(const QString& nomChoisi) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restaurer {
        ~Restaurer() { QApplication::restoreOverrideCursor(); }
    } restaurer;
    if (tsCap321->Connected()) {
        try {
            tsCap321->SetConnected(false);
        } catch (const ErreurCamera&) {
            // a camera that cannot be closed is left behind
        }
        Timer1->stop();
        ConnectBtn->setText(QStringLiteral("Connexion"));
    }
    QString nom = nomChoisi;
    QString ext = QFileInfo(nom).suffix().toUpper();
    if (!ext.isEmpty()) ext.prepend(QLatin1Char('.'));
    try {
        if (ext == QLatin1String(".GIF")) {
            ProgressBar->setValue(0);
            ProgressBar->show();
            ConvertirGifEnBmp(nom, [this](const QString& etape, int pourcent) {
                ProgressBar->setValue(etape == QLatin1String("Conversion") ? 0 : pourcent);
            });
            ProgressBar->hide();
            ext = QStringLiteral(".BMP");
            copie_.clear();
        }
        if (ext == QLatin1String(".BMP")) {
            QImage image = LireImageProfil(nom);
            image_ = std::move(image);
            copie_.clear();
            regleZoom(image_.width(), image_.height());
            MettreAffichage();
        } else if (ext == QLatin1String(".JPG") || ext == QLatin1String(".JPEG")) {
            // Everything that can fail comes before the form's state changes, so a JPEG that
            // cannot be read or copied leaves the picture held until then intact.
            const QSize taille = DimensionsJpeg(nom);
            const double z = CalculerZoom(LargeurClient(), HauteurDisponible(), taille);
            QImage image;
            QString copie;
            if (z >= 1) {
                // Held at its own size and read directly, enlarged or not.
                image = LireJpeg(nom);
            } else {
                copie = EcrireCopieJpeg(nom);
                image = LireJpegReduit(
                    nom, QSize(ArrondiInt(taille.width() * z), ArrondiInt(taille.height() * z)));
            }
            image_ = std::move(image);
            copie_ = copie;
            regleZoom(taille.width(), taille.height());
            if (!copie_.isEmpty()) PasserEnLectureCopie(*profil_);
            MettreAffichage();
        }
    } catch (const std::exception& e) {
        ProgressBar->hide();
        QApplication::restoreOverrideCursor();
        Dialogues().erreur(QString::fromUtf8(e.what()));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    source_ = nom;
    profil_->Reinitialiser();
    setWindowTitle(kTitre + QStringLiteral(" [") + QFileInfo(nom).fileName() + QStringLiteral("]"));
    TabulaneBtn->setEnabled(true);
    SaveFileBtn->setEnabled(true);
    TextFileBtn->setEnabled(true);
    Image1->update();
    Calculer();
    ConfigWebCamBtn->setEnabled(false);
    EditBidon->setFocus();
}

// ---- computation and plot ----------------------------------------------------------------

void TOptiqueForm::Calculer() {
    if (source_.isEmpty()) return;
    ++calculs_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    profil_->Moyenne = MoyenneSE->value();
    if (LireEchelleSaisie()) {
        try {
            if (profil_->Lecture == LecturePixels::Copie)
                profil_->CalculerCopie(copie_);
            else
                profil_->CalculerDirect(image_);
        } catch (const std::domain_error&) {
            QApplication::restoreOverrideCursor();
            Dialogues().message(QStringLiteral("Echelle incorrecte"));
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    SaturationLabel->setText(TexteSaturation(profil_->NombreSatures()));
    IntensitePB->update();
    Image1->update();
    QApplication::restoreOverrideCursor();
}

void TOptiqueForm::IntensitePBPaint(QPainter& p) {
    const ProfilOptique& f = *profil_;
    if (f.Debut >= f.Fin) return;
    Tgraphe& g = *graphe_;
    g.rect = IntensitePB->rect();
    g.first = f.Debut;
    g.last = f.Fin;
    g.mondeX.mini = f.Debut;
    g.mondeX.maxi = f.Fin;
    std::memcpy(g.Y.data(), f.Intensite.data(), sizeof(double) * TableauGraphe::Capacite);
    g.Dessine(p);
    // Saturated samples: a red mark above the curve and along the top edge.
    p.setPen(QPen(QColor(220, 0, 0), 1));
    for (int i = f.Debut; i <= f.Fin; ++i) {
        if (!f.Sature(i)) continue;
        const QPoint q = g.PointEcran(i);
        p.drawLine(q.x(), g.rect.top(), q.x(), g.rect.top() + 4);
        p.drawLine(q.x(), q.y() - 3, q.x(), q.y() - 1);
    }
}

// ---- picture and overlay -----------------------------------------------------------------

void TOptiqueForm::PeindreImage(QPainter& p) {
    if (affichage_.isNull()) return;
    p.drawImage(0, 0, ImageAffichee());
}

QImage TOptiqueForm::ImageAffichee() const {
    QImage image = affichage_.copy();
    if (image.isNull() || source_.isEmpty()) return image;
    QPainter p(&image);
    if (profil_->Lecture == LecturePixels::Directe) p.scale(profil_->Zoom, profil_->Zoom);
    DessinerOverlay(p, GeometrieOverlay(*profil_));
    return image;
}

QImage TOptiqueForm::ImageAvecOverlay() const {
    QImage image = image_.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return image;
    QPainter p(&image);
    DessinerOverlay(p, GeometrieOverlay(*profil_));
    return image;
}

// ---- mouse -------------------------------------------------------------------------------

void TOptiqueForm::DefinirAideImage(const QString& aide) {
    Image1->setStatusTip(aide);
    Panel1->setStatusTip(aide);
    RoutageAide::Instance().AfficherAide(aide);
}

void TOptiqueForm::ImageMouseDown(QMouseEvent* e) {
    if (source_.isEmpty()) return;
    const bool connecte = tsCap321->Connected();
    if (connecte)
        Timer1->start();
    else
        Timer1->stop();
    tsCap321->Parameter.SetPreview(connecte);
    const QPoint pos = profil_->VersPoignee(e->position().toPoint());
    const int n = PoigneeSous(*profil_, pos);
    profil_->PoigneeSaisie = std::uint8_t(n);
    if (n != 0)
        EditBidon->setFocus();
    else
        profil_->DernierePoigneeSaisie = 0;
}

void TOptiqueForm::Glisser(QMouseEvent* e) {
    const int n = profil_->PoigneeSaisie;
    const QPoint ecran = e->position().toPoint();
    const int w = Image1->width(), h = Image1->height();
    if (n == 1 || n == 2) {
        if (ecran.x() < 8 || ecran.x() > w - 8 || ecran.y() < 8 || ecran.y() > h - 8) return;
    } else if (ecran.x() < 0 || ecran.x() > w - 1 || ecran.y() < 0 || ecran.y() > h - 1) {
        return;
    }
    GlisserPoignee(*profil_, n, profil_->VersPoignee(ecran), e->modifiers() & Qt::ShiftModifier);
    Image1->setCursor(n == 2 ? QCursor(Qt::PointingHandCursor) : CurseurNumero(crCibleMove));
    Image1->update();
}

void TOptiqueForm::ImageMouseMove(QMouseEvent* e) {
    if (source_.isEmpty()) return;
    if (profil_->PoigneeSaisie != 0 && (e->buttons() & (Qt::LeftButton | Qt::RightButton))) {
        Glisser(e);
        return;
    }
    const int n = PoigneeSous(*profil_, profil_->VersPoignee(e->position().toPoint()));
    switch (n) {
    case 1:
        Image1->setCursor(CurseurNumero(crCibleMove));
        DefinirAideImage(QStringLiteral("Origine des coordonnées"));
        break;
    case 2:
        Image1->setCursor(Qt::PointingHandCursor);
        DefinirAideImage(QStringLiteral("Direction"));
        break;
    case 3:
    case 4:
        Image1->setCursor(CurseurNumero(crCibleMove));
        DefinirAideImage(profil_->Lecture == LecturePixels::Copie
                             ? QStringLiteral("Echelle ; double-clic pour agrandir")
                             : QStringLiteral("Echelle"));
        break;
    default:
        Image1->unsetCursor();
        DefinirAideImage(QString());
    }
    Panel1->setCursor(Image1->cursor());
}

void TOptiqueForm::ImageMouseUp(QMouseEvent* e) {
    if (source_.isEmpty()) return;
    if (profil_->PoigneeSaisie != 0) Glisser(e);
    DefinirAideImage(QString());
    profil_->DernierePoigneeSaisie = profil_->PoigneeSaisie;
    profil_->PoigneeSaisie = 0;
    Calculer();
}

void TOptiqueForm::Image1DblClick() {
    ProfilOptique& f = *profil_;
    const int n = f.DernierePoigneeSaisie;
    if (f.Lecture != LecturePixels::Copie || (n != 3 && n != 4)) return;
    TJpegEchelleDlg& dlg = TJpegEchelleDlg::Instance();
    dlg.NomFichier = copie_;
    const QPoint p = f.Poignee[std::size_t(n)];
    dlg.DefinirMarqueur({ArrondiInt(p.x() / f.Zoom), ArrondiInt(p.y() / f.Zoom)});
    dlg.Montrer();
    const QPoint m = dlg.Marqueur();
    f.Poignee[std::size_t(n)] = {ArrondiInt(m.x() * f.Zoom), ArrondiInt(m.y() * f.Zoom)};
    Image1->update();
    // The scale changed: the distances follow at once.
    Calculer();
}

// ---- saving and transfer -----------------------------------------------------------------

void TOptiqueForm::SaveFileBtnClick() {
    if (image_.isNull()) return;
    const QFileInfo fi(source_);
    const QString propose = fi.path() + QLatin1Char('/') + fi.completeBaseName();
    const auto nom = Dialogues().enregistrerFichier(
        QString(), dossier_, QStringLiteral("Bitmap (*.bmp);;Jpeg (*.jpg)"), propose);
    if (!nom) return;
    const QString ext = QFileInfo(*nom).suffix().toLower();
    const bool jpeg = ext == QLatin1String("jpg") || ext == QLatin1String("jpeg");
    filtreEnregistrer_ = jpeg ? 2 : 1;
    const QImage image = ImageAvecOverlay();
    bool ok = false;
    if (jpeg) {
        // Encoded in memory first: the JPEG writer does not check every write it makes.
        QByteArray octets;
        QBuffer tampon(&octets);
        ok = tampon.open(QIODevice::WriteOnly) && image.save(&tampon, "JPG") &&
             EcrireFichierAtomique(*nom, octets);
    } else {
        ok = EcrireBmp24(image, AvecExtension(*nom, QStringLiteral(".bmp")));
    }
    if (!ok) Dialogues().message(QStringLiteral("Erreur d'écriture"));
}

void TOptiqueForm::TabulaneBtnClick() {
    if (source_.isEmpty()) return;
    Timer1->stop();
    tsCap321->Parameter.SetPreview(false);
    Transferer([this](const PageTransfert& page, TexteEchange& texte) {
        ConstruireTexteOptique(*profil_, page, source_, texte);
    });
}

void TOptiqueForm::TextFileBtnClick() {
    if (source_.isEmpty()) return;
    const auto nom = Dialogues().enregistrerFichier(
        QString(), dossier_, QStringLiteral("Fichier texte (*.txt)"), QString());
    if (!nom) return;
    const bool ok = EcrireFichierAtomique(AvecExtension(*nom, QStringLiteral(".txt")),
                                          VersCp1252(JoindreLignes(LignesTableOptique(*profil_))));
    if (!ok) Dialogues().message(QStringLiteral("Erreur d'écriture"));
}

// ---- webcam ------------------------------------------------------------------------------

void TOptiqueForm::MettreBoutonsWebcam() {
    const bool c = tsCap321->Connected();
    ConfigWebCamBtn->setEnabled(c);
    TabulaneBtn->setEnabled(c);
    SaveFileBtn->setEnabled(c);
    TextFileBtn->setEnabled(!source_.isEmpty());
    if (c)
        Timer1->start();
    else
        Timer1->stop();
    ConnectBtn->setText(c ? QStringLiteral("Déconnexion") : QStringLiteral("Connexion"));
}

void TOptiqueForm::sbAcquireClick() {
    try {
        tsCap321->SetConnected(!tsCap321->Connected());
        if (tsCap321->Connected()) {
            source_ = kWebcam;
            copie_.clear();
            tsCap321->Parameter.SetPreview(true);
        }
        MettreBoutonsWebcam();
    } catch (const ErreurCamera& e) {
        ConfigWebCamBtn->setEnabled(false);
        Timer1->stop();
        source_.clear();
        copie_.clear();
        ConnectBtn->setText(QStringLiteral("Connexion"));
        TabulaneBtn->setEnabled(false);
        SaveFileBtn->setEnabled(false);
        TextFileBtn->setEnabled(false);
        Dialogues().erreur(e.Message());
    }
}

void TOptiqueForm::tsCap321Connected() {
    regleZoom(tsCap321->Parameter.ImageWidth(), tsCap321->Parameter.ImageHeight());
    profil_->PoigneeSaisie = 0;
    setWindowTitle(kTitre + QStringLiteral(" à partir de Webcam"));
}

void TOptiqueForm::Timer1Timer() {
    // A handle being dragged keeps the picture still under the mouse.
    if (profil_->PoigneeSaisie != 0 || !tsCap321->Connected()) return;
    // The frame is handed over directly: going through the clipboard twice a second would
    // take the clipboard away from the user for as long as the webcam runs.
    const QImage image = tsCap321->ImageCourante();
    if (image.isNull()) return;
    image_ = image.convertToFormat(QImage::Format_RGB32);
    if (image_.size() != profil_->Image) regleZoom(image_.width(), image_.height());
    MettreAffichage();
    Calculer();
}

void TOptiqueForm::configWebCamBtnClick() {
    try {
        tsCap321->Parameter.SetDlgSource(true);
    } catch (const ErreurCamera& e) {
        Dialogues().message(e.Message());
    }
}

void TOptiqueForm::Activation(bool active) {
    const bool marche = active && tsCap321->Connected();
    if (marche)
        Timer1->start();
    else
        Timer1->stop();
    tsCap321->Parameter.SetPreview(marche);
}

void TOptiqueForm::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange) Activation(isActiveWindow());
    TTradForm::changeEvent(e);
}

} // namespace kinepo
