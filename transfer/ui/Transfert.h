#pragma once
// The one transfer every measuring form performs. A form passes its text-building step:
//
//   Transferer([&](const PageTransfert& page, TexteEchange& texte) {
//       texte.ajouterIdentification(page, QStringLiteral("Acquisition à partir de video"));
//       texte.ajouterChamps({"t", "x", "y"});
//       texte.ajouterChamps({"s", "m", "m"});
//       for (...) texte.ajouterValeurs({t, x, y});
//       page.AjouteConstante(texte);
//       ...keyword blocks, new file only where the form's rules say so...
//   });
//
// Transferer then runs, in order: the dialog TConstanteDlg (anything but OK: nothing happens,
// returns false); busy cursor; the building step; the text (CR LF after every line) onto the
// clipboard; for the analysis program, TFormDDE::EnvoieMacro with the choice the user left;
// the choice set to "Nouvelle page"; normal cursor. An exception from the building step
// restores the cursor, leaves the clipboard and the choice untouched, and goes on to the caller.
//
// In tests, answer the dialog with tests/support/FakeConstante.h; by default it also records
// the macros instead of using the link (FakeConstante::macros).
#include "transfer/PageTransfert.h"
#include "transfer/TexteEchange.h"

#include <functional>

namespace kinepo {

using ConstructeurTexte = std::function<void(const PageTransfert& page, TexteEchange& texte)>;

// True when the dialog was confirmed and the text placed on the clipboard.
bool Transferer(const ConstructeurTexte& construire,
                CibleTransfert cible = CibleTransfert::Tabulane);

} // namespace kinepo
