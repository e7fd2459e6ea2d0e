// The error that host operations and commands raise; its text reaches the general error report.
#pragma once

#include <QString>
#include <stdexcept>

class EHostError : public std::runtime_error
{
public:
    explicit EHostError(const QString &message) : std::runtime_error(message.toUtf8().toStdString())
    { }
    QString message() const { return QString::fromUtf8(what()); }
};
