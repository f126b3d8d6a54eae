#pragma once

#include "Configuration/ConfigurationError.h"

#include <QString>
#include <gtest/gtest.h>

namespace norvane::test {

// Runs `body` and returns the ConfigurationError it throws; fails the test when it throws
// nothing or something else.
template <typename Body> ConfigurationError configurationErrorFrom(Body &&body)
{
    try {
        body();
    } catch (const ConfigurationError &error) {
        return error;
    } catch (const std::exception &other) {
        ADD_FAILURE() << "unexpected exception: " << other.what();
        return ConfigurationError::message(QStringLiteral("<unexpected exception>"));
    }
    ADD_FAILURE() << "expected a ConfigurationError, nothing was thrown";
    return ConfigurationError::message(QStringLiteral("<nothing thrown>"));
}

// The description of the error `body` throws, or "<nothing thrown>".
template <typename Body> QString errorTextFrom(Body &&body)
{
    try {
        body();
    } catch (const std::exception &error) {
        return localizedDescription(error);
    }
    return QStringLiteral("<nothing thrown>");
}

QString readTextFile(const QString &path);

} // namespace norvane::test

// Lets GoogleTest print QStrings in failure messages.
QT_BEGIN_NAMESPACE
void PrintTo(const QString &text, std::ostream *os);
QT_END_NAMESPACE
