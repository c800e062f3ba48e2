// Start-up: window captions are the windows' own texts, Qt's dialogs speak French, and the real
// folder chooser takes a typed folder that does not exist yet, so the launcher offers to create
// it. The real dialogs are answered by a scripted user (below), never left waiting.
#include "platform/Plateforme.h"
#include "platform/qt/PlateformeQt.h"
#include "shell/Demarrage.h"
#include "shell/ImageMain.h"
#include "support/FakePlateforme.h"
#include "tests/common/ImpressionQt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

using namespace kinepo;
using Dossier = TImageFormMain::BoutonDossier;

namespace {

// Answers the modal windows that appear, one step each, in order. A step gets the window and
// closes it. A window that stays up after its step, or that nobody expected, is rejected, so a
// wrong program never leaves the test waiting.
class Utilisateur : public QObject {
public:
    using Etape = std::function<void(QWidget*)>;
    explicit Utilisateur(std::deque<Etape> etapes) : etapes_(std::move(etapes)) {
        connect(&horloge_, &QTimer::timeout, this, [this] { regarder(); });
        horloge_.start(10);
    }
    int restantes() const { return static_cast<int>(etapes_.size()); }
    int imprevues = 0;

private:
    void regarder() {
        QWidget* modale = QApplication::activeModalWidget();
        if (!modale || !modale->isVisible()) return;
        if (modale == derniere_ && ++attente_ < 50) return; // closing takes a turn of the loop
        attente_ = 0;
        if (modale == derniere_ || etapes_.empty()) {
            ++imprevues;
            if (auto* d = qobject_cast<QDialog*>(modale))
                d->reject();
            else
                modale->close();
            return;
        }
        derniere_ = modale;
        // Out of the polling slot: a step may open the next modal window itself, and a timer
        // does not fire again while its own slot runs.
        QTimer::singleShot(0, this, [e = std::move(etapes_.front()), modale] { e(modale); });
        etapes_.pop_front();
    }
    std::deque<Etape> etapes_;
    QTimer horloge_;
    QWidget* derniere_ = nullptr;
    int attente_ = 0;
};

// The box's button whose text is `texte`, or null.
QAbstractButton* bouton(QWidget* fenetre, const QString& texte) {
    for (auto* b : fenetre->findChildren<QAbstractButton*>())
        if (b->text() == texte) return b;
    return nullptr;
}

// What a message box said and which buttons it offered.
struct Vu {
    QString titre, texte;
    QStringList boutons;
};
Vu lire(QWidget* fenetre) {
    Vu v;
    v.titre = fenetre->windowTitle();
    if (auto* m = qobject_cast<QMessageBox*>(fenetre)) v.texte = m->text();
    for (auto* b : fenetre->findChildren<QAbstractButton*>())
        if (qobject_cast<QPushButton*>(b)) v.boutons << b->text();
    v.boutons.sort();
    return v;
}

class Demarrage : public ::testing::Test {
protected:
    void SetUp() override {
        iniAvant = qgetenv("KINEPO_INI");
        PreparerApplication(*qApp);
        traducteur = qApp->findChild<QTranslator*>();
    }
    void TearDown() override {
        // Leave the other tests the English texts and the scripted dialogs they expect.
        for (auto* t : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
        test::ReinitialiserFaux();
        qputenv("KINEPO_INI", iniAvant);
    }
    QByteArray iniAvant;
    QTranslator* traducteur = nullptr;
};

TEST_F(Demarrage, CaptionsAreTheWindowsOwnTexts) {
    // Qt appends the application display name, when one is set, to every window title: the
    // captions would all end with " - Multimedia pour Tabulane". Unset, it is the plain name.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    TImageFormMain lanceur;
    lanceur.show();
    EXPECT_EQ(lanceur.windowTitle(), "Lecture d'images pour Tabulane");
    // The fixed-size launcher is wide enough for its caption in a bold title-bar font, with
    // room left for the window icon and buttons.
    QFont gras = lanceur.font();
    gras.setBold(true);
    EXPECT_GE(lanceur.width(),
              QFontMetrics(gras).horizontalAdvance(lanceur.windowTitle()) * 6 / 5 + 160);
}

TEST_F(Demarrage, QtDialogsSpeakFrench) {
    ASSERT_NE(traducteur, nullptr) << "qtbase_fr.qm not found (package qt6-translations-l10n)";
    QMessageBox question(QMessageBox::Question, "t", "x", QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.button(QMessageBox::Yes)->text(), "&Oui");
    EXPECT_EQ(question.button(QMessageBox::No)->text(), "&Non");
    QFileDialog d(nullptr, "t", QDir::tempPath());
    d.setOption(QFileDialog::DontUseNativeDialog, true);
    auto* regarderDans = d.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    ASSERT_NE(regarderDans, nullptr);
    EXPECT_NE(regarderDans->text(), "Look in:");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
}

// The real dialogs behind a folder button: typing a folder that does not exist leads to the
// question, then to the folder being created, or to the error when it cannot be.
TEST_F(Demarrage, RealFolderChooserTakesATypedNewFolder) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QFile fichier(tmp.filePath("fichier"));
    ASSERT_TRUE(fichier.open(QIODevice::WriteOnly));
    fichier.close();
    const struct {
        const char* nom;
        QString tape;    // what the user types in the chooser
        bool oui;        // the answer to the question
        QString attendu; // the stored folder after the click
        bool cree;       // the folder exists afterwards
        QString erreur;  // the error shown, if any
    } cas[] = {
        {"created", tmp.filePath("nouveau/sous"), true, tmp.filePath("nouveau/sous"), true, {}},
        // Under a plain file no folder can be made: the error, and the old folder stays.
        {"impossible", tmp.filePath("fichier/sous"), true, tmp.path(), false,
         "Impossible de créer le répertoire"},
    };
    InstallerPlateformeQt(QString::fromUtf8(kTitreApplication));
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        // The launcher starts with tmp as its AVI folder.
        QFile ini(tmp.filePath("kinepo.INI"));
        qputenv("KINEPO_INI", QFile::encodeName(ini.fileName()));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Repertoire]\r\nAvi=" + tmp.path().toUtf8() + "\r\n");
        ini.close();
        TImageFormMain lanceur;
        lanceur.show();
        QString titreChoix;
        std::vector<Vu> boites;
        Utilisateur u({
            [&](QWidget* w) {
                titreChoix = w->windowTitle();
                auto* nom = w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(nom, nullptr);
                nom->setText(c.tape);
                QMetaObject::invokeMethod(w, "accept");
            },
            [&](QWidget* w) {
                boites.push_back(lire(w));
                if (QAbstractButton* b = bouton(w, c.oui ? "&Oui" : "&Non")) b->click();
            },
            [&](QWidget* w) {
                boites.push_back(lire(w));
                if (auto* m = qobject_cast<QMessageBox*>(w)) m->accept();
            },
        });
        lanceur.BoutonDossierWidget(Dossier::Avi)->click();
        EXPECT_EQ(u.imprevues, 0);
        EXPECT_EQ(titreChoix, "Sélection du répertoire");
        ASSERT_GE(boites.size(), 1u);
        EXPECT_EQ(boites[0].titre, "Multimedia pour Tabulane");
        EXPECT_EQ(boites[0].texte, "Le répertoire spécifié n'existe pas. Le créer ?");
        EXPECT_EQ(boites[0].boutons, QStringList({"&Non", "&Oui"}));
        EXPECT_EQ(QFileInfo(c.tape).isDir(), c.cree);
        EXPECT_EQ(QDir::cleanPath(lanceur.Dossiers().avi), QDir::cleanPath(c.attendu));
        if (c.erreur.isEmpty()) {
            EXPECT_EQ(boites.size(), 1u);
            EXPECT_EQ(u.restantes(), 1);
        } else {
            ASSERT_EQ(boites.size(), 2u);
            EXPECT_EQ(boites[1].texte, c.erreur);
            EXPECT_EQ(u.restantes(), 0);
        }
    }
}

// Answering no keeps the chooser open on what was typed; cancelling it then clears the folder.
TEST_F(Demarrage, RealFolderChooserStaysOpenAfterNo) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    qputenv("KINEPO_INI", QFile::encodeName(tmp.filePath("kinepo.INI")));
    InstallerPlateformeQt(QString::fromUtf8(kTitreApplication));
    TImageFormMain lanceur;
    lanceur.show();
    const QString tape = tmp.filePath("pas-encore");
    QString proposeEnsuite;
    Utilisateur u({
        [&](QWidget* w) {
            w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(tape);
            QMetaObject::invokeMethod(w, "accept");
        },
        [&](QWidget* w) {
            if (QAbstractButton* b = bouton(w, "&Non")) b->click();
        },
        [&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(d, nullptr);
            proposeEnsuite =
                QDir(d->directory())
                    .filePath(w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text());
            d->reject();
        },
    });
    lanceur.BoutonDossierWidget(Dossier::Wav)->click();
    EXPECT_EQ(u.imprevues, 0);
    EXPECT_EQ(u.restantes(), 0);
    EXPECT_EQ(QDir::cleanPath(proposeEnsuite), QDir::cleanPath(tape));
    EXPECT_FALSE(QFileInfo::exists(tape));
    EXPECT_TRUE(lanceur.Dossiers().wav.isEmpty());
}

} // namespace
