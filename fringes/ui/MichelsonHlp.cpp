#include "fringes/ui/MichelsonHlp.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kinepo {

QStringList TMichelsonHlp::Lignes() {
    return {
        QStringLiteral("Le logiciel va mesurer l'intensité lumineuse en un ou deux points en "
                       "fonction du temps "),
        QStringLiteral("(le deuxième point est là pour une référence Laser éventuelle)"),
        QString(),
        QStringLiteral("Le plus simple est de retirer l'objectif et de former l'image "
                       "directement sur le capteur."),
        QString(),
        QStringLiteral("Dans \"Réglages\"  "),
        QStringLiteral("    mettre la caméra initialement en mode sensibilité automatique"),
        QStringLiteral("    laisser le réglage de sensibilité se faire puis passer en mode manuel"),
        QStringLiteral("    en cas de lampe alimentée par le secteur prendre un temps de pose de "
                       "1/50 s"),
        QStringLiteral("    et ajuster le gain en conséquence"),
        QStringLiteral("    se mettre en mode manuel"),
        QString(),
        QStringLiteral("Positionner le point noir de mesure à l'aide de la souris"),
        QStringLiteral("(et le point rouge correspondant à la référence Laser)"),
        QString(),
    };
}

TMichelsonHlp::TMichelsonHlp(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Aide Michelson"));
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setPlainText(Lignes().join(QLatin1Char('\n')));
    l->addWidget(Memo1);
    setFixedSize(522, 265);
}

} // namespace kinepo
