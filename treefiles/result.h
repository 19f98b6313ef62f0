#pragma once

#include <QString>

// What a function of the file layer and of the bench's libraries reports: that it worked, or what
// went wrong in words the application prints. The libraries never print themselves.
class [[nodiscard]] Result
{
public:
    static Result ok() { return Result(); }
    static Result failure(const QString &error) { return Result(error.isEmpty() ? QStringLiteral("failed") : error); }

    bool isOk() const { return m_error.isEmpty(); }
    explicit operator bool() const { return isOk(); }
    QString error() const { return m_error; }

private:
    Result() = default;
    explicit Result(const QString &error) : m_error(error) {}
    QString m_error;
};
