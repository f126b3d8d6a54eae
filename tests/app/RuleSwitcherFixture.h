#pragma once

#include "AppTestSupport.h"
#include "Rules/RuleBook.h"
#include "Rules/RuleSwitcher.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

namespace norvane::test {

// A rule switcher over a session store whose every change succeeds as soon as the event loop
// runs, with one rule (an external display: Vibe) and the external displays counted by the test
// unless it says otherwise.
struct RuleSwitcherFixture : SessionFixture {
    RuleSwitcherFixture() {
        service->onStart = [this] {
            QMetaObject::invokeMethod(
                qApp, [this] { service->succeed(); }, Qt::QueuedConnection);
        };
        book.add(
            Rule{"display", {Condition::Kind::externalDisplay, 0, {}, {}, {}, {}}, "vibe", true});
    }

    RuleSwitcher::Environment environment(std::function<int()> displays) {
        RuleSwitcher::Environment environment;
        environment.clock = [this] { return now; };
        environment.read = [this](const QList<Rule> &) {
            RuleReadings readings;
            readings.source = PowerStatus::Source::adapter;
            readings.now = now;
            return QtFuture::makeReadyFuture(readings);
        };
        environment.externalDisplays = std::move(displays);
        return environment;
    }

    QTemporaryDir folder;
    RuleBook book{folder.filePath("rules.json")};
};

} // namespace norvane::test
