#pragma once
// The clipboard: plain text (exchange texts, tables) and pictures (webcam frames).
#include <QImage>
#include <QString>

namespace kinepo {

class IPressePapiers {
public:
    virtual ~IPressePapiers() = default;
    virtual void setTexte(const QString& texte) = 0;
    virtual QString texte() const = 0;
    virtual void setImage(const QImage& image) = 0;
};

} // namespace kinepo
