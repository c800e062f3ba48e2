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

QString DossierPartageInstalle() {
    const QFileInfo exe(CheminExecutable());
    const QString partage = exe.absoluteDir().filePath(QStringLiteral("../share/kinepo"));
    if (exe.absoluteDir().dirName() == QLatin1String("bin") && QFileInfo(partage).isDir())
        return QDir::cleanPath(partage);
    return {};
}

QString CheminDonneeProgramme(const QString& nom) {
    const QString installe = DossierPartageInstalle();
    const QString dossier =
        installe.isEmpty() ? QFileInfo(CheminExecutable()).absolutePath() : installe;
    const QString chemin = QDir(dossier).filePath(nom);
    return QFileInfo::exists(chemin) ? QDir::cleanPath(chemin) : QString();
}

QString FichierPresExecutable(const QString& extension, const QString& dossierRepli) {
    const QFileInfo exe(CheminExecutable());
    const QString nom = exe.completeBaseName() + extension;
    // An installed program keeps its files in the user's folders, even when run by someone who
    // could write beside it.
    if (DossierPartageInstalle().isEmpty() && DossierInscriptible(exe.absolutePath()))
        return exe.absoluteDir().filePath(nom);
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
