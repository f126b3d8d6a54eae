#include "ControlTool.h"
#include "Installation.h"
#include "Worlds/WorldChoice.h"
#ifdef NORVANE_DESKTOP_WORLDS
#include "DesktopWorlds.h"
#endif

#include <QCoreApplication>
#include <QTextStream>
#include <unistd.h>

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pellorctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLOR_VERSION));
#ifdef NORVANE_DESKTOP_WORLDS
    norvane::offerDesktopWorlds();
#endif
    norvane::useSystemWorld();
    QTextStream out(stdout);
    QTextStream err(stderr);
    norvane::ControlTool tool(out, err, ::isatty(STDOUT_FILENO) == 1);
    return int(tool.run(QCoreApplication::arguments()));
}
