#include "platform/camera/ui/TtsCap32.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kinepo {

DialogueSourceCamera::DialogueSourceCamera(CaptureCamera& capture, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Réglages de la webcam"));
    auto* l = new QVBoxLayout(this);
    auto* f = new QFormLayout;
    l->addLayout(f);
    const std::vector<ControleCamera> controles = capture.Controles();
    if (controles.empty())
        f->addRow(new QLabel(QStringLiteral("Cette webcam n'offre aucun réglage."), this));
    for (const ControleCamera& c : controles) {
        const std::uint32_t id = c.id;
        switch (c.genre) {
        case ControleCamera::Genre::Booleen: {
            auto* b = new QCheckBox(this);
            b->setChecked(c.valeur != 0);
            connect(b, &QCheckBox::toggled, this,
                    [&capture, id](bool v) { capture.FixerControle(id, v ? 1 : 0); });
            f->addRow(c.nom, b);
            break;
        }
        case ControleCamera::Genre::Menu: {
            auto* m = new QComboBox(this);
            for (int k = 0; k < c.choix.size(); ++k)
                if (!c.choix[k].isEmpty()) m->addItem(c.choix[k], c.mini + k);
            m->setCurrentIndex(m->findData(c.valeur));
            connect(m, &QComboBox::activated, this, [&capture, id, m](int i) {
                capture.FixerControle(id, m->itemData(i).toInt());
            });
            f->addRow(c.nom, m);
            break;
        }
        case ControleCamera::Genre::Entier: {
            auto* ligne = new QWidget(this);
            auto* h = new QHBoxLayout(ligne);
            h->setContentsMargins(0, 0, 0, 0);
            auto* s = new QSlider(Qt::Horizontal, ligne);
            auto* n = new QSpinBox(ligne);
            for (auto* w : {static_cast<QAbstractSlider*>(s)})
                w->setRange(c.mini, c.maxi);
            n->setRange(c.mini, c.maxi);
            s->setSingleStep(c.pas);
            n->setSingleStep(c.pas);
            s->setValue(c.valeur);
            n->setValue(c.valeur);
            s->setMinimumWidth(200);
            h->addWidget(s, 1);
            h->addWidget(n);
            connect(s, &QSlider::valueChanged, n, &QSpinBox::setValue);
            connect(n, &QSpinBox::valueChanged, s, &QSlider::setValue);
            connect(n, &QSpinBox::valueChanged, this,
                    [&capture, id](int v) { capture.FixerControle(id, v); });
            f->addRow(c.nom, ligne);
            break;
        }
        }
    }
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    l->addWidget(boutons);
}

TtsCap32::TtsCap32(QWidget* parent) : QWidget(parent) {
    ouvrirDialogue = [this](CaptureCamera& c) {
        DialogueSourceCamera d(c, window());
        d.exec();
    };
}

void TtsCap32::Apercu(const QImage& image) {
    apercu_ = image;
    update();
}

void TtsCap32::MontrerDialogueSource() {
    if (ouvrirDialogue) ouvrirDialogue(*this);
}

void TtsCap32::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (apercu_.isNull()) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    p.drawImage(rect(), apercu_);
}

} // namespace kinepo
