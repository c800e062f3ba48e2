#pragma once
// Texts in files and in the exchange format are single-byte Windows-1252 texts
// (the micro sign is the byte 0xB5); strings inside the program are Unicode.
// This is the one converter every reader and writer goes through.
#include <QByteArray>
#include <QString>

namespace kinepo {

// Unicode -> CP1252. Characters CP1252 cannot hold become '?'.
QByteArray VersCp1252(const QString& texte);

// CP1252 -> Unicode. The five undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the
// C1 control of the same value so that no byte is lost.
QString DepuisCp1252(const QByteArray& octets);

} // namespace kinepo
