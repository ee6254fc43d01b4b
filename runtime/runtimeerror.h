// A run-time error: the number and description a forms runtime reports when a call fails.
#pragma once

#include <exception>
#include <string>

namespace Runtime {

class RuntimeError final : public std::exception
{
public:
    RuntimeError(int number, std::string description)
        : m_number(number), m_description(std::move(description))
    {
    }

    int number() const noexcept { return m_number; }
    const std::string &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_description.c_str(); }

private:
    int m_number;
    std::string m_description;
};

// The numbers this runtime raises, with the wording users of such runtimes know.
namespace Err {
inline constexpr int TypeMismatch = 13;
inline constexpr int Internal = 51;
inline constexpr int ControlArrayElementMissing = 340;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int FormAlreadyShown = 400;
inline constexpr int InvalidPicture = 481;
inline constexpr int ControlNotFound = 730;
inline constexpr int IndexOutOfBounds = 35600;
} // namespace Err

} // namespace Runtime
