#include "shell/About.h"

#include "common/Version.h"

#include "shell/ImageMain.h"
#include "shell/base/Dictionnaire.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QSvgRenderer>
#include <QVBoxLayout>

// The icon's picture lies in this library's resources, which a static library registers itself
// (outside any namespace, as the registration function is global).
static void ChargerRessources() {
    Q_INIT_RESOURCE(kinepo);
}

namespace kinepo {

QString TexteVersion() {
    return QStringLiteral("Version %1 du %2")
        .arg(QLatin1String(kVersion), QLatin1String(kDateVersion));
}

QIcon IconeProgramme() {
    static const QIcon icone = [] {
        ChargerRessources();
        QIcon i;
        QSvgRenderer svg(QStringLiteral(":/kinepo/kinepo.svg"));
        for (int taille : {16, 24, 32, 48, 64, 128, 256}) {
            QPixmap p(taille, taille);
            p.fill(Qt::transparent);
            QPainter peintre(&p);
            peintre.setRenderHint(QPainter::Antialiasing);
            svg.render(&peintre);
            peintre.end();
            i.addPixmap(p);
        }
        return i;
    }();
    return icone;
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("A propos"));
    auto* panneau = new QFrame(this);
    panneau->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* icone = new QLabel(panneau);
    icone->setPixmap(IconeProgramme().pixmap(48, 48));
    Version = new QLabel(TexteVersion(), panneau);
    Comments = new QLabel(QStringLiteral("Lecture de fichiers\n.BMP .JPG .AVI .MPG  .WAV .GIF \n"
                                         "pour Tabulane"),
                          panneau);
    Comments->setAlignment(Qt::AlignCenter);
    Comments->setWordWrap(true);
    Credit = new QLabel(QStringLiteral("Kinepo, compagnon de mesure pour l'enseignement de la "
                                       "physique"),
                        panneau);
    Credit->setWordWrap(true);
    auto* haut = new QHBoxLayout;
    haut->addWidget(icone);
    haut->addWidget(Version, 1);
    auto* lp = new QVBoxLayout(panneau);
    lp->addLayout(haut);
    lp->addWidget(Comments);
    lp->addWidget(Credit);
    etiquetteLangue_ = new QLabel(QStringLiteral("Langue :"), this);
    LangueCB = new QComboBox(this);
    LangueCB->setObjectName(QStringLiteral("LangueCB"));
    connect(LangueCB, &QComboBox::activated, this, [](int index) {
        if (TImageFormMain* l = ImageFormMain()) l->ChoisirLangue(index + 1);
    });
    auto* ligneLangue = new QHBoxLayout;
    ligneLangue->addWidget(etiquetteLangue_);
    ligneLangue->addWidget(LangueCB, 1);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* l = new QVBoxLayout(this);
    l->addWidget(panneau);
    l->addLayout(ligneLangue);
    l->addWidget(OKButton, 0, Qt::AlignHCenter);
    remplirLangues();
}

void TAboutBox::remplirLangues() {
    const TImageFormMain* lanceur = ImageFormMain();
    const Dictionnaire* d = lanceur ? lanceur->Dictionary : nullptr;
    const bool avecLangues = d && d->Charge();
    const QSignalBlocker bloque(LangueCB);
    LangueCB->clear();
    if (avecLangues) {
        LangueCB->addItems(d->Langues());
        LangueCB->setCurrentIndex(d->LangueCourante() < 1 ? 0 : d->LangueCourante() - 1);
    }
    LangueCB->setVisible(avecLangues);
    etiquetteLangue_->setVisible(avecLangues);
}

void TAboutBox::showEvent(QShowEvent* e) {
    remplirLangues();
    QDialog::showEvent(e);
}

} // namespace kinepo
