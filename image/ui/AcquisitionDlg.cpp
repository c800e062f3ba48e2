#include "image/ui/AcquisitionDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kinepo {

namespace {
TAcquisitionDlg::ReponseScriptee g_reponse;

QDoubleSpinBox* Millimetres(double min, double max, double valeur) {
    auto* s = new QDoubleSpinBox;
    s->setDecimals(1);
    s->setSuffix(QStringLiteral(" mm"));
    s->setRange(min, max);
    s->setValue(valeur);
    return s;
}
} // namespace

TAcquisitionDlg::TAcquisitionDlg(QWidget* parent, const QString& source,
                                 const OptionsNumeriseur& options)
    : QDialog(parent), options_(options) {
    setObjectName(QStringLiteral("AcquisitionDlg"));
    setWindowTitle(QStringLiteral("Acquisition : %1").arg(source));
    auto* vbox = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    if (!options.modes.isEmpty()) {
        ModeCB = new QComboBox;
        ModeCB->addItems(options.modes);
        ModeCB->setCurrentText(options.mode);
        form->addRow(QStringLiteral("Mode"), ModeCB);
    }
    if (!options.resolutions.empty()) {
        ResolutionCB = new QComboBox;
        for (int r : options.resolutions)
            ResolutionCB->addItem(QString::number(r), r);
        ResolutionCB->setCurrentText(QString::number(options.resolution));
        form->addRow(QStringLiteral("Résolution (ppp)"), ResolutionCB);
    } else if (options.resolutionMax > 0) {
        ResolutionSE = new QSpinBox;
        ResolutionSE->setRange(options.resolutionMin, options.resolutionMax);
        ResolutionSE->setValue(options.resolution);
        form->addRow(QStringLiteral("Résolution (ppp)"), ResolutionSE);
    }
    if (!options.zoneMax.isEmpty()) {
        const QRectF m = options.zoneMax, z = options.zone.isEmpty() ? m : options.zone;
        GaucheSE = Millimetres(m.left(), m.right(), z.left());
        HautSE = Millimetres(m.top(), m.bottom(), z.top());
        LargeurSE = Millimetres(0.1, m.width(), z.width());
        HauteurSE = Millimetres(0.1, m.height(), z.height());
        form->addRow(QStringLiteral("Gauche"), GaucheSE);
        form->addRow(QStringLiteral("Haut"), HautSE);
        form->addRow(QStringLiteral("Largeur"), LargeurSE);
        form->addRow(QStringLiteral("Hauteur"), HauteurSE);
    }
    vbox->addLayout(form);
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    boutons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Acquérir"));
    boutons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(boutons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    vbox->addWidget(boutons);
}

ReglagesNumeriseur TAcquisitionDlg::Reglages() const {
    ReglagesNumeriseur r;
    r.mode = ModeCB ? ModeCB->currentText() : options_.mode;
    r.resolution = ResolutionCB   ? ResolutionCB->currentData().toInt()
                   : ResolutionSE ? ResolutionSE->value()
                                  : options_.resolution;
    if (GaucheSE)
        r.zone = QRectF(GaucheSE->value(), HautSE->value(), LargeurSE->value(), HauteurSE->value());
    return r;
}

bool TAcquisitionDlg::Demander(QWidget* parent, const QString& source,
                               const OptionsNumeriseur& options, ReglagesNumeriseur& reglages) {
    TAcquisitionDlg d(parent, source, options);
    const bool ok = g_reponse ? g_reponse(d) : d.exec() == QDialog::Accepted;
    if (ok) reglages = d.Reglages();
    return ok;
}

TAcquisitionDlg::ReponseScriptee TAcquisitionDlg::DefinirReponseScriptee(ReponseScriptee r) {
    std::swap(g_reponse, r);
    return r;
}

} // namespace kinepo
