#pragma once
// Wires the automatic tracking and chronophotography driver into the AVI form's hooks.
namespace kinepo {
class TAviForm;
// Fills form.Suivi with the driver of automatic tracking; the driver lives as long as the form.
void InstallerSuiviAutomatique(TAviForm& form);
} // namespace kinepo
