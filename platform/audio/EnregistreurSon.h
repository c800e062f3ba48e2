#pragma once
// The recording device of the sound form: opened empty, given a format, recording from the
// default input until it is stopped or closed; Sauver writes what it has recorded as a WAV file.
#include "platform/audio/FormatPcm.h"

#include <QObject>
#include <QString>

namespace kinepo {

class EnregistreurSon : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~EnregistreurSon() override = default;

    virtual bool Ouvrir() = 0;
    virtual bool DefinirFormat(const FormatPcm& format) = 0;
    virtual bool Enregistrer() = 0;
    // Stops capturing; what was recorded stays, for Sauver.
    virtual void Arreter() = 0;
    virtual bool Sauver(const QString& fichier) = 0;
    virtual void Fermer() = 0;
};

} // namespace kinepo
