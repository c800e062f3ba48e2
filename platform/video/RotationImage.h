#pragma once
// Quarter-turn rotations of 24-bit pictures (RGB888, three bytes a pixel), for films whose
// frames are stored sideways and shown upright. The copy goes tile by tile, so that both the
// rows read and the rows written stay in the processor's cache: a 1080p frame turns in a few
// milliseconds.
#include <QImage>
#include <cstddef>

namespace kinepo {

// Degrees clockwise, reduced to 0, 90, 180 or 270 (any multiple of 90, negative ones too);
// -1 for an angle that is not a quarter turn.
int QuartDeTour(int degres);

// Size of a w x h picture turned clockwise by degres (0, 90, 180 or 270).
inline int LargeurTournee(int w, int h, int degres) {
    return degres == 90 || degres == 270 ? h : w;
}
inline int HauteurTournee(int w, int h, int degres) {
    return degres == 90 || degres == 270 ? w : h;
}

// Turns the w x h picture at source (lines of ligneSource bytes) clockwise by degres (90, 180 or
// 270; 0 copies) into destination, whose lines are ligneDestination bytes apart and which holds
// LargeurTournee x HauteurTournee pixels. The two buffers must not overlap.
void TournerRgb24(const unsigned char* source, std::ptrdiff_t ligneSource, int w, int h,
                  unsigned char* destination, std::ptrdiff_t ligneDestination, int degres);

// The same on a picture: the result is RGB888 (other formats are converted first).
QImage TournerImage(const QImage& image, int degres);

} // namespace kinepo
