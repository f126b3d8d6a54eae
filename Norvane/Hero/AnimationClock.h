#pragma once

#include <QDateTime>
#include <optional>

namespace norvane {

// Animation time that pauses and resumes: the seconds run only between start() and pause(),
// so a paused animation resumes where it stopped.
class AnimationClock {
public:
    // Starts a running stretch at `now`; does nothing while one runs.
    void start(const QDateTime &now);
    // Ends the running stretch, adding its length to the elapsed time.
    void pause(const QDateTime &now);

    [[nodiscard]] bool isRunning() const { return m_runningSince.has_value(); }
    [[nodiscard]] double elapsed() const { return m_elapsed; }
    [[nodiscard]] const std::optional<QDateTime> &runningSince() const { return m_runningSince; }
    // The elapsed time plus the current stretch, never negative.
    [[nodiscard]] double time(const QDateTime &now) const;

private:
    [[nodiscard]] double stretch(const QDateTime &now) const;

    double m_elapsed = 0;
    std::optional<QDateTime> m_runningSince;
};

} // namespace norvane
