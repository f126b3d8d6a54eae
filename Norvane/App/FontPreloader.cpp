#include "FontPreloader.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QThread>

namespace norvane {

FontPreloader::FontPreloader()
    : m_thread(QThread::create([font = QGuiApplication::font()] {
          // The font database is shared and guarded by Qt; measuring a line loads it, matches
          // the font and opens its face, which every size of it uses afterwards.
          (void)QFontMetricsF(font).height();
      })) {
    m_thread->setObjectName(QStringLiteral("FontPreloader"));
    m_thread->start();
}

FontPreloader::~FontPreloader() {
    m_thread->wait();
}

} // namespace norvane
