#include "shell/base/PanneauxEtat.h"

#include <QLabel>

namespace kinepo {

PanneauxEtat::PanneauxEtat(const std::vector<int>& largeurs, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    for (int w : largeurs) {
        auto* l = new QLabel(this);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (w > 0) {
            l->setFixedWidth(w);
            addWidget(l);
        } else {
            addWidget(l, 1);
        }
        panneaux_.push_back(l);
    }
}

void PanneauxEtat::setTexte(int panneau, const QString& texte) {
    if (panneau >= 0 && panneau < nombre()) panneaux_[panneau]->setText(texte);
}

QString PanneauxEtat::texte(int panneau) const {
    return panneau >= 0 && panneau < nombre() ? panneaux_[panneau]->text() : QString();
}

} // namespace kinepo
