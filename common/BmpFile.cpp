#include "common/BmpFile.h"

#include <QFile>
#include <QFileInfo>
#include "common/EcritureAtomique.h"
#include <QtEndian>
#include <cstdlib>

namespace kinepo {
namespace {
void put16(QByteArray& b, int pos, quint16 v) {
    qToLittleEndian(v, b.data() + pos);
}
void put32(QByteArray& b, int pos, quint32 v) {
    qToLittleEndian(v, b.data() + pos);
}
} // namespace

QByteArray EncoderBmp24(const QImage& source) {
    const QImage img = source.convertToFormat(QImage::Format_RGB888);
    const int w = img.width(), h = img.height();
    const int ligne = (w * 3 + 3) & ~3;
    const quint32 tailleDonnees = static_cast<quint32>(ligne) * static_cast<quint32>(h);
    QByteArray b(54 + static_cast<qsizetype>(tailleDonnees), '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, 54 + tailleDonnees);
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, static_cast<quint32>(w));
    put32(b, 22, static_cast<quint32>(h));
    put16(b, 26, 1);
    put16(b, 28, 24);
    put32(b, 34, tailleDonnees);
    put32(b, 38, 2835); // 72 dpi
    put32(b, 42, 2835);
    for (int y = 0; y < h; ++y) {
        const uchar* src = img.constScanLine(y);
        char* dst = b.data() + 54 + static_cast<qsizetype>(h - 1 - y) * ligne;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = static_cast<char>(src[3 * x + 2]);
            dst[3 * x + 1] = static_cast<char>(src[3 * x + 1]);
            dst[3 * x + 2] = static_cast<char>(src[3 * x]);
        }
    }
    return b;
}

bool EcrireBmp24(const QImage& image, const QString& chemin) {
    if (image.isNull()) return false;
    return EcrireFichierAtomique(chemin, EncoderBmp24(image));
}

namespace {
bool memeContenu(const QString& chemin, const QByteArray& octets) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly) || f.size() != octets.size()) return false;
    return f.readAll() == octets;
}
} // namespace

QString EcrireSansEcraser(const QByteArray& octets, const QString& chemin) {
    const QFileInfo fi(chemin);
    const QString extension = fi.suffix().isEmpty() ? QString() : QLatin1Char('.') + fi.suffix();
    const QString base = chemin.left(chemin.size() - extension.size());
    QString cible = chemin;
    for (int n = 1; QFileInfo::exists(cible) && !memeContenu(cible, octets); ++n)
        cible = QStringLiteral("%1-%2%3").arg(base).arg(n).arg(extension);
    if (QFileInfo::exists(cible)) return cible;
    if (!EcrireFichierAtomique(cible, octets)) return {};
    return cible;
}

bool BmpComplet(const QByteArray& octets) {
    if (octets.size() < 54 || !octets.startsWith("BM")) return false;
    const auto* d = reinterpret_cast<const uchar*>(octets.constData());
    const qint64 debutPixels = qFromLittleEndian<quint32>(d + 10);
    const quint32 tailleEnTete = qFromLittleEndian<quint32>(d + 14);
    if (tailleEnTete < 40) return true; // the old OS/2 header: left to Qt's decoder
    const qint64 largeur = qFromLittleEndian<qint32>(d + 18);
    const qint64 hauteur = std::abs(qint64(qFromLittleEndian<qint32>(d + 22)));
    const int bits = qFromLittleEndian<quint16>(d + 28);
    const quint32 compression = qFromLittleEndian<quint32>(d + 30);
    // Run-length coded pictures have no fixed size; their decoder sees where they stop.
    if (compression != 0 && compression != 3) return true;
    // Header fields are untrusted: bound them before multiplying, so a huge width, height or
    // depth cannot overflow the size computed from them.
    if (largeur <= 0 || bits <= 0 || bits > 64 || debutPixels > octets.size()) return false;
    const qint64 pas = (largeur * bits + 31) / 32 * 4;
    return hauteur <= (octets.size() - debutPixels) / pas;
}

QImage LireBmp(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray octets = f.readAll();
    if (!BmpComplet(octets)) return {};
    return QImage::fromData(octets, "BMP");
}

} // namespace kinepo
