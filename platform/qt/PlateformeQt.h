#pragma once
// The real platform facilities on Qt: dialogs, clipboard, processes and the registry file.
#include <QString>

namespace kinepo {
// Installs them in Plateforme for the whole run; the message boxes carry titreApplication as
// their caption. Needs a QApplication.
void InstallerPlateformeQt(const QString& titreApplication);
} // namespace kinepo
