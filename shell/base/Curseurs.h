#pragma once
// The program's cursor table: eleven 32 x 32 two-colour cursors under fixed numbers, selected
// by number by the measuring forms, plus the system cursors under their usual negative numbers.
#include <QCursor>
#include <optional>

namespace kinepo {

enum NumeroCurseur {
    crCible1 = 1,
    crCible2,
    crCible3,
    crCible4,
    crCible5,            // "CIBLE1".."CIBLE5", hot spot (15, 16)
    crCibleNoire = 6,    // "CIBLENOIRE", hot spot (15, 15)
    crCibleBlanche = 7,  // "CIBLEBLANCHE"
    crCibleNormale = 8,  // "CIBLENORMALE"
    crCibleMove = 9,     // "CIBLEMOVE"
    crOrigine = 10,      // "ORIGINE", hot spot (14, 14)
    crOrigineTemps = 11, // "ORIGINETEMPS", hot spot (0, 0)
    crDefaut = 0,
    crFleche = -2,
    crCroix = -3, // the system cross
    crTexte = -4,
    crSablier = -11,
};

// Draws and registers the eleven cursors. Needs a QGuiApplication; called once at start.
void EnregistrerCurseurs();

// The cursor of a number; an unknown number gives the arrow.
QCursor CurseurNumero(int numero);

// The application-wide target cursor choice: 6, 7, 8 or crCroix (-3); 8 at start.
int& NumeroCibleApplication();

// How far a key moves the mouse pointer, in screen pixels: the arrows one pixel, Page Up and
// Page Down ten pixels up and down (left and right with Shift), and with `paveNumerique` the
// keypad's 4, 6, 8 and 2 like the arrows. Nothing for any other key.
std::optional<QPoint> DeplacementPointeur(int touche, Qt::KeyboardModifiers modificateurs,
                                          bool paveNumerique = false);

// Resource name of a custom cursor number (1..11), empty otherwise.
const char* NomRessourceCurseur(int numero);

} // namespace kinepo
