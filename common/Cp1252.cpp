#include "common/Cp1252.h"

#include <array>

namespace kinepo {
namespace {

// Unicode code points of bytes 0x80..0x9F.
constexpr std::array<char16_t, 32> kHaut = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char versOctet(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHaut.size(); ++i)
        if (kHaut[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QByteArray VersCp1252(const QString& texte) {
    QByteArray out;
    out.reserve(texte.size());
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const QChar c = texte.at(i);
        // A character outside the basic plane is one character: one '?', not two.
        if (c.isHighSurrogate() && i + 1 < texte.size() && texte.at(i + 1).isLowSurrogate()) ++i;
        out.append(versOctet(c.unicode()));
    }
    return out;
}

QString DepuisCp1252(const QByteArray& octets) {
    QString out;
    out.reserve(octets.size());
    for (char b : octets) {
        const auto u = static_cast<unsigned char>(b);
        out.append(QChar(u >= 0x80 && u < 0xA0 ? kHaut[u - 0x80] : char16_t(u)));
    }
    return out;
}

} // namespace kinepo
