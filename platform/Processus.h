#pragma once
// Starting other programs. A command is always a program and its arguments, never a text
// handed to a shell.
#include <QString>
#include <QStringList>

namespace kinepo {

class IProcessus {
public:
    virtual ~IProcessus() = default;
    // Starts the program detached from this process. False when it could not be started
    // (missing, not executable).
    virtual bool lancer(const QString& programme, const QStringList& arguments) = 0;
};

} // namespace kinepo
