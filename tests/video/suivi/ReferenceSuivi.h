#pragma once
// The tracking and chronophotography rules written out plainly, one pixel at a time through
// QImage::pixel, three searches in a row exactly as the form's pass is described, with the
// search over the whole frame after a miss and the refinement that follows a large object. Slow,
// and only for tests: the optimised pass must give the same rows and the same picture.
#include <QImage>
#include <QPoint>
#include <vector>

namespace kinepo::test {

struct LigneReference {
    QPoint point1; // the object, image pixels
    QPoint point2; // the best match, image pixels (row 0: none)
    int image = 0; // index in the frame list of the frame that gave the row
    int distance = 0;
};

struct ResultatReference {
    std::vector<LigneReference> lignes; // row 0 is the clicked target on frame 0
    QImage chrono;
    int r = 0, g = 0, b = 0; // target colour
};

// images[0] is the displayed frame of the start (the background), images[1..] the frames of
// the pass, all displayed frames (already zoomed). cibleEcran: the target click, screen pixels.
// ajouts false: the rule alone, without the search over the whole frame after a miss and
// without following a box that reaches the side of its window.
ResultatReference SuivreReference(const std::vector<QImage>& images, int zoom, QPoint cibleEcran,
                                  bool suivre, bool ajouts = true);

} // namespace kinepo::test
