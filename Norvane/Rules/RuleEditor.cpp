#include "RuleEditor.h"

#include "Components/Accessibility.h"
#include "Localization/L10n.h"

#ifdef Q_OS_LINUX
#include "Platform/Linux/DesktopEntries.h"
#endif

namespace norvane {

namespace {

#ifdef Q_OS_LINUX
// Desktop entries name Chinese by region.
QString entryLanguage(const QString &language) {
    if (language == u"zh-Hans")
        return QStringLiteral("zh_CN");
    if (language == u"zh-Hant")
        return QStringLiteral("zh_TW");
    return language;
}
#endif

// The applications a rule can wait for, as this computer lists them. On a Mac the person types
// the bundle identifier.
QVariantList installed() {
    QVariantList list;
#ifdef Q_OS_LINUX
    for (const InstalledApplication &application :
         installedApplications(entryLanguage(L10n::currentLanguage())))
        list << QVariantMap{{QStringLiteral("id"), application.id},
                            {QStringLiteral("name"), application.name}};
#endif
    return list;
}

} // namespace

RuleEditor::RuleEditor(const std::optional<Rule> &rule, const ProfileLibrary &library,
                       RuleEditorModel::Save onSave)
    : Sheet(contentSize),
      m_model(new RuleEditorModel(rule, library, installed(), std::move(onSave), this)) {
    setObjectName(QStringLiteral("ruleEditor"));
    Accessibility::setRole(*this, QAccessible::Dialog);
    setWindowTitle(m_model->heading());
    host(QUrl(QString::fromLatin1(viewUrl)),
         {{QStringLiteral("editor"), QVariant::fromValue(m_model)}});
    m_model->onClose = [this] { endSheet(); };
}

} // namespace norvane
