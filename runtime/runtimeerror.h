// A run-time error: the number and description a forms runtime reports when a call fails.
#pragma once

#include <QString>
#include <exception>

namespace Runtime {

class RuntimeError final : public std::exception
{
public:
    RuntimeError(int number, QString description)
        : m_number(number), m_description(std::move(description)),
          m_what(m_description.toUtf8())
    {
    }

    int number() const noexcept { return m_number; }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

// The numbers this runtime raises, with the wording users of such runtimes know.
namespace Err {
inline constexpr int TypeMismatch = 13;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int ControlArrayElementMissing = 340;
inline constexpr int FormAlreadyShown = 400;
inline constexpr int InvalidPicture = 481;
inline constexpr int ControlNotFound = 730;
inline constexpr int IndexOutOfBounds = 35600;
inline constexpr int Internal = 51;
} // namespace Err

} // namespace Runtime
