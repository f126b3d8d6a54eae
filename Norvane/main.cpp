#include "App/AppDelegate.h"
#include "App/Application.h"
#include "App/RemoteControl.h"
#include "App/ReopenChannel.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    norvane::configureApplication(application);
    if (norvane::ReopenChannel::askRunningInstance())
        return 0;
    norvane::AppDelegate delegate;
    norvane::ReopenChannel channel([&delegate](const norvane::control::Request &request,
                                               const norvane::ReopenChannel::Reply &reply) {
        norvane::RemoteControl::handle(delegate, request, reply);
    });
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
