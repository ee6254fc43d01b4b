// The bare program Quorvel.exe is measured against: a 335 x 365 Win32 window with the same
// standard controls as Quorvel's upper frame (two group boxes, a push button, a check box, two
// radio buttons, a label and an edit control, in DEFAULT_GUI_FONT), written as any Win32
// program would be, and built the same way (same toolchain, flags and manifest).
#include <windows.h>

namespace {

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND child(HWND parent, const wchar_t *cls, const wchar_t *text, DWORD style, int x, int y, int w, int h,
           DWORD exStyle = 0)
{
    HWND hwnd = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return hwnd;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"Bare";
    RegisterClassExW(&wc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame = {156, 102, 156 + 335, 102 + 365};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExW(0, L"Bare", L"bare", style, frame.left, frame.top, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    child(window, L"BUTTON", L"Standard MS Custom Controls", BS_GROUPBOX, 8, 5, 321, 104);
    child(window, L"BUTTON", L"Zennorak Design Quorvel technics examples", BS_GROUPBOX, 7, 121, 322, 195);
    child(window, L"BUTTON", L"Command1", BS_PUSHBUTTON | WS_TABSTOP, 25, 24, 138, 31);
    child(window, L"BUTTON", L"Check1", BS_AUTOCHECKBOX | WS_TABSTOP, 207, 28, 71, 21);
    child(window, L"BUTTON", L"Option1(0)", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 24, 59, 78, 23);
    child(window, L"BUTTON", L"Option1(1)", BS_AUTORADIOBUTTON, 24, 81, 78, 23);
    child(window, L"STATIC", L"Label1", SS_LEFT, 103, 79, 35, 23);
    child(window, L"EDIT", L"Text1", ES_AUTOHSCROLL | WS_TABSTOP, 145, 75, 138, 23, WS_EX_CLIENTEDGE);
    SendMessageW(FindWindowExW(window, nullptr, L"BUTTON", L"Option1(0)"), BM_SETCHECK, BST_CHECKED, 0);
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}
