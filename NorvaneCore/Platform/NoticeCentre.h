#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace norvane {

// Where the application posts a notice the person sees outside its windows, with buttons: a Linux
// desktop's notification service (FreedesktopNotices in the desktop library). Where there is
// none, the application says it through its status item instead, without buttons; on a Mac that
// is the notification centre (Qt's status item posts its messages there).
class NoticeCentre : public QObject {
    Q_OBJECT

public:
    struct Action {
        QString key;   // handed back by actionInvoked()
        QString label; // translated
    };
    struct Notice {
        QString summary;
        QString body;
        QList<Action> actions;
    };

    using QObject::QObject;
    ~NoticeCentre() override;

    // Posts `notice`, in place of the one posted before while that one is still shown. Returns at
    // once; undelivered() tells when nothing took it.
    virtual void post(const Notice &notice) = 0;

Q_SIGNALS:
    // The person chose one of the latest notice's actions.
    void actionInvoked(const QString &key);
    // No service took `notice`.
    void undelivered(const norvane::NoticeCentre::Notice &notice);
};

} // namespace norvane
