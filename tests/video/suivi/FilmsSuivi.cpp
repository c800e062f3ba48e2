#include "FilmsSuivi.h"

#include <QProcess>
#include <algorithm>
#include <cmath>
#include <random>

namespace kinepo::test {

QImage Fond(int largeur, int hauteur) {
    QImage fond(largeur, hauteur, QImage::Format_RGB888);
    for (int y = 0; y < hauteur; ++y) {
        uchar* l = fond.scanLine(y);
        for (int x = 0; x < largeur; ++x) {
            l[3 * x] = static_cast<uchar>(20 + (x * 7 + y * 3) % 41);
            l[3 * x + 1] = static_cast<uchar>(50 + (x * 3 + y * 11) % 41);
            l[3 * x + 2] = static_cast<uchar>(40 + ((x / 8 + y / 8) % 2) * 30);
        }
    }
    return fond;
}

void PeindreDisque(QImage& image, QPointF centre, int rayon, QColor couleur, bool degrade) {
    const int x0 = std::max(0, static_cast<int>(std::floor(centre.x() - rayon)));
    const int x1 = std::min(image.width() - 1, static_cast<int>(std::ceil(centre.x() + rayon)));
    const int y0 = std::max(0, static_cast<int>(std::floor(centre.y() - rayon)));
    const int y1 = std::min(image.height() - 1, static_cast<int>(std::ceil(centre.y() + rayon)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double dx = x - centre.x(), dy = y - centre.y();
            if (dx * dx + dy * dy > double(rayon) * rayon) continue;
            int r = couleur.red(), g = couleur.green(), b = couleur.blue();
            if (degrade) { // lighter toward the top left, as a lit ball
                const int d = static_cast<int>(6 * (dx + dy));
                r = std::clamp(r + d, 0, 255);
                g = std::clamp(g + d / 2, 0, 255);
                b = std::clamp(b + d / 2, 0, 255);
            }
            uchar* p = image.scanLine(y) + 3 * x;
            p[0] = static_cast<uchar>(r);
            p[1] = static_cast<uchar>(g);
            p[2] = static_cast<uchar>(b);
        }
}

FilmGenere GenererFilm(const ParametresFilm& p) {
    FilmGenere film;
    const QImage fond = Fond(p.largeur, p.hauteur);
    std::mt19937 gen(p.graine);
    std::uniform_int_distribution<int> bruit(-p.bruit, p.bruit);
    for (int i = 0; i < p.images; ++i) {
        QImage image = fond.copy();
        if (p.bruit > 0)
            for (int y = 0; y < p.hauteur; ++y) {
                uchar* l = image.scanLine(y);
                for (int k = 0; k < 3 * p.largeur; ++k)
                    l[k] = static_cast<uchar>(std::clamp(l[k] + bruit(gen), 0, 255));
            }
        const QPointF c(p.depart.x() + p.vitesse.x() * i,
                        p.depart.y() + p.vitesse.y() * i + 0.5 * p.gravite * i * i);
        PeindreDisque(image, c, p.rayon, p.balle, p.degrade);
        film.images.push_back(image);
        film.centres.push_back(c);
    }
    return film;
}

bool EcrireFilm(const std::vector<QImage>& images, const QString& chemin, const QString& codec,
                const QString& imagesParSeconde) {
    if (images.empty()) return false;
    const QImage& premiere = images.front();
    QStringList args{"-v",
                     "error",
                     "-y",
                     "-f",
                     "rawvideo",
                     "-pix_fmt",
                     "rgb24",
                     "-s",
                     QStringLiteral("%1x%2").arg(premiere.width()).arg(premiere.height()),
                     "-r",
                     imagesParSeconde,
                     "-i",
                     "-",
                     "-c:v",
                     codec};
    if (codec == "mjpeg")
        args << "-q:v"
             << "2"
             << "-pix_fmt"
             << "yuvj444p";
    else if (codec == "rawvideo")
        args << "-pix_fmt"
             << "bgr24"; // what AVI stores losslessly
    args << chemin;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", args);
    if (!ffmpeg.waitForStarted()) return false;
    for (const QImage& i : images) {
        const QImage rgb = i.convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < rgb.height(); ++y)
            ffmpeg.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), 3 * rgb.width());
        ffmpeg.waitForBytesWritten(-1);
    }
    ffmpeg.closeWriteChannel();
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit &&
           ffmpeg.exitCode() == 0;
}

} // namespace kinepo::test
