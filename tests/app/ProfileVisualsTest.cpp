// The symbol images: every name the views use has one, and it takes the requested tint.
#include "Components/Symbols.h"
#include "Profiles/Profile.h"
#include "TestSupport.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

// Every symbol name the application's sources pass to an image: `symbol: "…"` in QML and the
// icons' own symbol names.
QSet<QString> symbolNamesInSources() {
    static const QRegularExpression pattern(QStringLiteral(R"re(symbol:\s*"([a-z0-9.]+)")re"));
    QSet<QString> names;
    QDirIterator it(QStringLiteral(NORVANE_SOURCE_DIR "/Norvane/qml"), {"*.qml"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        for (const auto &match : pattern.globalMatch(test::readTextFile(it.next())))
            names.insert(match.captured(1));
    for (const ProfileIcon icon : ProfileIcon::allCases())
        names.insert(icon.symbol());
    return names;
}

} // namespace

TEST(Symbols, EverySymbolTheViewsNameHasAnImageThatRendersInTheRequestedTint) {
    const QSet<QString> used = symbolNamesInSources();
    EXPECT_GT(used.size(), 15);
    for (const QString &name : used)
        EXPECT_TRUE(Symbols::names().contains(name)) << name.toStdString();
    for (const QString &name : Symbols::names()) {
        const QImage image = Symbols::render(name, QColor(0, 0, 255), QSize(48, 48));
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        int inked = 0;
        bool tinted = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = QColor::fromRgba(image.pixel(x, y));
                inked += pixel.alpha() > 128 ? 1 : 0;
                tinted = tinted || pixel == QColor(0, 0, 255);
            }
        EXPECT_GT(inked, 40) << name.toStdString() << " draws something";
        EXPECT_LT(inked, 48 * 48 * 3 / 4) << name.toStdString() << " is no filled square";
        EXPECT_TRUE(tinted) << name.toStdString();
    }
    EXPECT_TRUE(Symbols::render("no.such.symbol", Qt::black, QSize(16, 16)).isNull());
    EXPECT_EQ(Symbols::imageUrl("moon.zzz", QColor(1, 2, 3)).toString(),
              "image://symbol/moon.zzz/010203ff");
}
