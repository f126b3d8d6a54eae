#include "App/AppDelegate.h"
#include "App/Application.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    norvane::configureApplication(application);
    norvane::AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
