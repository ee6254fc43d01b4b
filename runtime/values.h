// Conversions between booleans and text, and the immediate-if.
#pragma once

#include <string>
#include <string_view>

namespace Runtime {

// True becomes "True", False becomes "False".
std::string boolToText(bool value);

// Accepts "True" and "False" in any case (and surrounding blanks); anything else raises
// run-time error 13, "Type mismatch".
bool textToBool(std::string_view text);

// Like textToBool, but says "no" instead of raising: for callers that treat any text that is
// no boolean as false.
bool isTrueText(std::string_view text) noexcept;

template <class T>
T iif(bool condition, T ifTrue, T ifFalse)
{
    return condition ? ifTrue : ifFalse;
}

} // namespace Runtime
