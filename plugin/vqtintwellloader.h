// VqTintwell loader: a header-only helper for hosts.
//
// The library is a plug-in: a host does not link it but loads it at run time
// and reaches it through its two exports. VqTintwellLoader does that and owns
// the one interface object it creates:
//
//     VqTintwellLoader tintwell;
//     if (!tintwell.load(path)) {
//         report(tintwell.errorString());   // names the file, and the symbol if one is missing
//         return;
//     }
//     tintwell->SetHost(&myHost);
//     tintwell->ShowForWidget(mainWindow, 0);
//     // the destructor hands the object back through ReleaseInterface, then unloads
//
// It needs neither Qt nor anything beyond the C++11 standard library and the
// platform's loader (dlopen on POSIX systems, LoadLibraryExW on Windows).
#ifndef VQTINTWELLLOADER_H
#define VQTINTWELLLOADER_H

#include "vqtintwell.h"

#include <string>
#include <utility>

#if defined(_WIN32)
#  if !defined(WIN32_LEAN_AND_MEAN)
#    define WIN32_LEAN_AND_MEAN
#    define VQTINTWELLLOADER_UNDEF_LEAN_AND_MEAN
#  endif
#  if !defined(NOMINMAX)
#    define NOMINMAX
#    define VQTINTWELLLOADER_UNDEF_NOMINMAX
#  endif
#  include <windows.h>
#  if defined(VQTINTWELLLOADER_UNDEF_LEAN_AND_MEAN)
#    undef WIN32_LEAN_AND_MEAN
#    undef VQTINTWELLLOADER_UNDEF_LEAN_AND_MEAN
#  endif
#  if defined(VQTINTWELLLOADER_UNDEF_NOMINMAX)
#    undef NOMINMAX
#    undef VQTINTWELLLOADER_UNDEF_NOMINMAX
#  endif
#else
#  include <dlfcn.h>
#endif

class VqTintwellLoader
{
public:
    // The library's file name as the build makes it on this platform; a host
    // ships it beside its executable.
    static const char* defaultFileName()
    {
#if defined(_WIN32)
        return "VqTintwell.dll";
#elif defined(__APPLE__)
        return "libVqTintwell.dylib";
#else
        return "libVqTintwell.so";
#endif
    }

    VqTintwellLoader() = default;

    // Loads at once; check isLoaded() or errorString().
    explicit VqTintwellLoader(const std::string& path) { load(path); }

    ~VqTintwellLoader() { reset(); }

    VqTintwellLoader(const VqTintwellLoader&) = delete;
    VqTintwellLoader& operator=(const VqTintwellLoader&) = delete;

    VqTintwellLoader(VqTintwellLoader&& other) noexcept { takeFrom(other); }

    VqTintwellLoader& operator=(VqTintwellLoader&& other) noexcept
    {
        if (this != &other) {
            reset();
            takeFrom(other);
        }
        return *this;
    }

    // Loads the library at 'path' (UTF-8), resolves NewInterface and
    // ReleaseInterface and creates the interface object. Whatever this loader
    // held before is released first. On failure nothing stays loaded, and
    // errorString() names the file, what failed and the platform's reason.
    //
    // A path without a directory part is taken as relative to the current
    // directory, not searched for along the library path, so that no other
    // copy of the library is loaded than the one asked for.
    bool load(const std::string& path)
    {
        reset();
        m_path = path;
        if (path.empty())
            return fail(": no library file given");

        Handle handle = openLibrary(path);
        if (!handle)
            return fail(": cannot load the library: " + lastSystemError());

        const VqNewInterfaceFn newInterface =
            reinterpret_cast<VqNewInterfaceFn>(resolve(handle, "NewInterface"));
        if (!newInterface)
            return failAndClose(handle, ": the library has no export \"NewInterface\"");
        const VqReleaseInterfaceFn release =
            reinterpret_cast<VqReleaseInterfaceFn>(resolve(handle, "ReleaseInterface"));
        if (!release)
            return failAndClose(handle, ": the library has no export \"ReleaseInterface\"");

        ITintwell* object = newInterface();
        if (!object) {
            closeLibrary(handle);
            return fail(": NewInterface returned no object");
        }
        m_handle = handle;
        m_release = release;
        m_object = object;
        return true;
    }

    // Hands the object back through ReleaseInterface, then unloads the
    // library. Must not run while one of the object's show calls is running,
    // and the host's QApplication must still exist.
    void reset() noexcept
    {
        if (m_object)
            m_release(m_object);
        if (m_handle)
            closeLibrary(m_handle);
        m_handle = nullptr;
        m_release = nullptr;
        m_object = nullptr;
        m_error.clear();
    }

    bool isLoaded() const noexcept { return m_object != nullptr; }
    explicit operator bool() const noexcept { return isLoaded(); }

    ITintwell* get() const noexcept { return m_object; }
    ITintwell* operator->() const noexcept { return m_object; }

    // The path of the last load, as given.
    const std::string& path() const noexcept { return m_path; }

    // Empty unless the last load failed.
    const std::string& errorString() const noexcept { return m_error; }

private:
#if defined(_WIN32)
    typedef HMODULE Handle;

    static std::wstring widen(const std::string& text)
    {
        const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
        if (size > 0)
            MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
        return wide;
    }

    // An absolute path, so that no search takes place; the library's own
    // dependencies are then looked for in its folder first.
    static Handle openLibrary(const std::string& path)
    {
        const std::wstring wide = widen(path);
        const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
        if (size == 0)
            return nullptr;
        std::wstring full(size, L'\0');
        const DWORD length = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
        if (length == 0 || length >= size)
            return nullptr;
        full.resize(length);
        return LoadLibraryExW(full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }

    static void* resolve(Handle handle, const char* symbol)
    {
        return reinterpret_cast<void*>(GetProcAddress(handle, symbol));
    }

    static void closeLibrary(Handle handle) { FreeLibrary(handle); }

    // GetLastError() of the failed call, as the system words it, in UTF-8.
    static std::string lastSystemError()
    {
        const DWORD code = GetLastError();
        wchar_t* buffer = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        std::string text;
        if (length > 0 && buffer) {
            const int size = WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), nullptr, 0,
                                                 nullptr, nullptr);
            if (size > 0) {
                text.resize(static_cast<std::size_t>(size));
                WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), &text[0], size, nullptr,
                                    nullptr);
            }
        }
        if (buffer)
            LocalFree(buffer);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
            text.pop_back();
        return text + " (error " + std::to_string(code) + ")";
    }
#else
    typedef void* Handle;

    static Handle openLibrary(const std::string& path)
    {
        const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
        dlerror();
        return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    }

    static void* resolve(Handle handle, const char* symbol)
    {
        dlerror();
        return dlsym(handle, symbol);
    }

    static void closeLibrary(Handle handle) { dlclose(handle); }

    static std::string lastSystemError()
    {
        const char* text = dlerror();
        return text ? text : "unknown error";
    }
#endif

    bool fail(const std::string& what)
    {
        m_error = m_path + what;
        return false;
    }

    // The reason is read before the library goes, which may overwrite it.
    bool failAndClose(Handle handle, const std::string& what)
    {
        const std::string reason = lastSystemError();
        closeLibrary(handle);
        return fail(what + " (" + reason + ")");
    }

    void takeFrom(VqTintwellLoader& other) noexcept
    {
        m_handle = other.m_handle;
        m_release = other.m_release;
        m_object = other.m_object;
        m_path = std::move(other.m_path);
        m_error = std::move(other.m_error);
        other.m_handle = nullptr;
        other.m_release = nullptr;
        other.m_object = nullptr;
        other.m_path.clear();
        other.m_error.clear();
    }

    Handle m_handle = nullptr;
    VqReleaseInterfaceFn m_release = nullptr;
    ITintwell* m_object = nullptr;
    std::string m_path;
    std::string m_error;
};

#endif // VQTINTWELLLOADER_H
