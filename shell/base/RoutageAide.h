#pragma once
// Application-wide routing of hints and activation.
//
// A control's hint is "short|long": the short part is its tooltip, the long part is shown in a
// status-bar panel of the active form when the pointer comes over the control. Forms register
// the place where their long hints go, and the handler to run when the application becomes
// active again while they are the active form. Forms also prompt the user through
// AfficherAide (the application's current hint).
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace kinepo {

// Sets a control's hint: tooltip = the part before "|", status tip = the part after it.
// A hint without "|" is both.
void DefinirAide(QWidget* controle, const QString& aide);
// The long part of a hint text.
QString PartieLongue(const QString& aide);

class RoutageAide : public QObject {
    Q_OBJECT
public:
    static RoutageAide& Instance();

    // Long hints shown while `forme` is the active window go to `afficher`.
    void EnregistrerForme(QWidget* forme, std::function<void(const QString&)> afficher);
    // `activer` runs when the application becomes active again with `forme` active.
    void EnregistrerActivation(QWidget* forme, std::function<void()> activer);
    // Forgets the form (it is also forgotten when destroyed).
    void Retirer(QWidget* forme);

    // The application's current hint changed to `aideLongue`: show it in the active form's
    // place if that form is registered; otherwise it is not shown anywhere.
    void AfficherAide(const QString& aideLongue);
    QString AideCourante() const { return aideCourante_; }

    // The active form changed or the application became active: run that form's handler.
    void ApplicationActivee();

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    RoutageAide();
    struct Entree {
        QPointer<QWidget> forme;
        std::function<void(const QString&)> afficher;
        std::function<void()> activer;
    };
    Entree* trouver(QWidget* fenetre);
    Entree& entree(QWidget* forme);
    std::vector<Entree> entrees_;
    QString aideCourante_;
};

} // namespace kinepo
