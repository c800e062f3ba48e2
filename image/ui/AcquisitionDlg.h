#pragma once
// The small dialog shown before a scan: the source's main options (mode, resolution, area),
// for sources that have no window of their own.
// Tests: Demander asks the hook installed with DefinirReponseScriptee instead of showing it.
#include "platform/Numeriseur.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace kinepo {

class TAcquisitionDlg : public QDialog {
    Q_OBJECT
public:
    TAcquisitionDlg(QWidget* parent, const QString& source, const OptionsNumeriseur& options);

    // The settings as the dialog shows them.
    ReglagesNumeriseur Reglages() const;

    // Shows the dialog for the source; true with `reglages` filled on OK.
    static bool Demander(QWidget* parent, const QString& source, const OptionsNumeriseur& options,
                         ReglagesNumeriseur& reglages);
    using ReponseScriptee = std::function<bool(TAcquisitionDlg&)>;
    // Installs the answer used by Demander (empty: show the window); returns the previous one.
    static ReponseScriptee DefinirReponseScriptee(ReponseScriptee reponse);

    QComboBox* ModeCB = nullptr;
    QSpinBox* ResolutionSE = nullptr;
    QComboBox* ResolutionCB = nullptr; // instead of the spin box when the source offers a list
    QDoubleSpinBox *GaucheSE = nullptr, *HautSE = nullptr, *LargeurSE = nullptr,
                   *HauteurSE = nullptr;

private:
    OptionsNumeriseur options_;
};

} // namespace kinepo
