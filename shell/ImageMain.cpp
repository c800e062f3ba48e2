#include "shell/ImageMain.h"

#include "platform/Chemins.h"
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "shell/About.h"
#include "shell/Langue.h"
#include "shell/base/Dictionnaire.h"
#include "shell/base/RoutageAide.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

namespace kinepo {
namespace {

TImageFormMain* g_lanceur = nullptr;

struct DefBouton {
    const char* nom;
    const char* titre;
    const char* aide;
};
// In the order of BoutonForme.
constexpr DefBouton kBoutons[kNombreBoutonsForme] = {
    {"InterfBtn", "Lecture d'intensité lumineuse",
     "|Pour diffraction, électrophorèse), interférences"},
    {"BmpBtn", "Lecture d'une courbe dans un fichier BMP, JPEG, GIF", ""},
    {"AviBtn", "Lecture d'un fichier AVI ou MPEG", ""},
    {"Button1", "MPG", ""},
    {"WavBtn", "Lecture d'un fichier .WAV", ""},
    {"MichelsonBtn", "Suivi de Michelson avec Webcam", ""},
};

struct DefDossier {
    const char* nom;
    const char* aide;
    int ligne; // row of the launcher grid it stands on
};
// In the order of TImageFormMain::BoutonDossier.
constexpr DefDossier kDossiers[5] = {
    {"InterfButton", "Répertoire par défaut (intensité lumineuse)", 0},
    {"BmpButton", "Répertoire par défaut (BMP...)", 1},
    {"AviButton", "Répertoire par défaut (AVI)", 2},
    {"WavButton", "Répertoire par défaut (WAV)", 4},
    {"TabulaneBtn", "Répertoire de Tabulane", kNombreBoutonsForme},
};

} // namespace

std::optional<BoutonForme> FormePourFichier(const QString& fichier) {
    const QString ext = QFileInfo(fichier).suffix().toLower();
    if (ext == QLatin1String("avi")) return BoutonForme::Avi;
    for (const char* e : {"mpg", "mpeg", "divx", "mp4", "mov", "m4v", "3gp", "mkv", "webm"})
        if (ext == QLatin1String(e)) return BoutonForme::Mpg;
    for (const char* e : {"bmp", "jpg", "jpeg", "gif", "png"})
        if (ext == QLatin1String(e)) return BoutonForme::Bmp;
    if (ext == QLatin1String("wav")) return BoutonForme::Wav;
    return std::nullopt;
}

TImageFormMain* ImageFormMain() {
    return g_lanceur;
}

TImageFormMain::TImageFormMain(QWidget* parent)
    : TTradForm(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    g_lanceur = this;
    setObjectName(QStringLiteral("ImageFormMain"));
    // The dictionary exists before any measuring form, so each finds it when created.
    Dictionary = new Dictionnaire(QString::fromLatin1(Dictionnaire::kNomDictionary), this);
    ChargerDictionnaire(*Dictionary);
    connect(Dictionary, &Dictionnaire::LangueChangee, this, [this] { DictionaryLanguageChange(); });
    setWindowTitle(QStringLiteral("Lecture d'images pour Tabulane"));

    auto* centre = new QWidget(this);
    auto* grille = new QGridLayout(centre);
    for (int i = 0; i < kNombreBoutonsForme; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(kBoutons[i].titre), centre);
        b->setObjectName(QString::fromLatin1(kBoutons[i].nom));
        if (*kBoutons[i].aide) DefinirAide(b, QString::fromUtf8(kBoutons[i].aide));
        b->setEnabled(false); // until a form is plugged in
        connect(b, &QPushButton::clicked, this,
                [this, i] { OuvrirForme(static_cast<BoutonForme>(i)); });
        grille->addWidget(b, i, 0);
        boutons_[static_cast<std::size_t>(i)] = b;
    }
    for (int i = 0; i < 5; ++i) {
        auto* b = new QToolButton(centre);
        b->setObjectName(QString::fromLatin1(kDossiers[i].nom));
        b->setIcon(style()->standardIcon(QStyle::SP_DirIcon));
        DefinirAide(b, QString::fromUtf8(kDossiers[i].aide));
        connect(b, &QToolButton::clicked, this,
                [this, i] { AviButtonClick(static_cast<BoutonDossier>(i)); });
        grille->addWidget(b, kDossiers[i].ligne, 1);
        boutonsDossier_[static_cast<std::size_t>(i)] = b;
    }
    aboutBtn_ = new QPushButton(QStringLiteral("à propos..."), centre);
    aboutBtn_->setObjectName(QStringLiteral("AboutBtn"));
    connect(aboutBtn_, &QPushButton::clicked, this, [this] {
        if (aboutBox_) aboutBox_->exec();
    });
    exitBtn_ = new QPushButton(QStringLiteral("Quitter"), centre);
    exitBtn_->setObjectName(QStringLiteral("ExitBtn"));
    connect(exitBtn_, &QPushButton::clicked, this, &QWidget::close);
    auto* tabulane = new QLabel(QStringLiteral("Tabulane"), centre);
    tabulane->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grille->addWidget(tabulane, kNombreBoutonsForme, 0);
    grille->addWidget(aboutBtn_, kNombreBoutonsForme + 1, 0);
    grille->addWidget(exitBtn_, kNombreBoutonsForme + 2, 0);
    setCentralWidget(centre);
    // The window cannot be resized, so it is made wide enough for its caption: title bars
    // often use a larger bold font, and the icon and the buttons take their share.
    QFont gras = font();
    gras.setBold(true);
    centre->setMinimumWidth(QFontMetrics(gras).horizontalAdvance(windowTitle()) * 5 / 4 + 180);

    // FormCreate: hint and activation routing, hints on, the settings file, the folders.
    RoutageAide::Instance();
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
    dossiers_ = LireRepertoires(NomFichierIni());
    if (Dictionary->Charge())
        Dictionary->FixerLangue(LangueDeDepart(LireLangueSauvee(NomFichierIni()),
                                               static_cast<int>(Dictionary->Langues().size()),
                                               LocaleUtilisateur()));
    TTradForm::FormCreate();

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* ecran = QGuiApplication::primaryScreen())
        move(ecran->availableGeometry().center() - rect().center());
}

TImageFormMain::~TImageFormMain() {
    FormDestroy();
    if (g_lanceur == this) g_lanceur = nullptr;
}

void TImageFormMain::DefinirFabrique(BoutonForme bouton, FabriqueForme fabrique) {
    const auto i = static_cast<std::size_t>(bouton);
    boutons_[i]->setEnabled(static_cast<bool>(fabrique.creer));
    fabriques_[i] = std::move(fabrique);
}

QWidget* TImageFormMain::Forme(BoutonForme bouton) const {
    return formes_[static_cast<std::size_t>(bouton)];
}

QPushButton* TImageFormMain::Bouton(BoutonForme bouton) const {
    return boutons_[static_cast<std::size_t>(bouton)];
}

QToolButton* TImageFormMain::BoutonDossierWidget(BoutonDossier b) const {
    return boutonsDossier_[static_cast<std::size_t>(b)];
}

void TImageFormMain::OuvrirForme(BoutonForme bouton) {
    const auto i = static_cast<std::size_t>(bouton);
    const FabriqueForme& f = fabriques_[i];
    if (!f.creer) return;
    if (!formes_[i]) {
        QWidget* forme = f.creer(this);
        if (!forme) return;
        if (!forme->isWindow()) forme->setWindowFlag(Qt::Window, true);
        formes_[i] = forme;
    }
    QWidget* forme = formes_[i];
    // The folder is assigned at every click, so a folder changed meanwhile takes effect.
    if (f.dossierInitial) {
        QString dossier;
        switch (bouton) {
        case BoutonForme::Interf:
            dossier = dossiers_.optique;
            break;
        case BoutonForme::Bmp:
            dossier = dossiers_.mecanique;
            break;
        case BoutonForme::Avi:
        case BoutonForme::Mpg:
            dossier = dossiers_.avi;
            break;
        case BoutonForme::Wav:
            dossier = dossiers_.wav;
            break;
        case BoutonForme::Michelson:
            break;
        }
        f.dossierInitial(forme, dossier);
    }
    forme->show();
    forme->raise();
    forme->activateWindow();
}

void TImageFormMain::OuvrirFichierDonne(const QString& fichier) {
    const std::optional<BoutonForme> b = FormePourFichier(fichier);
    const FabriqueForme* f = b ? &fabriques_[static_cast<std::size_t>(*b)] : nullptr;
    if (!f || !f->creer || !f->ouvrir) {
        Dialogues().message(QStringLiteral("Extension non reconnue"));
        return;
    }
    OuvrirForme(*b);
    if (QWidget* forme = Forme(*b)) f->ouvrir(forme, QFileInfo(fichier).absoluteFilePath());
}

QString& TImageFormMain::champ(BoutonDossier b) {
    switch (b) {
    case BoutonDossier::Interf:
        return dossiers_.optique;
    case BoutonDossier::Bmp:
        return dossiers_.mecanique;
    case BoutonDossier::Avi:
        return dossiers_.avi;
    case BoutonDossier::Wav:
        return dossiers_.wav;
    case BoutonDossier::Tabulane:
        break;
    }
    return dossiers_.tabulane;
}

void TImageFormMain::AviButtonClick(BoutonDossier bouton) {
    QString& dossier = champ(bouton);
    std::optional<QString> choix;
    try {
        choix = ChoisirRepertoire(Dialogues(), dossier);
    } catch (const std::exception& e) {
        // The stored folder stays as it was; the analysis program's path is not recomputed.
        Dialogues().erreur(QString::fromUtf8(e.what()));
        return;
    }
    // Cancelling clears the folder: the form then has no default folder.
    dossier = choix.value_or(QString());
    if (bouton == BoutonDossier::Tabulane) emit RepertoireTabulaneChange(dossier);
}

void TImageFormMain::DictionaryLanguageChange() {
    const int langue = Dictionary->LangueCourante();
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->setProperty("fichierAide", FichierAidePourLangue(langue, LocaleUtilisateur()));
        const int l = langue == -1 ? LangueDuLocale(LocaleUtilisateur()) : langue;
        const QString code = Dictionary->CodeLangue(l);
        ChangerTraductionsQt(*app, code.isEmpty() ? QStringLiteral("fr") : code);
    }
}

void TImageFormMain::ChoisirLangue(int langue) {
    Dictionary->FixerLangue(langue);
    SauverLangue(NomFichierIni(), Dictionary->LangueCourante()); // a failure is not fatal
}

void TImageFormMain::FormDestroy() {
    if (ecrit_) return;
    ecrit_ = true;
    EcrireRepertoires(NomFichierIni(), dossiers_); // a failure is deliberately ignored
}

void TImageFormMain::closeEvent(QCloseEvent* e) {
    FormDestroy();
    e->accept();
    // Closing the launcher ends the program, whatever other forms are open.
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

} // namespace kinepo
