#include "ControlTool.h"
#include "Installation.h"
#include "Worlds/WorldChoice.h"

#include <QCoreApplication>
#include <QTextStream>
#include <unistd.h>

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pellorctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLOR_VERSION));
    norvane::useSystemWorld();
    QTextStream out(stdout);
    QTextStream err(stderr);
    norvane::ControlTool tool(out, err, ::isatty(STDOUT_FILENO) == 1);
    return int(tool.run(QCoreApplication::arguments()));
}
