#pragma once
// Films generated once per test run into a private temporary folder, named by their parameters.
#include "support/FilmSynthetique.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kinepo::test {

inline QTemporaryDir& DossierFilms() {
    static QTemporaryDir dossier;
    return dossier;
}

inline QString NomCodec(CodecFilm c) {
    switch (c) {
    case CodecFilm::RawAvi:
        return QStringLiteral("raw");
    case CodecFilm::MjpegAvi:
        return QStringLiteral("mjpeg");
    case CodecFilm::Mpeg4Avi:
        return QStringLiteral("mpeg4");
    case CodecFilm::H264Mp4:
        return QStringLiteral("h264");
    case CodecFilm::CinepakAvi:
        return QStringLiteral("cinepak");
    case CodecFilm::Msvideo1Avi:
        return QStringLiteral("msvideo1");
    case CodecFilm::Mpeg1Mpg:
        return QStringLiteral("mpeg1");
    case CodecFilm::Mpeg2Mpg:
        return QStringLiteral("mpeg2");
    case CodecFilm::Mpeg4Mov:
        return QStringLiteral("mpeg4mov");
    case CodecFilm::RawMov:
        return QStringLiteral("rawmov");
    }
    return {};
}

// A film whose frame n shows the number n (see ImageNumerotee), made on first use.
inline QString FilmNumerote(const ParametresFilm& p) {
    const QString nom = QStringLiteral("%1-%2x%3-%4f-%5_%6fps-gop%7%8%9.%10")
                            .arg(NomCodec(p.codec))
                            .arg(p.largeur)
                            .arg(p.hauteur)
                            .arg(p.images)
                            .arg(p.cadenceNum)
                            .arg(p.cadenceDen)
                            .arg(p.gop)
                            .arg(p.imagesB ? "-b" : "")
                            .arg(p.indexEnTete ? "-faststart" : "")
                            .arg(ExtensionFilm(p.codec));
    const QString chemin = DossierFilms().filePath(nom);
    if (!QFile::exists(chemin)) {
        QString erreur;
        const bool ok = EcrireFilm(
            chemin, p, [&](int n) { return ImageNumerotee(n, p.largeur, p.hauteur); }, &erreur);
        EXPECT_TRUE(ok) << erreur.toStdString();
    }
    return chemin;
}

} // namespace kinepo::test
