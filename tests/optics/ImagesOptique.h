#pragma once
// Pictures generated for the profile tests, with the value of every pixel known.
#include <QImage>
#include <QString>
#include <functional>

namespace kinepo::test {

// A picture of w x h whose pixel (x, y) has the colour f(x, y).
inline QImage ImageGeneree(int w, int h, const std::function<QRgb(int, int)>& f) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, f(x, y));
    return image;
}

// A grey level that differs from pixel to pixel (never 255, so nothing is saturated).
inline int Gris(int x, int y) {
    return (x * 7 + y * 13) % 250;
}
inline QImage ImageGrise(int w, int h) {
    return ImageGeneree(w, h, [](int x, int y) {
        const int g = Gris(x, y);
        return qRgb(g, g, g);
    });
}

// Interference fringes: cos² along x under a Gaussian envelope, green light.
inline QImage ImageFranges(int w, int h, double interfrange = 40, double crete = 300) {
    return ImageGeneree(w, h, [=](int x, int) {
        const double e = std::exp(-std::pow((x - w / 2.0) / (w / 3.0), 2));
        const double c = std::cos(3.14159265358979 * (x - w / 2.0) / interfrange);
        const int g = std::min(255, int(crete * e * c * c));
        return qRgb(g / 3, g, g / 4);
    });
}

} // namespace kinepo::test
