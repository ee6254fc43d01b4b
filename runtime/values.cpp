// Conversions between booleans and text, and the scale modes.
#include "runtime/values.h"

#include "runtime/runtimeerror.h"
#include "runtime/units.h"

#include <optional>

namespace Runtime {

namespace {
bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::optional<bool> parseBool(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (equalsIgnoringCase(text, "True"))
        return true;
    if (equalsIgnoringCase(text, "False"))
        return false;
    return std::nullopt;
}
} // namespace

std::string boolToText(bool value)
{
    return value ? "True" : "False";
}

bool textToBool(std::string_view text)
{
    if (const auto value = parseBool(text))
        return *value;
    throw RuntimeError(Err::TypeMismatch, "Type mismatch");
}

bool isTrueText(std::string_view text) noexcept
{
    return parseBool(text).value_or(false);
}

int checkedScaleMode(int mode)
{
    if (mode != Scale::Twips && mode != Scale::Pixels)
        throw RuntimeError(Err::InvalidPropertyValue, "Invalid property value");
    return mode;
}

} // namespace Runtime
