// The library's Windows-only layer against the real Win32 API: the entry
// routine, the four window calls of NativeWindow and the hidden attribute of
// the activity log. Cross-compiled with MinGW-w64 and run under Wine by
// scripts/test-windows.sh; it needs vqentry.dll and threadprobe.dll beside it.
#include "log/hiddenattribute.h"
#include "plugin/nativewindow.h"

#include "common/plaincheck.h"

#include <windows.h>

#include <cwchar>
#include <string>

// The library's entry routine, linked in from plugin/dllmain_win.cpp so it
// can be called on a module of the test's choosing.
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

namespace {

// A loaded DLL, freed at scope exit.
class Library
{
public:
    explicit Library(const wchar_t* name) : m_module(LoadLibraryW(name)) {}
    ~Library()
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    HMODULE module() const { return m_module; }
    // Frees it now; true when the loader ran the detach and unloaded it.
    bool release()
    {
        const BOOL freed = FreeLibrary(m_module);
        m_module = nullptr;
        return freed != FALSE;
    }

private:
    HMODULE m_module;
};

DWORD WINAPI doNothing(LPVOID)
{
    return 0;
}

// Starts a thread and waits for it, so the loader sends its attach and
// detach notifications.
bool runThread()
{
    const HANDLE thread = CreateThread(nullptr, 0, doNothing, nullptr, 0, nullptr);
    if (!thread)
        return false;
    const bool finished = WaitForSingleObject(thread, INFINITE) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return finished;
}

void checkEntryRoutine(PlainCheck& t)
{
    t.group("entry routine");
    {
        // A DLL whose only code is the entry routine: LoadLibrary fails
        // unless the routine reports success for the process attach.
        Library library(L"vqentry.dll");
        t.check(library.module() != nullptr, "a DLL with the entry routine loads");
        if (library.module())
            t.check(library.release(), "and unloads");
    }

    Library probe(L"threadprobe.dll");
    if (!t.check(probe.module() != nullptr, "the thread probe loads"))
        return;
    using Count = LONG (*)();
    const auto count = reinterpret_cast<Count>(
        reinterpret_cast<void*>(GetProcAddress(probe.module(), "threadAttachCount")));
    if (!t.check(count != nullptr, "the thread probe exports its counter"))
        return;

    const LONG before = count();
    t.check(runThread(), "a thread runs");
    t.equal(count(), before + 1, "the probe sees the thread attach");

    t.check(DllMain(probe.module(), DLL_PROCESS_ATTACH, nullptr) == TRUE,
            "the process attach reports success");
    const LONG afterAttach = count();
    t.check(runThread(), "a thread runs after the attach");
    t.equal(count(), afterAttach, "thread notifications are off for the module");

    t.check(DllMain(probe.module(), DLL_THREAD_ATTACH, nullptr) == TRUE, "thread attach reports success");
    t.check(DllMain(probe.module(), DLL_THREAD_DETACH, nullptr) == TRUE, "thread detach reports success");
    t.check(DllMain(probe.module(), DLL_PROCESS_DETACH, nullptr) == TRUE, "process detach reports success");
}

LRESULT CALLBACK defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t kWindowClass[] = L"VqTintwellTestWindow";

// The test's window class, registered for the lifetime of the object.
class WindowClass
{
public:
    WindowClass()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = defaultProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = kWindowClass;
        m_registered = RegisterClassW(&wc) != 0;
    }
    ~WindowClass()
    {
        if (m_registered)
            UnregisterClassW(kWindowClass, GetModuleHandleW(nullptr));
    }
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;

    bool registered() const { return m_registered; }

private:
    bool m_registered = false;
};

void pumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A shown top-level window, destroyed at scope exit.
class Window
{
public:
    Window(const wchar_t* title, int x, int y, int width, int height)
        : m_handle(CreateWindowExW(0, kWindowClass, title, WS_OVERLAPPEDWINDOW, x, y, width, height,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr))
    {
        if (m_handle) {
            ShowWindow(m_handle, SW_SHOWNORMAL);
            pumpMessages();
        }
    }
    ~Window()
    {
        if (m_handle)
            DestroyWindow(m_handle);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND handle() const { return m_handle; }

private:
    HWND m_handle;
};

void checkEnable(PlainCheck& t, HWND window)
{
    t.group("enable");
    NativeWindow::enable(window, false);
    t.check(!IsWindowEnabled(window), "disabled");
    NativeWindow::enable(window, false);
    t.check(!IsWindowEnabled(window), "disabling twice keeps it disabled");
    NativeWindow::enable(window, true);
    t.check(IsWindowEnabled(window) != FALSE, "enabled again");
}

void checkOuterRect(PlainCheck& t, HWND window, int x, int y, int width, int height)
{
    t.group("outer rectangle");
    NativeWindow::Rect rect;
    if (!t.check(NativeWindow::outerRect(window, &rect), "read for a live window"))
        return;
    RECT system;
    GetWindowRect(window, &system);
    t.equal(rect.left, system.left, "left as GetWindowRect");
    t.equal(rect.top, system.top, "top as GetWindowRect");
    t.equal(rect.right, system.right, "right as GetWindowRect");
    t.equal(rect.bottom, system.bottom, "bottom as GetWindowRect");
    // No window manager runs under Xvfb, so nothing moves the window from
    // where it was created; the outer rectangle includes the frame.
    t.equal(rect.left, x, "left where created");
    t.equal(rect.top, y, "top where created");
    t.equal(rect.right - rect.left, width, "outer width as created");
    t.equal(rect.bottom - rect.top, height, "outer height as created");
}

void checkOuterRectOfDestroyedWindow(PlainCheck& t)
{
    HWND stale = nullptr;
    {
        const Window window(L"gone", 10, 10, 100, 100);
        stale = window.handle();
    }
    NativeWindow::Rect rect;
    t.check(!NativeWindow::outerRect(stale, &rect), "false for a destroyed window");
    t.check(!NativeWindow::outerRect(nullptr, &rect), "false for a null handle");
}

// Wine under Xvfb, with no window manager, grants the foreground to any
// window of this process (the only one on the display) but leaves the Z order
// alone, while BringWindowToTop changes the Z order. So foreground is checked
// with GetForegroundWindow and the Z order with GetTopWindow, each after its
// own call, for both windows in turn so neither result is a leftover. Wine's
// BringWindowToTop activates the window too, so the foreground check alone
// could not tell the two calls apart; the Z-order check can.
void checkRaising(PlainCheck& t, HWND first, HWND second)
{
    t.group("foreground and top");
    NativeWindow::setForeground(first);
    t.check(GetForegroundWindow() == first, "first window in the foreground");
    NativeWindow::setForeground(second);
    t.check(GetForegroundWindow() == second, "second window in the foreground");

    NativeWindow::bringToTop(first);
    t.check(GetTopWindow(nullptr) == first, "first window on top");
    NativeWindow::bringToTop(second);
    t.check(GetTopWindow(nullptr) == second, "second window on top");
}

void checkWindows(PlainCheck& t)
{
    const WindowClass windowClass;
    t.group("windows");
    if (!t.check(windowClass.registered(), "window class registered"))
        return;
    const int x = 100, y = 120, width = 400, height = 300;
    const Window first(L"first", x, y, width, height);
    const Window second(L"second", x + 60, y + 40, width, height);
    if (!t.check(first.handle() && second.handle(), "windows created"))
        return;
    checkEnable(t, first.handle());
    checkOuterRect(t, first.handle(), x, y, width, height);
    checkOuterRectOfDestroyedWindow(t);
    checkRaising(t, first.handle(), second.handle());
}

// A fresh directory under the temporary directory holding one file and one
// subdirectory, removed with them at scope exit.
class Scratch
{
public:
    Scratch()
    {
        wchar_t temp[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, temp);
        if (length == 0 || length >= MAX_PATH)
            return;
        m_root = std::wstring(temp) + L"vq-hidden-" + std::to_wstring(GetCurrentProcessId());
        if (!CreateDirectoryW(m_root.c_str(), nullptr))
            return;
        const HANDLE file = CreateFileW(filePath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_ARCHIVE, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        CloseHandle(file);
        m_ready = CreateDirectoryW(directoryPath().c_str(), nullptr) != FALSE;
    }
    ~Scratch()
    {
        if (m_root.empty())
            return;
        SetFileAttributesW(filePath().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(filePath().c_str());
        RemoveDirectoryW(directoryPath().c_str());
        RemoveDirectoryW(m_root.c_str());
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    bool ready() const { return m_ready; }
    std::wstring root() const { return m_root; }
    std::wstring filePath() const { return m_root + L"\\" + kFileName; }
    std::wstring directoryPath() const { return m_root + L"\\" + kDirectoryName; }

    static constexpr const wchar_t* kFileName = L"Activity1.log";
    static constexpr const wchar_t* kDirectoryName = L"Activity";

private:
    std::wstring m_root;
    bool m_ready = false;
};

DWORD attributesOf(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str());
}

bool has(DWORD attributes, DWORD bits)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & bits) == bits;
}

// The attributes a directory listing reports for 'name' inside 'root', or
// INVALID_FILE_ATTRIBUTES when the listing does not find it.
DWORD listedAttributes(const std::wstring& root, const wchar_t* name)
{
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((root + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return INVALID_FILE_ATTRIBUTES;
    DWORD found = INVALID_FILE_ATTRIBUTES;
    do {
        if (std::wcscmp(entry.cFileName, name) == 0)
            found = entry.dwFileAttributes;
    } while (found == INVALID_FILE_ATTRIBUTES && FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}

void checkHiding(PlainCheck& t)
{
    t.group("hidden attribute");
    const Scratch scratch;
    if (!t.check(scratch.ready(), "scratch file and directory created"))
        return;
    const std::wstring file = scratch.filePath();
    const std::wstring directory = scratch.directoryPath();
    // Read-only and archive stand for bits the call must leave alone.
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
    t.check(!has(attributesOf(file), FILE_ATTRIBUTE_HIDDEN), "the new file is not hidden");

    HiddenAttribute::set(file.c_str());
    HiddenAttribute::set(directory.c_str());
    const DWORD fileAttributes = attributesOf(file);
    const DWORD directoryAttributes = attributesOf(directory);
    t.check(has(fileAttributes, FILE_ATTRIBUTE_HIDDEN), "file hidden");
    t.check(has(fileAttributes, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE),
            "file keeps read-only and archive");
    t.check(has(directoryAttributes, FILE_ATTRIBUTE_HIDDEN), "directory hidden");
    t.check(has(directoryAttributes, FILE_ATTRIBUTE_DIRECTORY), "directory still a directory");

    // The logger lists its directory to find its own files again.
    t.check(has(listedAttributes(scratch.root(), Scratch::kFileName), FILE_ATTRIBUTE_HIDDEN),
            "listing finds the hidden file");
    t.check(has(listedAttributes(scratch.root(), Scratch::kDirectoryName),
                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY),
            "listing finds the hidden directory");

    HiddenAttribute::set(file.c_str());
    t.equal(attributesOf(file), fileAttributes, "hiding again changes nothing");

    const std::wstring missing = scratch.root() + L"\\missing.log";
    HiddenAttribute::set(missing.c_str());
    t.equal(attributesOf(missing), INVALID_FILE_ATTRIBUTES, "a missing path stays missing");
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
