#pragma once
// Wires the automatic tracking and chronophotography driver into a video form's hooks.
namespace kinepo {
class TFormeVideo;
// Fills form.Suivi with the driver of automatic tracking and chronophotography; the driver
// lives as long as the form.
void InstallerSuiviAutomatique(TFormeVideo& form);
} // namespace kinepo
