// Which system a process drives: PELLOR_PLATFORM first, then the desktop that
// XDG_CURRENT_DESKTOP names and whose settings answer, else the simulated Mac, said in one line.
#include "Worlds/WorldChoice.h"

#include "Localization/L10n.h"

#include <gtest/gtest.h>

using namespace norvane;

namespace {

// A desktop world that is only a name.
class NamedWorld final : public World {
public:
    explicit NamedWorld(QString id) : m_id(std::move(id)) {}
    [[nodiscard]] SystemIdentity identity() const override {
        SystemIdentity identity;
        identity.id = m_id;
        identity.isMac = false;
        return identity;
    }
    [[nodiscard]] std::shared_ptr<ConfigurationBackend> configurationBackend() const override {
        return {};
    }
    [[nodiscard]] SystemSettings readSettings() const override { return {}; }
    [[nodiscard]] PowerStatus readPower() const override { return {}; }
    [[nodiscard]] std::optional<PowerAssertions> readHolders() const override { return {}; }

private:
    QString m_id;
};

void offer(const QString &id, const QStringList &names, bool answers) {
    offerWorld({id, names, [answers] { return answers; },
                [id] { return std::make_shared<NamedWorld>(id); }});
}

} // namespace

TEST(WorldChoice, ThePlatformVariableThenTheDesktopThatAnswersElseTheSimulatedMac) {
    offer("gnome", {"GNOME", "GNOME-Classic"}, true);
    offer("kde", {"KDE"}, false); // its settings do not answer here
    const QString none =
        L10n::text("No supported desktop was found, so Pellor drives the simulated Mac.");
    const struct {
        QString platform, desktop, world, note;
    } rows[] = {
        {"gnome", "", "gnome", ""},
        {"kde", "GNOME", "kde", ""}, // named, so chosen whether or not it answers
        {"simulated", "GNOME", "simulated", ""},
        {"", "ubuntu:GNOME", "gnome", ""},
        {"", "gnome-classic", "gnome", ""},
        {"", "KDE:GNOME", "gnome", ""}, // the first named desktop that answers
        {"", "KDE", "simulated", none},
        {"", "", "simulated", none},
        {"beos", "GNOME", "simulated",
         L10n::text({"PELLOR_PLATFORM=“{0}” is not one of {1}; Pellor drives the simulated Mac.",
                     {"beos", "simulated, gnome, kde"}})},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE((row.platform + "/" + row.desktop).toStdString());
        const WorldChoice choice = chooseWorld(row.platform, row.desktop);
        EXPECT_EQ(choice.world->identity().id, row.world);
        EXPECT_EQ(choice.note, row.note);
        EXPECT_EQ(choice.world->identity().note, row.note);
    }
}
