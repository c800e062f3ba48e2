#pragma once
// The default sound input as the level monitor uses it: its name and which of the six
// recording modes it supports, and a stream of PCM handed back one 4096-byte buffer at a time.
// One buffer is queued at a time; it comes back full through BufferRendu (through the event
// loop, never from inside a call), or partly filled when the input is reset.
#include "platform/audio/FormatPcm.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

namespace kinepo {

struct CapacitesEntree {
    QString produit;      // the device's name
    std::uint32_t masque; // 1: 11025 Hz 8 bits, 4: 11025/16, 16: 22050/8, 64: 22050/16,
                          // 256: 44100/8, 1024: 44100/16 (mono)
};

class EntreeSon : public QObject {
    Q_OBJECT
public:
    static constexpr int kTailleBuffer = 4096;
    using QObject::QObject;
    ~EntreeSon() override = default;

    // Name and modes of the default input; nothing when there is no input.
    virtual std::optional<CapacitesEntree> Capacites() = 0;
    // Opens the default input in that format; false when it cannot.
    virtual bool Ouvrir(const FormatPcm& format) = 0;
    // Queues the one buffer; false when it cannot (not open, one already queued).
    virtual bool AjouterBuffer() = 0;
    // Starts capturing; false when it cannot.
    virtual bool Demarrer() = 0;
    // Stops capturing and hands back the queued buffer (possibly empty) through BufferRendu.
    virtual void Reinitialiser() = 0;
    // Closes the input (nothing more is delivered).
    virtual void Fermer() = 0;

signals:
    void BufferRendu(const QByteArray& donnees);
};

} // namespace kinepo
