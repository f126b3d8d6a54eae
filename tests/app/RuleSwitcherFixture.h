#pragma once

#include "AppTestSupport.h"
#include "Rules/RuleBook.h"
#include "Rules/RuleSwitcher.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace norvane::test {

// A session store whose every change succeeds once the event loop runs, and a rule book with one
// rule: while an external display is connected, Vibe. Readings: on the adapter, the displays as
// the test counts them.
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
        RuleSwitcher::Environment environment{{}, [this] { return now; }};
        environment.read = [this](const QList<Rule> &) {
            return QtFuture::makeReadyFuture(
                RuleReadings{PowerStatus::Source::adapter, {}, {}, now});
        };
        environment.externalDisplays = std::move(displays);
        return environment;
    }

    QTemporaryDir folder;
    RuleBook book{folder.filePath("rules.json")};
};

} // namespace norvane::test
