#include "TestSupport.h"

#include <QFile>
#include <ostream>

namespace norvane::test {

QString readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace norvane::test

QT_BEGIN_NAMESPACE
void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE
