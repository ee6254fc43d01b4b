// Text between the runtime (UTF-8) and Windows (UTF-16).
#pragma once

#include <windows.h>

#include <string>

namespace Runtime::Win32 {

inline std::wstring wide(const std::string &text)
{
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n);
    return out;
}

inline std::string narrow(const std::wstring &text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// A window's text as the user left it.
inline std::string windowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring buffer(std::size_t(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    buffer.resize(std::size_t(copied > 0 ? copied : 0));
    return narrow(buffer);
}

} // namespace Runtime::Win32
