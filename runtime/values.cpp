// Conversions between booleans and text.
#include "values.h"

#include "runtimeerror.h"

namespace Runtime {

QString boolToText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

static std::optional<bool> parseBool(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

bool textToBool(const QString &text)
{
    if (const auto value = parseBool(text))
        return *value;
    throw RuntimeError(Err::TypeMismatch, QStringLiteral("Type mismatch"));
}

bool isTrueText(const QString &text) noexcept
{
    return parseBool(text).value_or(false);
}

} // namespace Runtime
