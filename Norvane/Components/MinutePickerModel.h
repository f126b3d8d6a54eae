#pragma once

#include "Announcement.h"

#include <QObject>
#include <QQmlEngine>
#include <QVariantList>

namespace norvane {

// The state and rules of a minute picker: the label, the menu items with their check mark and
// the custom-duration entry. The picker never changes its value itself: a choice is reported
// through valueChosen() and the owner writes it back into `value` when it accepts it.
class MinutePickerModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(QString zero READ zero WRITE setZero NOTIFY zeroChanged)
    Q_PROPERTY(QString label READ label NOTIFY labelChanged)
    Q_PROPERTY(QVariantList items READ items NOTIFY itemsChanged)
    Q_PROPERTY(int checkedValue READ checkedValue NOTIFY valueChanged)
    Q_PROPERTY(int checkedIndex READ checkedIndex NOTIFY valueChanged)
    Q_PROPERTY(bool showingCustom READ showingCustom NOTIFY showingCustomChanged)
    Q_PROPERTY(QString custom READ custom WRITE setCustom NOTIFY customChanged)
    Q_PROPERTY(bool invalid READ invalid NOTIFY invalidChanged)
    Q_PROPERTY(QString accessibleName READ accessibleName NOTIFY labelChanged)
    Q_PROPERTY(QString fieldName READ fieldName NOTIFY titleChanged)
    Q_PROPERTY(norvane::Announcement *announcement READ announcement CONSTANT)

public:
    explicit MinutePickerModel(QObject *parent = nullptr);

    [[nodiscard]] const QString &title() const { return m_title; }
    void setTitle(const QString &title);
    [[nodiscard]] int value() const { return m_value; }
    void setValue(int value);
    [[nodiscard]] const QString &zero() const { return m_zero; }
    void setZero(const QString &zero);
    [[nodiscard]] QString label() const;
    // One map per option: "value" and "label".
    [[nodiscard]] QVariantList items() const;
    // The option that carries the check mark: the value when it is one of the options, else -1.
    [[nodiscard]] int checkedValue() const;
    // Its place in the menu; -1 when the value is not an option.
    [[nodiscard]] int checkedIndex() const;
    [[nodiscard]] bool showingCustom() const { return m_showingCustom; }
    [[nodiscard]] const QString &custom() const { return m_custom; }
    void setCustom(const QString &custom);
    [[nodiscard]] bool invalid() const { return m_invalid; }
    // What a screen reader says for the picker: its title and its value ("Turn Display Off,
    // 5 minutes").
    [[nodiscard]] QString accessibleName() const;
    // The custom entry's text field, named by its title and its unit.
    [[nodiscard]] QString fieldName() const;
    // Tells a refused custom entry, each time it is refused.
    [[nodiscard]] Announcement *announcement() const { return m_announcement; }

    // A menu item was chosen.
    Q_INVOKABLE void choose(int minutes);
    // Opens the custom entry prefilled with the value, at least 1.
    Q_INVOKABLE void openCustom();
    Q_INVOKABLE void cancelCustom();
    // Accepts the typed text when it is a whole number from 1 to 1440, else marks it invalid
    // and keeps the entry open.
    Q_INVOKABLE void commitCustom();

signals:
    void titleChanged();
    void valueChanged();
    void zeroChanged();
    void labelChanged();
    void itemsChanged();
    void showingCustomChanged();
    void customChanged();
    void invalidChanged();
    void valueChosen(int minutes);

private:
    void setShowingCustom(bool showing);
    void setInvalid(bool invalid);

    QString m_title;
    int m_value = 0;
    QString m_zero;
    bool m_showingCustom = false;
    QString m_custom;
    bool m_invalid = false;
    Announcement *m_announcement;
};

} // namespace norvane
