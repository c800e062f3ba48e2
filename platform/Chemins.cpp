#include "platform/Chemins.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace kinepo {

QString CheminExecutable() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

bool DossierInscriptible(const QString& dossier) {
    if (!QFileInfo(dossier).isDir()) return false;
    QTemporaryFile essai(QDir(dossier).filePath(QStringLiteral(".kinepo-essai-XXXXXX")));
    return essai.open();
}

QString FichierPresExecutable(const QString& extension, const QString& dossierRepli) {
    const QFileInfo exe(CheminExecutable());
    const QString nom = exe.completeBaseName() + extension;
    if (DossierInscriptible(exe.absolutePath())) return exe.absoluteDir().filePath(nom);
    QDir().mkpath(dossierRepli);
    return QDir(dossierRepli).filePath(nom);
}

QString DossierDonneesUtilisateur() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/kinepo");
}

QString DossierConfigurationUtilisateur() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/kinepo");
}

QString NomFichierIni() {
    const QByteArray env = qgetenv("KINEPO_INI");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    return FichierPresExecutable(QStringLiteral(".INI"), DossierConfigurationUtilisateur());
}

} // namespace kinepo
