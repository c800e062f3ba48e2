// kinepo-icone-png SVG SIZE PNG: draws the program's icon at one size for the desktop's icon
// theme (the build makes every size the theme wants).
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: kinepo-icone-png SVG SIZE PNG\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    const int taille = QString::fromLatin1(argv[2]).toInt();
    if (!svg.isValid() || taille <= 0) {
        std::fprintf(stderr, "kinepo-icone-png: cannot draw %s at %s\n", argv[1], argv[2]);
        return 1;
    }
    QImage image(taille, taille, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p);
    p.end();
    return image.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
}
