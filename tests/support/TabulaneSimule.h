#pragma once
// The surroundings of the stand-in analysis program for a test: a private runtime folder (its
// socket and semaphore live there), its journal, and, when the test ends, every copy it
// started stopped and the environment given back — also after a failed assertion.
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <functional>
#include <vector>

namespace kinepo::test {

class EnvironnementTabulaneSimule {
public:
    EnvironnementTabulaneSimule() {
        ancienXdg_ = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        journal = runtime.filePath(QStringLiteral("journal.txt"));
        qputenv("TABULANE_SIMULE_JOURNAL", QFile::encodeName(journal));
        qputenv("TABULANE_SIMULE_DUREE_MAX", "15000");
        for (const char* v :
             {"TABULANE_SIMULE_LENT", "TABULANE_SIMULE_REFUSER", "TABULANE_SIMULE_COUPER",
              "TABULANE_SIMULE_TUER"})
            qunsetenv(v);
    }
    ~EnvironnementTabulaneSimule() {
        // Every copy of the stand-in wrote its process id first; none outlives the test.
        for (const QString& l : lignesJournal())
            if (l.startsWith(QLatin1String("DEMARRE ")))
                ::kill(static_cast<pid_t>(l.mid(8).toLongLong()), SIGTERM);
        for (qint64 pid : pidsDirects) ::kill(static_cast<pid_t>(pid), SIGTERM);
        if (ancienXdg_.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", ancienXdg_);
    }
    EnvironnementTabulaneSimule(const EnvironnementTabulaneSimule&) = delete;
    EnvironnementTabulaneSimule& operator=(const EnvironnementTabulaneSimule&) = delete;

    QStringList lignesJournal() const {
        QFile f(journal);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    // The requests the stand-in received, without the "REQUETE " prefix.
    QStringList requetes() const {
        QStringList r;
        for (const QString& l : lignesJournal())
            if (l.startsWith(QLatin1String("REQUETE "))) r.append(l.mid(8));
        return r;
    }
    // Polls (the stand-in works in its own process) for at most 5 s.
    static bool attendreJournal(const std::function<bool()>& condition) {
        QElapsedTimer t;
        t.start();
        while (!condition()) {
            if (t.elapsed() > 5000) return false;
            QThread::msleep(20);
        }
        return true;
    }

    QTemporaryDir runtime;
    QString journal;
    std::vector<qint64> pidsDirects; // copies the test started itself

private:
    QByteArray ancienXdg_;
};

} // namespace kinepo::test
