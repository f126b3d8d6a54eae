#include "FontPreloader.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QThread>

namespace norvane {

FontPreloader::FontPreloader()
    : m_thread(QThread::create([font = QGuiApplication::font()] {
          // Measuring a line fills Qt's font database, which every thread shares behind its
          // lock, from fontconfig: the slow part, where fontconfig reads its configuration and
          // caches. The font engines themselves stay with the thread that made them.
          std::ignore = QFontMetricsF(font).height();
      })) {
    m_thread->setObjectName(QStringLiteral("FontPreloader"));
    m_thread->start();
}

FontPreloader::~FontPreloader() {
    m_thread->wait();
}

} // namespace norvane
