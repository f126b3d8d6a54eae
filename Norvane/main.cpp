#include "App/AppDelegate.h"
#include "App/Application.h"
#include "App/ReopenChannel.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    norvane::configureApplication(application);
    if (norvane::ReopenChannel::askRunningInstance())
        return 0;
    norvane::AppDelegate delegate;
    norvane::ReopenChannel reopen([&delegate] { delegate.applicationShouldHandleReopen(); });
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
