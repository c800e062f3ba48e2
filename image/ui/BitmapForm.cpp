#include "image/ui/BitmapForm.h"

#include "common/Arrondi.h"
#include "common/Nombres.h"
#include "image/logic/VueZoom.h"
#include "image/ui/EchelleBmpDlg.h"
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "shell/base/Curseurs.h"
#include "shell/base/PanneauImage.h"
#include "shell/base/PanneauxEtat.h"
#include "shell/base/RoutageAide.h"
#include "transfer/ui/Transfert.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace kinepo {

namespace {

const QString kAideEnregistrer = QStringLiteral("|Cliquer pour enregistrer le point");
const QString kAideZoom = QStringLiteral("|Clic droit pour menu zoom");
const QString kAideDeplacer = QStringLiteral("|Déplacer le point");
constexpr int kCurseurCible = 1000; // stands for the application-wide target cursor

// The 4-digit general format of the readouts.
QString Lecture(double x) {
    return FormatGeneral(x, 4, 2);
}

QPushButton* Bouton(const QString& titre, const QString& aide = {}) {
    auto* b = new QPushButton(titre);
    if (!aide.isEmpty()) DefinirAide(b, aide);
    return b;
}

} // namespace

TBitmapForm::TBitmapForm(QWidget* parent) : TTradForm(parent) {
    setObjectName(QStringLiteral("BitmapForm"));
    setWindowTitle(QStringLiteral("Lecture d'image pour Tabulane"));
    for (QRgb& c : TraceColours)
        c = qRgb(255, 0, 0);
    lireReglages();
    EchelleDlg = new TEchelleBmpDlg(Calibration, TraceColours[0], this);
    construireControles();
    SelectionnerCouleur(CouleurPointsCB, TraceColours[1]);
    RoutageAide::Instance().EnregistrerForme(
        this, [this](const QString& t) { StatusBar->setTexte(0, t); });
    qApp->installEventFilter(this);
    FormCreate();
}

TBitmapForm::~TBitmapForm() {
    if (recherche_.joinable()) recherche_.join();
    ecrireReglages(); // at program exit too, when the form was never closed
    qApp->removeEventFilter(this);
}

void TBitmapForm::construireControles() {
    auto* centre = new QWidget;
    auto* vbox = new QVBoxLayout(centre);
    vbox->setContentsMargins(2, 2, 2, 2);

    ToolBar1 = new QWidget;
    auto* barre = new QHBoxLayout(ToolBar1);
    barre->setContentsMargins(0, 0, 0, 0);
    FileBtn = Bouton(QStringLiteral("Image"));
    FilePopup = new QMenu(FileBtn);
    FilePopup->setToolTipsVisible(true);
    const auto item = [this](const QString& titre, const QString& aide) {
        QAction* a = FilePopup->addAction(titre);
        a->setToolTip(aide);
        a->setStatusTip(aide);
        return a;
    };
    OpenFileItem = item(QStringLiteral("Charger"), QStringLiteral("Charger une image bmp ou jpeg"));
    SourceItem = item(QStringLiteral("Source"),
                      QStringLiteral("Choix de la source compatible Twain (par ex. Webcam)"));
    AcquireItem =
        item(QStringLiteral("Acquérir"), QStringLiteral("Acquisition à partir de la source Twain"));
    SaveBmpItem =
        item(QStringLiteral("Enregistrer"), QStringLiteral("Enregistrer l'image courante"));
    SaveBmpItem->setEnabled(false);
    FileBtn->setMenu(FilePopup);
    EchelleBtn = Bouton(QStringLiteral("Echelle"),
                        QStringLiteral("Echelle/options|Définition de l'échelle, options"));
    MesureBtn = Bouton(QStringLiteral("Mesurer"), QStringLiteral("RàZ et début des mesures"));
    StopBtn = Bouton(QStringLiteral("Stop"), QStringLiteral("Fin des mesures"));
    RazBtn = Bouton(QStringLiteral("RàZ"), QStringLiteral("RàZ|Remise à zéro"));
    UndoBtn = Bouton(QStringLiteral("Défaire"), QStringLiteral("Annuler dernier point"));
    SupprBtn = Bouton(QStringLiteral("Effacer"));
    TabulaneBtn = Bouton(QStringLiteral("Tabulane"),
                         QStringLiteral("Tabulane|Envoi de données vers Tabulane"));
    ExiBtn = Bouton(QStringLiteral("Quitter"));
    for (QPushButton* b :
         {FileBtn, EchelleBtn, MesureBtn, StopBtn, RazBtn, UndoBtn, SupprBtn, TabulaneBtn, ExiBtn})
        barre->addWidget(b);
    barre->addStretch();
    vbox->addWidget(ToolBar1);

    Panel3 = new QWidget;
    auto* ligne = new QHBoxLayout(Panel3);
    ligne->setContentsMargins(0, 0, 0, 0);
    ligne->addWidget(new QLabel(QStringLiteral("Couleur de tracé")));
    CouleurPointsCB = new QComboBox;
    RemplirCouleursImage(CouleurPointsCB);
    ligne->addWidget(CouleurPointsCB);
    SerieLabel = new QLabel(QStringLiteral("Série courante"));
    SerieLabel->setVisible(false);
    SerieSE = new QSpinBox;
    SerieSE->setRange(1, 1);
    SerieSE->setEnabled(false);
    ligne->addWidget(SerieLabel);
    ligne->addWidget(SerieSE);
    ligne->addSpacing(20);
    PipetteBtn = Bouton(QStringLiteral("Pipette"),
                        QStringLiteral("Pipette|Cliquer sur la courbe pour prendre sa couleur"));
    CouleurCourbeEdit = new QLineEdit(QStringLiteral("255,0,0"));
    // Wide enough for the widest colour, "255,255,255", however crowded the row.
    CouleurCourbeEdit->setMinimumWidth(
        CouleurCourbeEdit->fontMetrics().horizontalAdvance(QStringLiteral("255,255,255")) + 16);
    CouleurCourbeEdit->setMaximumWidth(CouleurCourbeEdit->minimumWidth() + 10);
    DefinirAide(
        CouleurCourbeEdit,
        QStringLiteral("Couleur de la courbe|Rouge, vert, bleu de la courbe à suivre (0 à 255)"));
    ToleranceSE = new QSpinBox;
    ToleranceSE->setRange(0, 765);
    ToleranceSE->setValue(60);
    DefinirAide(ToleranceSE,
                QStringLiteral("Tolérance|Somme des écarts de rouge, vert et bleu acceptée"));
    PasSE = new QSpinBox;
    PasSE->setRange(1, 1000);
    PasSE->setValue(1);
    DefinirAide(PasSE, QStringLiteral("Pas|Nombre de colonnes de pixels entre deux points"));
    ExtraireBtn =
        Bouton(QStringLiteral("Extraire"),
               QStringLiteral("Extraire|Suivre la courbe de cette couleur dans la série courante"));
    ligne->addWidget(PipetteBtn);
    ligne->addWidget(CouleurCourbeEdit);
    ligne->addWidget(new QLabel(QStringLiteral("Tolérance")));
    ligne->addWidget(ToleranceSE);
    ligne->addWidget(new QLabel(QStringLiteral("Pas")));
    ligne->addWidget(PasSE);
    ligne->addWidget(ExtraireBtn);
    construireOutilsVue(ligne);
    EditBidon = new QLineEdit;
    EditBidon->setFixedSize(1, 1);
    ligne->addWidget(EditBidon);
    vbox->addWidget(Panel3);

    construireZoneImage(vbox);
    setCentralWidget(centre);

    StatusBar = new PanneauxEtat({320, 100, 100, 100}, this);
    setStatusBar(StatusBar);
    StatusBar->setTexte(0, QStringLiteral("Cliquer sur le bouton image pour charger un fichier"));

    for (QPushButton* b : {EchelleBtn, RazBtn, UndoBtn, SupprBtn, TabulaneBtn})
        b->setEnabled(false);
    MesureBtn->setVisible(false);
    StopBtn->setVisible(false);
    ExtraireBtn->setEnabled(false);
    PipetteBtn->setEnabled(false);

    connect(OpenFileItem, &QAction::triggered, this, &TBitmapForm::OpenFileItemClick);
    connect(SourceItem, &QAction::triggered, this, &TBitmapForm::SourceItemClick);
    connect(AcquireItem, &QAction::triggered, this, &TBitmapForm::AcquireItemClick);
    connect(SaveBmpItem, &QAction::triggered, this, &TBitmapForm::SavePicture);
    connect(FilePopup, &QMenu::aboutToShow, this, &TBitmapForm::activerNumeriseur);
    connect(EchelleBtn, &QPushButton::clicked, this, &TBitmapForm::EchelleBtnClick);
    connect(MesureBtn, &QPushButton::clicked, this, &TBitmapForm::MesureBtnClick);
    connect(StopBtn, &QPushButton::clicked, this, &TBitmapForm::StopBtnClick);
    connect(RazBtn, &QPushButton::clicked, this, &TBitmapForm::RazBtnClick);
    connect(UndoBtn, &QPushButton::clicked, this, &TBitmapForm::UndoBtnClick);
    connect(SupprBtn, &QPushButton::clicked, this, &TBitmapForm::SupprBtnClick);
    connect(TabulaneBtn, &QPushButton::clicked, this, &TBitmapForm::TabulaneBtnClick);
    connect(ExiBtn, &QPushButton::clicked, this, &TBitmapForm::ExiBtnClick);
    connect(SerieSE, &QSpinBox::valueChanged, this, [this](int) { SerieSEChange(); });
    connect(CouleurPointsCB, &QComboBox::activated, this, [this](int) { CouleurPointsCBChange(); });
    connect(PipetteBtn, &QPushButton::clicked, this, &TBitmapForm::PipetteBtnClick);
    connect(ExtraireBtn, &QPushButton::clicked, this, &TBitmapForm::ExtraireBtnClick);
}

NomsVariables TBitmapForm::noms() const {
    return EchelleDlg->Noms();
}

// ---- Scale dialog and series -----------------------------------------------------------------

void TBitmapForm::EchelleBtnClick() {
    const bool ok = EchelleDlg->Montrer();
    if (ok) {
        Calibration.SeriesCount = EchelleDlg->NombreSeries();
        SerieSE->setMaximum(Calibration.SeriesCount);
        if (SerieSE->value() > Calibration.SeriesCount) SerieSE->setValue(1);
        SerieSE->setEnabled(Calibration.SeriesCount > 1);
        SerieLabel->setVisible(true);
    }
    FormState = Idle;
    setCurseurVue(kCurseurCible);
    StatusBar->setTexte(0, kAideEnregistrer);
    StopBtn->setVisible(false);
    MesureBtn->setVisible(true);
    EchelleBtn->setEnabled(true);
    Series.MovingPoint = -1;
    Calibration.SquareVectors();
    Calibration.RecomputeCalibration();
    redessiner();
}

void TBitmapForm::SerieSEChange() {
    Series.CurrentSeries = SerieSE->value();
    SelectionnerCouleur(CouleurPointsCB, TraceColours[Series.CurrentSeries]);
}

void TBitmapForm::CouleurPointsCBChange() {
    if (image_.isNull()) return;
    TraceColours[Series.CurrentSeries] = CouleurChoisie(CouleurPointsCB);
    redessiner();
}

// ---- Digitizing ------------------------------------------------------------------------------

void TBitmapForm::StartMeasuring() {
    FormState = Measuring;
    setCurseurVue(kCurseurCible);
    StatusBar->setTexte(0, kAideEnregistrer);
    StopBtn->setVisible(true);
    MesureBtn->setVisible(false);
    EchelleBtn->setEnabled(false);
    Series.ResetPoints();
    Series.MovingPoint = -1;
    // The grid follows the series and mode last confirmed in the scale dialog, not what a
    // cancelled dialog still shows.
    const QStringList entetes =
        EntetesGrille(Calibration.AxesMode, Calibration.SeriesCount, noms());
    Grid->setColumnCount(static_cast<int>(entetes.size()));
    Grid->setHorizontalHeaderLabels(entetes);
    Grid->clearContents();
    Grid->setCurrentCell(0, 0);
    redessiner();
}

void TBitmapForm::StopMeasuring() {
    FormState = Idle;
    MesureBtn->setVisible(true);
    UndoBtn->setEnabled(false);
    StopBtn->setVisible(false);
    EchelleBtn->setEnabled(true);
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    StatusBar->setTexte(0, QStringLiteral("Transférer vers Tabulane"));
}

void TBitmapForm::activerBoutonsPoints() {
    const bool courante = Series.Longueur(Series.CurrentSeries) > 0;
    UndoBtn->setEnabled(courante);
    SupprBtn->setEnabled(courante);
    const bool assez = Series.Longueur(1) > 2;
    RazBtn->setEnabled(assez);
    TabulaneBtn->setEnabled(assez);
}

void TBitmapForm::RecordOrMovePoint(QPoint v) {
    const QPoint p = vue_.VersImage(v);
    const Enregistrement r = Series.RecordOrMovePoint(p);
    if (r == Enregistrement::Plein)
        Dialogues().message(
            QStringLiteral("La série %1 est pleine (%2 points) : le point n'est pas enregistré")
                .arg(Series.CurrentSeries)
                .arg(kCapaciteSerie));
    if (r == Enregistrement::SerieComplete) StopMeasuring();
    setCurseurVue(kCurseurCible);
    redessiner();
    activerBoutonsPoints();
}

void TBitmapForm::SupprBtnClick() {
    etatSauve_ = FormState;
    FormState = Deleting;
    setCurseurVue(crDefaut);
    messageSauve_ = StatusBar->texte(0).left(255);
    StatusBar->setTexte(0, QStringLiteral("|Suppression du point"));
}

void TBitmapForm::DeletePointAt(QPoint v) {
    const int i = Series.HitPoint(vue_, v, Calibration.SeriesCount);
    if (i >= 0) {
        Series.Supprimer(Series.FoundSeries, i);
        redessiner();
        activerBoutonsPoints();
    }
    FormState = etatSauve_;
    StatusBar->setTexte(0, messageSauve_);
}

void TBitmapForm::UndoLastPoint() {
    if (Series.Longueur(Series.CurrentSeries) > 0) Series.UndoLastPoint();
    UndoBtn->setEnabled(Series.Longueur(Series.CurrentSeries) > 0);
    redessiner();
}

void TBitmapForm::ResetPoints() {
    // The number of series chosen in the scale dialog stays: the selector and the grid keep it.
    Series.ResetPoints();
    Grid->clearContents();
    Series.CurrentSeries = 1;
    SerieSE->setValue(1);
    for (QPushButton* b : {RazBtn, UndoBtn, SupprBtn, TabulaneBtn})
        b->setEnabled(false);
    MesureBtn->setVisible(true);
    EchelleBtn->setEnabled(true);
    redessiner();
}

bool TBitmapForm::SendTable() {
    StopMeasuring();
    return Transferer([this](const PageTransfert& page, TexteEchange& texte) {
        Calibration.RecomputeCalibration();
        ConstruireTexteImage(texte, page, Calibration, noms(), Series, nomImage_);
    });
}

void TBitmapForm::ExiBtnClick() {
    close();
}

// ---- Colour extraction -----------------------------------------------------------------------

void TBitmapForm::PipetteBtnClick() {
    if (FormState != Picking) etatSauve_ = FormState;
    FormState = Picking;
    setCurseurVue(crCroix);
    messageSauve_ = StatusBar->texte(0).left(255);
    StatusBar->setTexte(0, QStringLiteral("|Cliquer sur la courbe à suivre"));
}

void TBitmapForm::ExtraireBtnClick() {
    if (image_.isNull()) return;
    const QStringList c = CouleurCourbeEdit->text().split(
        QRegularExpression(QStringLiteral("[,; ]+")), Qt::SkipEmptyParts);
    int rgb[3] = {0, 0, 0};
    bool ok = c.size() == 3;
    for (int i = 0; ok && i < 3; ++i) {
        rgb[i] = c[i].toInt(&ok);
        ok = ok && rgb[i] >= 0 && rgb[i] <= 255;
    }
    if (!ok) {
        Dialogues().message(QStringLiteral(
            "Couleur incorrecte : donner rouge, vert et bleu de 0 à 255, par exemple 255,0,0"));
        return;
    }
    ParametresExtraction par;
    par.couleur = qRgb(rgb[0], rgb[1], rgb[2]);
    par.tolerance = ToleranceSE->value();
    par.pas = PasSE->value();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ResultatExtraction r = ExtraireCourbe(image_, par, Series, Series.CurrentSeries);
    QApplication::restoreOverrideCursor();
    if (FormState == Idle && Grid->columnCount() < 2) {
        const QStringList entetes =
            EntetesGrille(Calibration.AxesMode, Calibration.SeriesCount, noms());
        Grid->setColumnCount(static_cast<int>(entetes.size()));
        Grid->setHorizontalHeaderLabels(entetes);
    }
    redessiner();
    activerBoutonsPoints();
    if (r.ajoutes == 0)
        Dialogues().message(QStringLiteral("Aucun pixel de cette couleur dans l'image"));
    else if (r.plein)
        Dialogues().message(
            QStringLiteral("La série %1 est pleine (%2 points) : l'extraction s'arrête là")
                .arg(Series.CurrentSeries)
                .arg(kCapaciteSerie));
}

// ---- View ------------------------------------------------------------------------------------

QString TBitmapForm::aidePoignee(int slot) const {
    const NomsVariables n = noms();
    switch (slot) {
    case SlotOrigine:
        return QStringLiteral("Origine|Cliquer sur l'origine");
    case SlotDebutX:
        return QStringLiteral("Début X|Cliquer sur le début de l'échelle de ") + n.nomX;
    case SlotFinX:
        return QStringLiteral("Fin X|Cliquer sur la fin de l'échelle de ") + n.nomX;
    case SlotDebutY:
        return QStringLiteral("Début Y|Cliquer sur le début de l'échelle de ") + n.nomY;
    case SlotFinY:
        return QStringLiteral("Fin Y|Cliquer sur la fin de l'échelle de ") + n.nomY;
    default:
        return kAideZoom;
    }
}

void TBitmapForm::setHint(const QString& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    DefinirAide(ImagePaintBox, hint);
    RoutageAide::Instance().AfficherAide(PartieLongue(hint));
}

void TBitmapForm::setCurseurVue(int numero) {
    if (numero == kCurseurCible) numero = NumeroCibleApplication();
    ImagePaintBox->setCursor(CurseurNumero(numero));
}

void TBitmapForm::lectures(QPoint v) {
    if (image_.isNull()) return;
    const QPoint p = vue_.VersImage(v);
    const NomsVariables n = noms();
    StatusBar->setTexte(1, Calibration.AxesMode == OneAxis
                               ? QString()
                               : n.nomX + u'=' + Lecture(Calibration.ValueX(p)) + n.uniteX);
    StatusBar->setTexte(2, n.nomY + u'=' + Lecture(Calibration.ValueY(p)) + n.uniteY);
}

void TBitmapForm::ViewMouseDown(QMouseEvent* e) {
    if (image_.isNull()) return;
    const QPoint v = e->position().toPoint();
    if (FormState == Idle || (FormState >= SlotOrigine && FormState <= SlotFinY)) {
        const int slot = Calibration.HitHandle(vue_, v);
        if (slot != 0) {
            FormState = slot;
            ImagePaintBox->setCursor(Qt::DragMoveCursor);
        } else if (e->button() == Qt::LeftButton) {
            FormState = Idle;
            setCurseurVue(kCurseurCible);
            Calibration.Handles[SlotAppui] = v;
            distanceEnCours_ = true;
            ImagePaintBox->SetElastique(QLine(v, v), qRgb(0, 0, 0));
        }
    } else if (FormState == Measuring) {
        Series.MovingPoint = Series.HitPoint(vue_, v, Calibration.SeriesCount);
        setCurseurVue(Series.MovingPoint < 0 ? kCurseurCible : crCibleMove);
        setHint(Series.MovingPoint < 0 ? kAideEnregistrer : kAideDeplacer);
    }
}

void TBitmapForm::ViewMouseMove(QMouseEvent* e) {
    const QPoint v = e->position().toPoint();
    StatusBar->setTexte(3, QString());
    if (FormState == Idle) {
        if (distanceEnCours_ && (e->buttons() & Qt::LeftButton)) {
            const QPoint appui = Calibration.Handles[SlotAppui];
            ImagePaintBox->SetElastique(QLine(appui, v), qRgb(0, 0, 0));
            const double d = Calibration.MeasureDistance(appui, v, vue_.zoom);
            StatusBar->setTexte(3, QStringLiteral("distance=") + Lecture(d) + noms().uniteX);
        } else if (!image_.isNull()) {
            const int slot = Calibration.HitHandle(vue_, v);
            setCurseurVue(slot != 0 ? crCibleMove : crDefaut);
            setHint(aidePoignee(slot));
        }
    } else if (FormState == Measuring && !(e->buttons() & Qt::LeftButton)) {
        const int i = Series.HitPoint(vue_, v, Calibration.SeriesCount);
        setCurseurVue(i < 0 ? kCurseurCible : crCibleMove);
        setHint(i < 0 ? kAideEnregistrer : kAideDeplacer);
    }
    lectures(v);
}

void TBitmapForm::ViewMouseUp(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || image_.isNull()) return;
    const QPoint v = e->position().toPoint();
    switch (FormState) {
    case Idle:
        if (distanceEnCours_) {
            distanceEnCours_ = false;
            ImagePaintBox->SetElastique(QLine(), 0);
            setCurseurVue(crDefaut);
        }
        break;
    case Measuring:
        RecordOrMovePoint(v);
        break;
    case Deleting:
        DeletePointAt(v);
        break;
    case Picking: {
        const QPoint p = vue_.VersImage(v);
        if (image_.rect().contains(p)) {
            const QRgb c = image_.pixel(p);
            CouleurCourbeEdit->setText(
                QStringLiteral("%1,%2,%3").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c)));
        }
        FormState = etatSauve_;
        StatusBar->setTexte(0, messageSauve_);
        setCurseurVue(FormState == Measuring ? kCurseurCible : crDefaut);
        break;
    }
    default: // a handle was held
        if (!Calibration.DropHandle(FormState, v, vue_, TailleDessinee(vue_)))
            Dialogues().message(QStringLiteral(
                "Un vecteur de longueur nulle n'est pas possible : la poignée reste à sa place"));
        FormState = Idle;
        setCurseurVue(crDefaut);
        redessiner();
        break;
    }
}

bool TBitmapForm::FormKeyDown(int touche, Qt::KeyboardModifiers mod) {
    if (touche == Qt::Key_Return || touche == Qt::Key_Enter || touche == Qt::Key_Space) {
        const QPoint v = ImagePaintBox->mapFromGlobal(QCursor::pos());
        if (FormState == Measuring)
            RecordOrMovePoint(v);
        else if (FormState == Deleting)
            DeletePointAt(v);
        else
            return false;
        return true;
    }
    const auto d = DeplacementPointeur(touche, mod, true);
    if (!d) return false;
    QCursor::setPos(QCursor::pos() + *d);
    return true;
}

bool TBitmapForm::eventFilter(QObject* objet, QEvent* evenement) {
    if (evenement->type() == QEvent::KeyPress && objet->isWidgetType() &&
        static_cast<QWidget*>(objet)->window() == this) {
        auto* k = static_cast<QKeyEvent*>(evenement);
        if (FormKeyDown(k->key(), k->modifiers())) return true;
    }
    return TTradForm::eventFilter(objet, evenement);
}

void TBitmapForm::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && isActiveWindow() &&
        !(windowState() & Qt::WindowMaximized))
        setWindowState(windowState() | Qt::WindowMaximized);
    TTradForm::changeEvent(e);
}

// ---- Drawing and grid ------------------------------------------------------------------------

void TBitmapForm::FillGrid() {
    const int n1 = Series.Longueur(1);
    if (Grid->rowCount() < n1 + 1) Grid->setRowCount(n1 + 4); // the heading is not a row here
    auto ecrire = [this](int ligne, int colonne, const QString& texte, QRgb couleur) {
        if (colonne < 0 || colonne >= Grid->columnCount()) return;
        auto* item = Grid->item(ligne, colonne);
        if (!item) {
            item = new QTableWidgetItem;
            Grid->setItem(ligne, colonne, item);
        }
        item->setText(texte);
        item->setForeground(QColor(couleur));
    };
    for (int i = 0; i < n1; ++i)
        ecrire(i, 0, ReelVersTexte(i * Calibration.TimeStep), qRgb(0, 0, 0));
    const int mode = Calibration.AxesMode;
    for (int s = 1; s <= Calibration.SeriesCount; ++s) {
        // Rows past series 1 are not sent, so the grid does not show them either.
        for (int i = 0; i < std::min(Series.Longueur(s), n1); ++i) {
            const QPoint p = Series.Point(s, i);
            if (mode != OneAxis)
                ecrire(i, ColonneGrille(mode, s, false), ReelVersTexte(Calibration.GridValueX(p)),
                       TraceColours[s]);
            ecrire(i, ColonneGrille(mode, s, true), ReelVersTexte(Calibration.GridValueY(p)),
                   TraceColours[s]);
        }
    }
    for (int r = 0; r < Grid->rowCount(); ++r)
        for (int c = 1; c < Grid->columnCount(); ++c) {
            // Cells past each series' own length are emptied (a later series may be shorter).
            const int s = SerieDeColonne(mode, c);
            if (r < n1 && s >= 1 && s <= Calibration.SeriesCount && r < Series.Longueur(s))
                continue;
            if (auto* item = Grid->item(r, c)) item->setText(QString());
        }
    for (int r = n1; r < Grid->rowCount(); ++r)
        if (auto* item = Grid->item(r, 0)) item->setText(QString());
    Grid->setCurrentCell(n1, 0);
}

} // namespace kinepo
