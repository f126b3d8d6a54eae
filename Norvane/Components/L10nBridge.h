#pragma once

#include <QObject>
#include <QQmlEngine>
#include <QVariantList>

namespace norvane {

// The message catalogue for QML, as the singleton L10n: text(key) or text(key, [arguments]),
// with the English key written literally at the call site so the key scanner sees it.
class L10nBridge : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(L10n)
    QML_SINGLETON

public:
    using QObject::QObject;

    [[nodiscard]] Q_INVOKABLE QString text(const QString &key,
                                           const QVariantList &arguments = {}) const;
    // The text for the system Pellor changes: the Mac's key on a Mac, else the desktop's.
    [[nodiscard]] Q_INVOKABLE QString systemText(const QString &macKey, const QString &desktopKey,
                                                 const QVariantList &arguments = {}) const;
};

} // namespace norvane
