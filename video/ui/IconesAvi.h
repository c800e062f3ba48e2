#pragma once
// The pictures of the AVI form's tool buttons, drawn from the SVG files of video/ui/icones:
// EchelleBtn shows the chosen axis orientation, OrigineBtn the origin mode, TabulaneBtn and the
// items of its menu the transfer target.
#include "video/logic/ReglagesAvi.h"
#include "video/logic/VideoCalibration.h"

#include <QIcon>
#include <QImage>
#include <QString>

namespace kinepo {

// The picture of an icon file of the form at cote x cote pixels (ARGB32, transparent
// background); a null image when the file is missing.
QImage ImageIconeAvi(const QString& nom, int cote = 24);

QIcon IconeEchelle(OrientationAxes orientation);
QIcon IconeOrigine(bool mobile);
QIcon IconeSauvegarde(CibleSauvegarde cible);

} // namespace kinepo
