#pragma once
namespace kinepo {
class TImageFormMain;
// Plugs every measuring form that this build has into the launcher, and creates the start-up
// objects that live for the whole run (transfer dialog, link holder, chronophotography window).
void EnregistrerFormes(TImageFormMain& lanceur);
} // namespace kinepo
