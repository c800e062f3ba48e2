#include "samples/ScenesEchantillons.h"

#include <QPainter>
#include <QProcess>
#include <cmath>

namespace kinepo::echantillons {

namespace {

constexpr double g = 9.81;
constexpr double kSol = 440;         // ground line, image pixels
constexpr double kRayonBalle = 8;    // pixels
constexpr double kVx = 1.0;          // m/s, horizontal speed of the ball
constexpr double kVy = 6.0;          // m/s, upward launch speed
constexpr double kRestitution = 0.6; // bounce: vertical speed kept
constexpr double kRepos = 0.4;       // seconds at rest before the throw

// Height above the ground (m) of the bouncing ball at time t after the throw.
double Hauteur(double t) {
    double v = kVy;
    while (v > 0.2) {
        const double vol = 2 * v / g;
        if (t < vol) return v * t - 0.5 * g * t * t;
        t -= vol;
        v *= kRestitution;
    }
    return 0;
}

void DessinerRegle(QPainter& p, QPointF a, QPointF b, double longueur) {
    p.setPen(QPen(QColor(120, 80, 20), 6));
    p.drawLine(a, b);
    // One mark every 10 cm, a longer one every 50 cm.
    p.setPen(QPen(Qt::black, 1));
    const int marques = static_cast<int>(std::lround(longueur / 0.1));
    const QPointF d = (b - a) / marques;
    const QPointF normale(-d.y(), d.x());
    const double n = std::hypot(normale.x(), normale.y());
    for (int i = 0; i <= marques; ++i) {
        const QPointF c = a + d * i;
        const double l = (i % 5 == 0) ? 10 : 5;
        p.drawLine(c - normale / n * l, c + normale / n * l);
    }
}

} // namespace

const Scene& ChuteBalle() {
    static const Scene s{"chute-balle.avi", 90, 2.0, {560, 440}, {560, 240}, 1};
    return s;
}

const Scene& DeuxMobiles() {
    static const Scene s{"deux-mobiles.avi", 100, 1.0, {60, 450}, {160, 450}, 2};
    return s;
}

QPointF Position(const Scene& s, int k, int n) {
    const double t = double(n) / kCadence;
    if (&s == &ChuteBalle()) {
        const double tv = std::max(0.0, t - kRepos);
        const double x = 80 + kVx * tv / kMetresParPixel;
        return {x, kSol - kRayonBalle - Hauteur(tv) / kMetresParPixel};
    }
    if (k == 1) return {60 + 0.8 * t / kMetresParPixel, 380}; // the cart: 0.8 m/s
    // The puck: radius 1 m, one turn in 2 s, counter-clockwise as seen on screen.
    const double a = 2 * M_PI * t / 2.0;
    return {400 + 100 * std::cos(a), 200 - 100 * std::sin(a)};
}

QImage Image(const Scene& s, int n) {
    QImage im(kLargeur, kHauteur, QImage::Format_RGB888);
    im.fill(QColor(235, 240, 245));
    QPainter p(&im);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(0, kSol, kLargeur, kHauteur - kSol), QColor(150, 170, 130));
    DessinerRegle(p, s.regleDebut, s.regleFin, s.longueurRegle);
    p.setPen(Qt::NoPen);
    if (&s == &ChuteBalle()) {
        p.setBrush(QColor(230, 120, 20));
        p.drawEllipse(Position(s, 1, n), kRayonBalle, kRayonBalle);
    } else {
        const QPointF c = Position(s, 1, n);
        p.setBrush(QColor(200, 30, 30));
        p.drawRect(QRectF(c.x() - 25, c.y() - 12, 50, 24));
        p.setBrush(Qt::black);
        p.drawEllipse(c + QPointF(-15, 14), 7, 7);
        p.drawEllipse(c + QPointF(15, 14), 7, 7);
        p.setBrush(Qt::white);
        p.drawEllipse(c, 3, 3); // the point to click
        p.setBrush(QColor(30, 60, 200));
        p.drawEllipse(Position(s, 2, n), 9, 9);
    }
    return im;
}

bool EcrireFilm(const Scene& s, const QString& chemin, QString* erreur) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-y", "-loglevel", "error", "-f", "rawvideo", "-pix_fmt", "rgb24", "-s",
                  QStringLiteral("%1x%2").arg(kLargeur).arg(kHauteur), "-r",
                  QString::number(kCadence), "-i", "-", "-c:v", "mjpeg", "-q:v", "3", "-an",
                  chemin});
    if (!ffmpeg.waitForStarted(10000)) {
        if (erreur) *erreur = QStringLiteral("the ffmpeg command cannot be started");
        return false;
    }
    for (int n = 0; n < s.images; ++n) {
        const QImage im = Image(s, n);
        for (int y = 0; y < im.height(); ++y)
            ffmpeg.write(reinterpret_cast<const char*>(im.constScanLine(y)), im.width() * 3);
        ffmpeg.waitForBytesWritten(-1);
    }
    ffmpeg.closeWriteChannel();
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) {
        if (erreur) *erreur = QString::fromLocal8Bit(ffmpeg.readAllStandardError());
        return false;
    }
    return true;
}

} // namespace kinepo::echantillons
