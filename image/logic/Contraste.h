#pragma once
// The contrast tool of the image form: an exponential gain around a reference level, applied
// to the source picture to give the displayed one.
#include <QImage>
#include <array>
#include <cstdint>

namespace kinepo {

// Gain of up-down position `position` (0..25): e^(3 position / 25).
double GainContraste(int position);

// The new value of one colour component v: min(255, max(0, round(g (v - ref)) + 128)), rounding
// ties to even. `reference` may lie outside 0..255 (a release beyond the box).
int ComposanteContrastee(int v, int reference, int position);

// The same for every v, as a table: entry v is ComposanteContrastee(v, reference, position).
std::array<std::uint8_t, 256> TableContraste(int reference, int position);

// The displayed picture from the source (same size, Format_RGB32): every pixel's red, green and
// blue through the table, except pure black pixels, which stay black.
QImage AppliquerContraste(const QImage& source, int reference, int position);
// The same into `sortie`, whose memory is reused when it already holds a picture of that size
// of its own (not shared with the source).
void AppliquerContraste(const QImage& source, int reference, int position, QImage& sortie);

// The reference line of the contrast box: its column for a reference, and the reference of a
// column, both in integer arithmetic (the second truncates and may leave 0..255).
int ColonneReference(int reference, int largeurBoite);
int ReferenceDeColonne(int x, int largeurBoite);

} // namespace kinepo
