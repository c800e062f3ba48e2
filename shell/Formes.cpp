#include "shell/Formes.h"

#include "shell/ImageMain.h"

// Each subsystem adds its include and its registration below, one block each.

namespace kinepo {

void EnregistrerFormes(TImageFormMain& lanceur) {
    (void)lanceur;
}

} // namespace kinepo
