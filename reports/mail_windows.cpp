// The e-mail hand-off on Windows: the mailto: link through the shell, a wait
// for the new message's window (titled with its subject, the file's path),
// then the keystrokes that attach the file.

#include "mail_windows.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace pellamy {

namespace {

void addKey(std::vector<INPUT>& inputs, WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
}

void addCharacter(std::vector<INPUT>& inputs, wchar_t c) {
    for (bool up : {false, true}) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = c;
        input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
        inputs.push_back(input);
    }
}

// The texts come in UTF-8 and go to Windows whole, as UTF-16: a folder
// named with a letter outside the system's 8-bit character set is still
// the folder typed into the message.
std::wstring widen(const std::string& text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
    return wide;
}

// A text as it stands in the link: the characters that would end or change
// the link's fields (a folder named "Smith & Son") written as %XX, which the
// e-mail program reads back, so the window is still titled with the path.
std::wstring linkText(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'%' || c == L'&' || c == L'#' || c == L'+' || c == L'?') {
            static const wchar_t hex[] = L"0123456789ABCDEF";
            out += L'%';
            out += hex[(c >> 4) & 0xF];
            out += hex[c & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

// The top-level windows titled so, open now.
std::vector<HWND> windowsTitled(const std::wstring& title) {
    struct Search {
        const std::wstring* title;
        std::vector<HWND> found;
    } search{&title, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            // Pellamy's own windows are never the message; asked for their
            // titles from this thread, they would wait on the window's.
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId())
                return TRUE;
            std::wstring text(s->title->size() + 2, L'\0');
            const int length = GetWindowTextW(window, &text[0], int(text.size()));
            if (length >= 0 && text.compare(0, std::size_t(length), *s->title) == 0 &&
                std::size_t(length) == s->title->size())
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A window so titled that was not among those open before.
HWND newWindowTitled(const std::wstring& title, const std::vector<HWND>& before) {
    for (HWND window : windowsTitled(title))
        if (std::find(before.begin(), before.end(), window) == before.end())
            return window;
    return nullptr;
}

} // namespace

bool sendMailWindows(const std::string& subject, const std::string& body,
                     const std::string& attachment, std::string& error) {
    const std::wstring link =
        L"mailto:?subject=" + linkText(widen(subject)) + L"&body=" + linkText(widen(body));
    // Every message has the same subject: one left unsent from the last
    // result is still titled so, and must not be taken for the new one.
    const std::wstring title = widen(subject);
    const std::vector<HWND> before = windowsTitled(title);
    const INT_PTR opened = reinterpret_cast<INT_PTR>(
        ShellExecuteW(GetActiveWindow(), L"Open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (opened == SE_ERR_NOASSOC || opened == SE_ERR_ASSOCINCOMPLETE) {
        error = "no e-mail program is set up on this computer.";
        return false;
    }
    if (opened <= 32) {
        error = "Windows could not open the e-mail link (code " + std::to_string(opened) + ").";
        return false;
    }

    // One pass of the message loop, then the wait for the new message's
    // window; the program takes no input meanwhile.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    HWND window = newWindowTitled(title, before);
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (!window && GetTickCount64() < deadline) {
        Sleep(100);
        window = newWindowTitled(title, before);
    }
    if (!window) {
        error = "No e-mail window titled \"" + subject + "\" appeared within 30 seconds.";
        return false;
    }

    // The keys go to whatever window has the keyboard: only to the new
    // message's. Were they to land on the calculator, still open for the
    // next bird, the path would be typed into its boxes and Enter could
    // clock a bird.
    SetForegroundWindow(window);
    Sleep(200);
    if (GetForegroundWindow() != window) {
        error = "its new message did not come to the front, so the result was not attached.";
        return false;
    }

    // Alt+I, A, the path, Tab, Tab, Enter.
    std::vector<INPUT> inputs;
    addKey(inputs, VK_MENU, false);
    addKey(inputs, 'I', false);
    addKey(inputs, 'I', true);
    addKey(inputs, VK_MENU, true);
    addKey(inputs, 'A', false);
    addKey(inputs, 'A', true);
    for (wchar_t c : widen(attachment))
        addCharacter(inputs, c);
    for (WORD key : {WORD(VK_TAB), WORD(VK_TAB), WORD(VK_RETURN)}) {
        addKey(inputs, key, false);
        addKey(inputs, key, true);
    }
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) !=
        inputs.size()) {
        error = "Windows did not let Pellamy type into its new message, so the result was not "
                "attached.";
        return false;
    }
    return true;
}

void sendMailWindowsInBackground(std::string subject, std::string body, std::string attachment,
                                 std::function<void(const std::string&)> failed) {
    // One hand-off at a time: a second (a double click) would type its keys
    // into the first one's message. It is let go, and said: the message
    // being opened is the one asked for before.
    static std::atomic<bool> busy{false};
    if (busy.exchange(true)) {
        failed("the e-mail program is still opening the message asked for before.");
        return;
    }
    std::thread([subject = std::move(subject), body = std::move(body),
                 attachment = std::move(attachment), failed = std::move(failed)] {
        // The shell's mailto: handlers expect COM on the calling thread.
        const HRESULT com =
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        std::string error;
        if (!sendMailWindows(subject, body, attachment, error))
            failed(error);
        if (SUCCEEDED(com))
            CoUninitialize();
        busy = false;
    }).detach();
}

} // namespace pellamy
