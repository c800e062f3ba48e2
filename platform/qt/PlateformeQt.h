#pragma once
// The real platform facilities on Qt: dialogs, clipboard, processes and the registry file.
namespace kinepo {
// Installs them in Plateforme for the whole run. Needs a QApplication.
void InstallerPlateformeQt();
} // namespace kinepo
