// The library's Windows-only layer against the real Win32 API: the entry
// routine, the four window calls of NativeWindow and the hidden attribute of
// the activity log. Cross-compiled with MinGW-w64 and run under Wine by
// scripts/test-windows.sh; it needs vqentry.dll and threadprobe.dll beside it.
#include "log/hiddenattribute.h"
#include "plugin/nativewindow.h"

#include "common/plaincheck.h"

#include <windows.h>

#include <initializer_list>
#include <string>

// The library's entry routine, linked in from plugin/dllmain_win.cpp so it
// can be called on a module of the test's choosing.
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

namespace {

// Starts a thread and waits for it, so the loader sends its attach and
// detach notifications.
bool runThread()
{
    const HANDLE thread = CreateThread(nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
    const bool finished = thread && WaitForSingleObject(thread, INFINITE) == WAIT_OBJECT_0;
    if (thread)
        CloseHandle(thread);
    return finished;
}

void checkEntryRoutine(PlainCheck& t)
{
    t.group("entry routine");
    // A DLL whose only code is the entry routine: LoadLibrary fails unless the
    // routine reports success for the process attach.
    const HMODULE entry = LoadLibraryW(L"vqentry.dll");
    t.check(entry && FreeLibrary(entry), "a DLL with the entry routine loads and unloads");

    const HMODULE probe = LoadLibraryW(L"threadprobe.dll");
    const auto count = reinterpret_cast<LONG (*)()>(
        reinterpret_cast<void*>(probe ? GetProcAddress(probe, "threadAttachCount") : nullptr));
    if (!t.check(count != nullptr, "the thread probe loads and exports its counter"))
        return;
    const LONG before = count();
    t.check(runThread(), "a thread runs");
    t.equal(count(), before + 1, "the probe sees the thread attach");
    t.check(DllMain(probe, DLL_PROCESS_ATTACH, nullptr) == TRUE, "the process attach reports success");
    t.check(runThread(), "a thread runs after the attach");
    t.equal(count(), before + 1, "thread notifications are off for the module");
    for (const DWORD reason : {DLL_THREAD_ATTACH, DLL_THREAD_DETACH, DLL_PROCESS_DETACH})
        t.check(DllMain(probe, reason, nullptr) == TRUE, "every other reason reports success");
    FreeLibrary(probe);
}

const wchar_t kWindowClass[] = L"VqTintwellTestWindow";

// A shown top-level window of 400 x 300 with its frame.
HWND createWindow(const wchar_t* title, int x, int y)
{
    const HWND window = CreateWindowExW(0, kWindowClass, title, WS_OVERLAPPEDWINDOW, x, y, 400, 300, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    return window;
}

void checkWindows(PlainCheck& t)
{
    t.group("windows");
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    if (!t.check(RegisterClassW(&wc) != 0, "window class registered"))
        return;
    const HWND first = createWindow(L"first", 100, 120), second = createWindow(L"second", 160, 160);
    if (t.check(first && second, "windows created")) {
        t.group("enable");
        for (const bool enabled : {false, false, true}) {
            NativeWindow::enable(first, enabled);
            t.check((IsWindowEnabled(first) != FALSE) == enabled, enabled ? "enabled again" : "disabled, also twice");
        }

        t.group("outer rectangle");
        NativeWindow::Rect rect;
        RECT system;
        GetWindowRect(first, &system);
        t.check(NativeWindow::outerRect(first, &rect) && rect.left == system.left && rect.top == system.top
                    && rect.right == system.right && rect.bottom == system.bottom,
                "as GetWindowRect for a live window");
        t.check(!NativeWindow::outerRect(nullptr, &rect), "false for a null handle");

        // Wine under Xvfb grants the foreground to any window of this process
        // but leaves the Z order alone, and its BringWindowToTop also
        // activates: so each call is checked by its own effect, for both
        // windows in turn so that neither result is a leftover.
        t.group("foreground and top");
        for (const HWND window : {first, second}) {
            NativeWindow::setForeground(window);
            t.check(GetForegroundWindow() == window, "in the foreground");
        }
        for (const HWND window : {first, second}) {
            NativeWindow::bringToTop(window);
            t.check(GetTopWindow(nullptr) == window, "on top");
        }
    }
    DestroyWindow(first);
    DestroyWindow(second);
    NativeWindow::Rect rect;
    t.check(!NativeWindow::outerRect(first, &rect), "false for a destroyed window");
    UnregisterClassW(kWindowClass, GetModuleHandleW(nullptr));
}

bool has(DWORD attributes, DWORD bits)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & bits) == bits;
}

void checkHiding(PlainCheck& t)
{
    t.group("hidden attribute");
    wchar_t temp[MAX_PATH];
    const std::wstring root = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"vq-hidden-"
        + std::to_wstring(GetCurrentProcessId());
    const std::wstring file = root + L"\\Activity1.log", directory = root + L"\\Activity";
    CreateDirectoryW(root.c_str(), nullptr);
    // Read-only and archive stand for bits the call must leave alone.
    const HANDLE created = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, nullptr);
    if (created != INVALID_HANDLE_VALUE)
        CloseHandle(created);
    if (t.check(created != INVALID_HANDLE_VALUE && CreateDirectoryW(directory.c_str(), nullptr),
                "scratch file and directory created")) {
        t.check(!has(GetFileAttributesW(file.c_str()), FILE_ATTRIBUTE_HIDDEN), "the new file is not hidden");
        HiddenAttribute::set(file.c_str());
        HiddenAttribute::set(directory.c_str());
        const DWORD fileAttributes = GetFileAttributesW(file.c_str());
        t.check(has(fileAttributes, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE),
                "file hidden, keeping read-only and archive");
        t.check(has(GetFileAttributesW(directory.c_str()), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY),
                "directory hidden, still a directory");
        HiddenAttribute::set(file.c_str());
        t.equal(long(GetFileAttributesW(file.c_str())), long(fileAttributes), "hiding again changes nothing");
        HiddenAttribute::set((root + L"\\missing.log").c_str());
        t.check(GetFileAttributesW((root + L"\\missing.log").c_str()) == INVALID_FILE_ATTRIBUTES,
                "a missing path stays missing");
    }
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(file.c_str());
    RemoveDirectoryW(directory.c_str());
    RemoveDirectoryW(root.c_str());
}

} // namespace

int main()
{
    PlainCheck t;
    checkEntryRoutine(t);
    checkWindows(t);
    checkHiding(t);
    return t.finish();
}
