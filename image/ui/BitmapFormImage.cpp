// TBitmapForm: its pictures (files, scanner, saving, settings), the zoomed view, the overview
// with its panning, and the contrast tool.
#include "common/Arrondi.h"
#include "common/IniFile.h"
#include "image/logic/Contraste.h"
#include "image/logic/DessinImage.h"
#include "image/logic/VueZoom.h"
#include "image/ui/AcquisitionDlg.h"
#include "image/ui/BitmapForm.h"
#include "image/ui/EchelleBmpDlg.h"
#include "platform/Chemins.h"
#include "platform/Dialogues.h"
#include "platform/LectureImage.h"
#include "platform/Plateforme.h"
#include "shell/base/PanneauImage.h"
#include "shell/base/PanneauxEtat.h"
#include "shell/base/RoutageAide.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kinepo {

namespace {

const QString kSection = QStringLiteral("BMP");
const QString kAideApercu = QStringLiteral("|Réglage du zoom");
// What lies beyond the picture in the view.
constexpr QRgb kFond = 0xFFC0C0C0;

// The save dialog's filter: positions 1 and 2 are those the settings have always kept.
const QString kFiltreEnregistrer = QStringLiteral("bitmap (*.bmp);;Jpeg (*.jpg);;PNG (*.png)");

// The application's busy cursor for the life of a scope, even when a reader throws.
struct CurseurOccupe {
    CurseurOccupe() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CurseurOccupe() { QApplication::restoreOverrideCursor(); }
    CurseurOccupe(const CurseurOccupe&) = delete;
    CurseurOccupe& operator=(const CurseurOccupe&) = delete;
};

QPushButton* PetitBouton(const QString& titre, const QString& aide) {
    auto* b = new QPushButton(titre);
    b->setFixedWidth(28);
    DefinirAide(b, aide);
    return b;
}

} // namespace

// ---- Controls of the view tools --------------------------------------------------------------

void TBitmapForm::construireOutilsVue(QHBoxLayout* ligne) {
    ZoomArriereBtn = PetitBouton(QStringLiteral("-"),
                                 QStringLiteral("Zoom arrière|Divise par 2 le zoom actuel"));
    ZoomEdit = new QLineEdit(QStringLiteral("Taille réelle"));
    ZoomEdit->setReadOnly(true);
    ZoomEdit->setFocusPolicy(Qt::NoFocus);
    ZoomEdit->setFixedWidth(90);
    ZoomAvantBtn = PetitBouton(QStringLiteral("+"),
                               QStringLiteral("Zoom avant|Multiplie par 2 le zoom actuel"));
    ligne->addSpacing(10);
    ligne->addWidget(ZoomArriereBtn);
    ligne->addWidget(ZoomEdit);
    ligne->addWidget(ZoomAvantBtn);
    ligne->addSpacing(10);
    ContrasteCB = new QCheckBox(QStringLiteral("Réglage du contraste"));
    ligne->addWidget(ContrasteCB);
    ScrollBarGamma = new QSpinBox;
    ScrollBarGamma->setRange(0, 25);
    ScrollBarGamma->setValue(ContrastPos);
    ScrollBarGamma->setVisible(false);
    ligne->addWidget(ScrollBarGamma);
    GammaPaintBox = new PanneauImage;
    GammaPaintBox->setMinimumSize(60, 20);
    GammaPaintBox->setMaximumHeight(24);
    GammaPaintBox->setVisible(false);
    DefinirAide(GammaPaintBox,
                QStringLiteral(
                    "Référence du contraste|La ligne rouge représente l'état qui sera inchangé"));
    GammaPaintBox->SourceImage = [this] { return dessinerBoiteGamma(); };
    GammaPaintBox->SurPression = [this](QMouseEvent* e) { GammaMouseDown(e); };
    GammaPaintBox->SurDeplacement = [this](QMouseEvent* e) { GammaMouseMove(e); };
    GammaPaintBox->SurRelachement = [this](QMouseEvent* e) { GammaMouseUp(e); };
    // The box takes the rest of the row, right-aligned after the up-down.
    ligne->addWidget(GammaPaintBox, 1);

    connect(ZoomArriereBtn, &QPushButton::clicked, this, &TBitmapForm::ZoomArriereBtnClick);
    connect(ZoomAvantBtn, &QPushButton::clicked, this, &TBitmapForm::ZoomAvantBtnClick);
    connect(ContrasteCB, &QCheckBox::clicked, this, &TBitmapForm::ContrasteCBClick);
    connect(ScrollBarGamma, &QSpinBox::valueChanged, this, [this](int) { ApplyContrast(); });
}

void TBitmapForm::construireZoneImage(QVBoxLayout* vbox) {
    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setChildrenCollapsible(false);
    DefinirAide(Splitter1,
                QStringLiteral("|Déplacer pour changer les dimensions relatives des deux images"));
    Panel1 = new QWidget;
    Panel1->setMinimumWidth(300);
    auto* colonne = new QVBoxLayout(Panel1);
    colonne->setContentsMargins(0, 0, 0, 0);
    colonne->setSpacing(0);
    ImagePaintBox = new PanneauImage;
    ImagePaintBox->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    ImagePaintBox->SourceImage = [this] { return dessinerVue(); };
    ImagePaintBox->SurPression = [this](QMouseEvent* e) { ViewMouseDown(e); };
    ImagePaintBox->SurDeplacement = [this](QMouseEvent* e) { ViewMouseMove(e); };
    ImagePaintBox->SurRelachement = [this](QMouseEvent* e) { ViewMouseUp(e); };
    ImagePaintBox->setContextMenuPolicy(Qt::CustomContextMenu);
    colonne->addWidget(ImagePaintBox, 1);
    ProgressBar = new QProgressBar;
    ProgressBar->setRange(0, 100);
    ProgressBar->setVisible(false);
    colonne->addWidget(ProgressBar);
    Splitter1->addWidget(Panel1);

    ZoomMenu = new QMenu(this);
    const struct {
        const char* titre;
        double facteur;
    } facteurs[] = {{"Zoom /4", 0.25},      {"Zoom /3", 1.0 / 3}, {"Zoom /2", 0.5},
                    {"Taille réelle", 1.0}, {"Zoom x&2", 2},      {"Zoom x&3", 3},
                    {"Zoom x&4", 4},        {"Zoom x&5", 5},      {"Zoom x&6", 6},
                    {"Zoom x&7", 7},        {"Zoom x&8", 8},      {"Zoom x&9", 9}};
    for (const auto& f : facteurs) {
        const double x = f.facteur;
        connect(ZoomMenu->addAction(QString::fromUtf8(f.titre)), &QAction::triggered, this,
                [this, x] { SetZoom(x); });
    }
    connect(ZoomMenu, &QMenu::aboutToShow, this, [this] { ZoomAnchor = QCursor::pos(); });
    connect(ImagePaintBox, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { ZoomMenu->popup(ImagePaintBox->mapToGlobal(p)); });

    Splitter2 = new QSplitter(Qt::Vertical);
    Splitter2->setChildrenCollapsible(false);
    Splitter2->setMinimumWidth(300);
    DefinirAide(Splitter2, QStringLiteral("|Déplacer pour changer la taille du tableau"));
    Panel4 = new QWidget;
    Panel4->setMinimumHeight(100);
    PaintBox = new PanneauImage(Panel4);
    PaintBox->move(0, 0);
    PaintBox->resize(0, 0);
    PaintBox->SourceImage = [this] { return dessinerApercu(); };
    PaintBox->SurPression = [this](QMouseEvent* e) { OverviewMouseDown(e); };
    PaintBox->SurDeplacement = [this](QMouseEvent* e) { OverviewMouseMove(e); };
    PaintBox->SurRelachement = [this](QMouseEvent* e) { OverviewMouseUp(e); };
    Splitter2->addWidget(Panel4);
    Grid = new QTableWidget(5, 1);
    Grid->setMinimumHeight(100);
    Splitter2->addWidget(Grid);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 1);
    Splitter1->addWidget(Splitter2);
    Splitter1->setStretchFactor(0, 3);
    Splitter1->setStretchFactor(1, 1);

    vbox->addWidget(Splitter1, 1);

    connect(Splitter1, &QSplitter::splitterMoved, this, [this] {
        QApplication::processEvents(); // the panels take their new sizes first
        SetZoom(vue_.zoom);
    });
    connect(Splitter2, &QSplitter::splitterMoved, this, [this] { PaintOverview(); });
}

QSize TBitmapForm::taillePanneauVue() const {
    return ImagePaintBox->size();
}

// ---- Settings --------------------------------------------------------------------------------

void TBitmapForm::lireReglages() {
    const IniFile ini(NomFichierIni());
    FilterSave = ini.lireEntier(kSection, QStringLiteral("FilterSave"), 2);
    // Colours are kept as the platform's colour integers: red in the low byte (255 is red).
    for (int i = 0; i < 4; ++i) {
        const int c = ini.lireEntier(kSection, QStringLiteral("Couleur%1").arg(i), 255);
        TraceColours[i] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    }
    SourceChoisie = ini.lireTexte(kSection, QStringLiteral("Source"));
}

void TBitmapForm::ecrireReglages() const {
    const auto entier = [](QRgb c) { return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16); };
    IniFile ini(NomFichierIni());
    ini.ecrireEntier(kSection, QStringLiteral("FilterSave"), FilterSave);
    for (int i = 0; i < 4; ++i)
        ini.ecrireEntier(kSection, QStringLiteral("Couleur%1").arg(i), entier(TraceColours[i]));
    if (!SourceChoisie.isEmpty())
        ini.ecrireTexte(kSection, QStringLiteral("Source"), SourceChoisie);
    ini.enregistrer(); // a settings file that cannot be written is skipped
}

void TBitmapForm::closeEvent(QCloseEvent* e) {
    ecrireReglages();
    TTradForm::closeEvent(e);
}

// ---- Pictures --------------------------------------------------------------------------------

void TBitmapForm::OpenFileItemClick() {
    const auto nom = Dialogues().ouvrirFichier(
        QStringLiteral("Charger une image"), dossier_,
        QStringLiteral("bitmap (*.bmp);;Jpeg (*.jpg *.jpeg);;GIF (*.gif);;PNG (*.png);;"
                       "Images (*.bmp *.jpg *.jpeg *.gif *.png)"));
    if (nom) OpenPicture(*nom);
}

bool TBitmapForm::OpenPicture(const QString& chemin) {
    // The recorded name follows the file even when it cannot be read; the pictures stay.
    QString nom = QFileInfo(chemin).absoluteFilePath();
    nomImage_ = nom.toUpper();
    const bool gif =
        QFileInfo(nom).suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) == 0;
    QImage image;
    try {
        CurseurOccupe occupe;
        if (gif) {
            ProgressBar->show();
            ProgressBar->setValue(0);
        }
        image = LireImageFichier(nom, true, [this](const QString& etape, int pourcent) {
            ProgressBar->setValue(etape == QLatin1String("Conversion") ? 0 : pourcent);
        });
        ProgressBar->hide();
    } catch (const ErreurLectureImage& e) {
        ProgressBar->hide();
        Dialogues().message(e.message());
        return false;
    }
    nomImage_ = nom.toUpper();
    source_ = std::move(image);
    image_ = source_; // shared until the contrast tool writes it
    SetUpNewImage();
    EchelleBtnClick();
    StatusBar->setTexte(0, QStringLiteral("Cliquer sur le bouton Paramètres pour configurer"));
    return true;
}

void TBitmapForm::TakeAcquiredPicture(const QImage& bitmap, const QString& filePath) {
    if (bitmap.isNull()) {
        OpenPicture(filePath);
        return;
    }
    source_ = bitmap.convertToFormat(QImage::Format_RGB32);
    image_ = source_;
    nomImage_ = QStringLiteral("Twain");
    SetUpNewImage();
}

void TBitmapForm::SavePicture() {
    if (image_.isNull()) return;
    int filtre = FilterSave;
    const auto nom = Dialogues().enregistrerFichierFiltre(
        QStringLiteral("Enregistrer l'image"), dossier_, kFiltreEnregistrer, QString(), filtre);
    if (!nom) return;
    FilterSave = filtre;
    FormatImage format;
    switch (filtre) {
    case 1:
        format = FormatImage::Bmp;
        break;
    case 2:
        format = FormatImage::Jpeg;
        break;
    case 3:
        format = FormatImage::Png;
        break;
    default:
        return;
    }
    try {
        CurseurOccupe occupe;
        EcrireImageFichier(image_, *nom, format); // the name as typed
    } catch (const ErreurLectureImage& e) {
        Dialogues().message(e.message());
    }
}

void TBitmapForm::SetUpNewImage() {
    Series.Effacer();
    Calibration.ResetHandles(image_.width(), image_.height());
    FormState = Idle;
    StopBtn->setVisible(false);
    MesureBtn->setVisible(false);
    EchelleBtn->setEnabled(true);
    UndoBtn->setEnabled(false);
    TabulaneBtn->setEnabled(false);
    SaveBmpItem->setEnabled(nomImage_ == QLatin1String("Twain"));
    vue_ = VueNouvelleImage(taillePanneauVue());
    ZoomEdit->setText(TexteZoom(1));
    apercuFond_ = QImage();
    Series.CurrentSeries = 1;
    Calibration.SeriesCount = 1;
    PipetteBtn->setEnabled(true);
    ExtraireBtn->setEnabled(true);
    setWindowTitle(QStringLiteral("Lecture de bitmap pour Tabulane [%1]").arg(nomImage_));
    StatusBar->setTexte(0, QStringLiteral("Cliquer sur les points à repérer"));
    Calibration.RecomputeCalibration();
    PaintOverview();
}

// ---- Scanner ---------------------------------------------------------------------------------

void TBitmapForm::activerNumeriseur() {
    if (sourcesConnues_ || recherche_.joinable()) return;
    // Until the search ends the two items wait, disabled; the menu itself never does.
    SourceItem->setEnabled(false);
    AcquireItem->setEnabled(false);
    INumeriseur* numeriseur = &Numeriseur();
    recherche_ = std::thread([this, numeriseur] {
        auto liste = numeriseur->Sources();
        {
            const std::lock_guard<std::mutex> verrou(trouveesVerrou_);
            trouvees_ = std::move(liste);
        }
        QMetaObject::invokeMethod(
            this, [this] { AttendreSources(); }, Qt::QueuedConnection);
    });
}

void TBitmapForm::AttendreSources() {
    if (!sourcesConnues_ && !recherche_.joinable()) activerNumeriseur();
    if (recherche_.joinable()) {
        CurseurOccupe occupe;
        recherche_.join();
        const std::lock_guard<std::mutex> verrou(trouveesVerrou_);
        sources_ = std::move(trouvees_);
        sourcesConnues_ = true;
    }
    const bool present = !sources_.empty();
    SourceItem->setEnabled(present);
    AcquireItem->setEnabled(present);
}

void TBitmapForm::SourceItemClick() {
    AttendreSources();
    if (sources_.empty()) {
        Dialogues().message(
            QStringLiteral("Aucun scanner ni appareil d'acquisition n'est présent"));
        return;
    }
    QStringList libelles;
    for (const auto& s : sources_)
        libelles << s.libelle;
    const int i = Dialogues().demander(QStringLiteral("Choisir la source"), libelles);
    if (i >= 0 && i < int(sources_.size())) SourceChoisie = sources_[std::size_t(i)].nom;
}

void TBitmapForm::AcquireItemClick() {
    AttendreSources();
    if (sources_.empty()) return;
    QString source = sources_.front().nom;
    for (const auto& s : sources_)
        if (s.nom == SourceChoisie) source = s.nom;
    QImage image;
    try {
        OptionsNumeriseur options;
        {
            CurseurOccupe occupe;
            options = Numeriseur().Options(source);
        }
        ReglagesNumeriseur reglages;
        if (!TAcquisitionDlg::Demander(this, source, options, reglages)) return;
        CurseurOccupe occupe;
        image = Numeriseur().Acquerir(source, reglages);
    } catch (const ErreurNumeriseur& e) {
        Dialogues().message(e.message());
        return;
    }
    TakeAcquiredPicture(image, QString());
}

// ---- Zoom ------------------------------------------------------------------------------------

void TBitmapForm::SetZoom(double x) {
    x = NormaliserZoom(x);
    if (image_.isNull()) return;
    ImagePaintBox->setUpdatesEnabled(false);
    AppliquerZoom(vue_, x, ImagePaintBox->mapFromGlobal(ZoomAnchor), taillePanneauVue(),
                  image_.size());
    ImagePaintBox->setUpdatesEnabled(true);
    PaintOverview();
    EditBidon->setFocus();
    ZoomEdit->setText(TexteZoom(vue_.zoom));
}

void TBitmapForm::ZoomArriereBtnClick() {
    if (vue_.zoom > 0.125) SetZoom(ZoomArriere(vue_.zoom));
}

void TBitmapForm::ZoomAvantBtnClick() {
    if (vue_.zoom < 8) SetZoom(ZoomAvant(vue_.zoom));
}

void TBitmapForm::showEvent(QShowEvent* e) {
    TTradForm::showEvent(e);
    if (dejaMontree_) return;
    dejaMontree_ = true;
    // At the first showing the view takes three quarters of the width and the overview the
    // upper half of the right-hand panel; later the splitters keep what the user made of them.
    const int largeur = Splitter1->width(), droite = std::max(300, largeur / 4);
    Splitter1->setSizes({std::max(300, largeur - droite), droite});
    const int hauteur = Splitter2->height();
    Splitter2->setSizes({std::max(100, hauteur / 2), std::max(100, hauteur - hauteur / 2)});
}

void TBitmapForm::resizeEvent(QResizeEvent* e) {
    TTradForm::resizeEvent(e);
    if (ScrollBarGamma) GammaPaintBox->update();
}

// ---- View and overview -----------------------------------------------------------------------

void TBitmapForm::redessiner() {
    PaintView();
}

void TBitmapForm::PaintView() {
    FillGrid();
    ImagePaintBox->update();
    EditBidon->setFocus();
}

QImage TBitmapForm::dessinerVue() const {
    if (image_.isNull()) return {};
    QImage rendu = RenduVue(image_, vue_, kFond);
    if (rendu.isNull()) return rendu;
    DessinerVue(rendu, vue_, Calibration, Series, TraceColours);
    return rendu;
}

void TBitmapForm::PaintOverview() {
    if (image_.isNull()) {
        PaintBox->resize(0, 0);
        PaintView();
        return;
    }
    FacteurApercu = kinepo::FacteurApercu(Panel4->size(), image_.size());
    const QSize t = TailleApercu(FacteurApercu, image_.size());
    if (PaintBox->size() != t) PaintBox->resize(t);
    if (apercuFond_.size() != t)
        apercuFond_ = image_.scaled(t, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                          .convertToFormat(QImage::Format_RGB32);
    RectangleApercu = kinepo::RectangleApercu(vue_, FacteurApercu);
    PaintBox->update();
    PaintView();
}

QImage TBitmapForm::dessinerApercu() const {
    if (image_.isNull() || apercuFond_.isNull()) return {};
    QImage rendu = apercuFond_.copy();
    QPainter p(&rendu);
    p.setPen(QColor(TraceColours[0]));
    p.setBrush(Qt::NoBrush);
    p.drawRect(RectangleApercu);
    DessinerApercu(p, FacteurApercu, Calibration, Series, TraceColours);
    if (glisseApercu_) {
        // The moving outline, by XOR: drawing it twice leaves the picture as it was.
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QColor(TraceColours[0]));
        p.drawRect(contourMobile_);
    }
    return rendu;
}

void TBitmapForm::OverviewMouseDown(QMouseEvent* e) {
    if (image_.isNull()) return;
    const QPoint a = e->position().toPoint();
    const QRect r = RectangleApercu;
    if (a.x() > r.left() && a.x() < r.right() && a.y() > r.top() && a.y() < r.bottom()) {
        glisseApercu_ = true;
        appuiApercu_ = a;
        contourMobile_ = r;
        PaintBox->setCursor(Qt::OpenHandCursor);
    } else {
        PaintBox->setCursor(Qt::ArrowCursor);
    }
}

void TBitmapForm::OverviewMouseMove(QMouseEvent* e) {
    if (image_.isNull()) return;
    const QPoint a = e->position().toPoint();
    if (glisseApercu_ && (e->buttons() & Qt::LeftButton)) {
        contourMobile_ = RectangleApercu.translated(a - appuiApercu_);
        PaintBox->update();
    } else if (!glisseApercu_) {
        const QRect r = RectangleApercu;
        const bool dedans =
            a.x() > r.left() && a.x() < r.right() && a.y() > r.top() && a.y() < r.bottom();
        PaintBox->setCursor(dedans ? Qt::OpenHandCursor : Qt::ArrowCursor);
        DefinirAide(PaintBox, dedans ? kAideApercu : QString());
        RoutageAide::Instance().AfficherAide(dedans ? PartieLongue(kAideApercu) : QString());
    }
}

void TBitmapForm::OverviewMouseUp(QMouseEvent* e) {
    if (!glisseApercu_) return;
    glisseApercu_ = false;
    DeplacerVue(vue_, e->position().toPoint() - appuiApercu_, FacteurApercu, taillePanneauVue(),
                image_.size());
    PaintBox->setCursor(Qt::ArrowCursor);
    PaintOverview();
}

// ---- Contrast --------------------------------------------------------------------------------

void TBitmapForm::ContrasteCBClick() {
    ScrollBarGamma->setVisible(ContrasteCB->isChecked());
    GammaPaintBox->setVisible(ContrasteCB->isChecked());
}

void TBitmapForm::ApplyContrast() {
    ContrastPos = ScrollBarGamma->value();
    if (source_.isNull()) return;
    {
        CurseurOccupe occupe;
        AppliquerContraste(source_, ContrastRef, ContrastPos, image_);
        apercuFond_ = QImage();
        PaintOverview();
    }
    EditBidon->setFocus();
}

QImage TBitmapForm::dessinerBoiteGamma() const {
    QImage boite(GammaPaintBox->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    boite.fill(qRgb(255, 255, 255));
    if (image_.isNull()) return boite;
    QPainter p(&boite);
    p.setPen(QColor(255, 0, 0));
    const int x = ColonneReference(ContrastRef, boite.width());
    p.drawLine(x, 0, x, boite.height() - 1);
    if (glisseGamma_ && ligneGamma_ >= 0) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QColor(255, 0, 0));
        p.drawLine(ligneGamma_, 0, ligneGamma_, boite.height() - 1);
    }
    return boite;
}

void TBitmapForm::GammaMouseDown(QMouseEvent* e) {
    if (image_.isNull()) return;
    const int x = e->position().toPoint().x();
    if (std::abs(x - ColonneReference(ContrastRef, GammaPaintBox->width())) < 8) {
        glisseGamma_ = true;
        ligneGamma_ = x;
        GammaPaintBox->update();
    }
}

void TBitmapForm::GammaMouseMove(QMouseEvent* e) {
    if (!glisseGamma_) return;
    ligneGamma_ = e->position().toPoint().x();
    GammaPaintBox->update();
}

void TBitmapForm::GammaMouseUp(QMouseEvent* e) {
    if (!glisseGamma_) return;
    glisseGamma_ = false;
    ligneGamma_ = -1;
    ContrastRef = ReferenceDeColonne(e->position().toPoint().x(), GammaPaintBox->width());
    GammaPaintBox->update();
    ApplyContrast();
}

} // namespace kinepo
