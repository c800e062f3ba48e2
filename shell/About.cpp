#include "shell/About.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kinepo {

QString TexteVersion() { return QStringLiteral("Version 0.1.0 du 10/12/2026"); }

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("A propos"));
    auto* panneau = new QFrame(this);
    panneau->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* icone = new QLabel(panneau);
    icone->setPixmap(style()->standardIcon(QStyle::SP_MediaPlay).pixmap(32, 32));
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
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* l = new QVBoxLayout(this);
    l->addWidget(panneau);
    l->addWidget(OKButton, 0, Qt::AlignHCenter);
}

} // namespace kinepo
