#pragma once
// kinepo-cli run as a separate program, in a chosen language: its exit status and what it
// wrote on each stream.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace kinepo {

struct Sortie {
    int code = -1; // -1 when the program did not exit normally
    QString sortie;
    QString erreurs;
};

inline Sortie Lancer(const QStringList& arguments, const QString& langue = "C.UTF-8") {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", langue);
    env.insert("LANG", langue);
    p.setProcessEnvironment(env);
    p.start(KINEPO_CLI, arguments);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace kinepo
