#include "shell/base/RoutageAide.h"

#include <QApplication>
#include <QStatusTipEvent>
#include <QWidget>

namespace kinepo {

QString PartieLongue(const QString& aide) {
    const int barre = aide.indexOf(QLatin1Char('|'));
    return barre < 0 ? aide : aide.mid(barre + 1);
}

void DefinirAide(QWidget* controle, const QString& aide) {
    const int barre = aide.indexOf(QLatin1Char('|'));
    controle->setToolTip(barre < 0 ? aide : aide.left(barre));
    controle->setStatusTip(PartieLongue(aide));
}

RoutageAide& RoutageAide::Instance() {
    static RoutageAide* instance = new RoutageAide; // lives until the process ends
    return *instance;
}

RoutageAide::RoutageAide() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        app->installEventFilter(this);
        connect(app, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState etat) {
                    if (etat == Qt::ApplicationActive) ApplicationActivee();
                });
    }
}

RoutageAide::Entree* RoutageAide::trouver(QWidget* fenetre) {
    if (!fenetre) return nullptr;
    for (Entree& e : entrees_)
        if (e.forme && e.forme->window() == fenetre->window()) return &e;
    return nullptr;
}

RoutageAide::Entree& RoutageAide::entree(QWidget* forme) {
    for (Entree& e : entrees_)
        if (e.forme == forme) return e;
    entrees_.push_back({forme, {}, {}});
    return entrees_.back();
}

void RoutageAide::EnregistrerForme(QWidget* forme, std::function<void(const QString&)> afficher) {
    entree(forme).afficher = std::move(afficher);
}

void RoutageAide::EnregistrerActivation(QWidget* forme, std::function<void()> activer) {
    entree(forme).activer = std::move(activer);
}

void RoutageAide::Retirer(QWidget* forme) {
    std::erase_if(entrees_, [forme](const Entree& e) { return !e.forme || e.forme == forme; });
}

void RoutageAide::AfficherAide(const QString& aideLongue) {
    aideCourante_ = aideLongue;
    if (Entree* e = trouver(QApplication::activeWindow()); e && e->afficher)
        e->afficher(aideLongue);
}

void RoutageAide::ApplicationActivee() {
    if (Entree* e = trouver(QApplication::activeWindow()); e && e->activer) e->activer();
}

bool RoutageAide::eventFilter(QObject* objet, QEvent* evenement) {
    if (evenement->type() == QEvent::StatusTip && objet->isWidgetType()) {
        // Route it ourselves; the event is not passed on, so no window shows it twice.
        AfficherAide(static_cast<QStatusTipEvent*>(evenement)->tip());
        return true;
    }
    return QObject::eventFilter(objet, evenement);
}

} // namespace kinepo
