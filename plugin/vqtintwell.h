// SPDX-License-Identifier: MIT
// VqTintwell host interface.
//
// This is the only header a host needs. It declares the interface the plug-in
// hands out (ITintwell), the callback interface the host implements (IInkHost),
// the records that cross between them, and the two exported functions.
//
// Both interfaces are called by virtual-table slot, so the order of the
// virtual functions below is part of the binary contract and must not change.
// The slot numbers in the comments are those of a compiler that gives a
// virtual destructor one slot (MSVC, clang-cl). GCC, Clang and MinGW give it
// two, so a host and the library must come from compilers of the same family.
#ifndef VQTINTWELL_H
#define VQTINTWELL_H

#include <cstddef>
#include <cstdint>

class QWidget;

// The same declaration as <windows.h> makes under STRICT, so either header may
// come first. Off Windows a native window handle is the window's WId cast to
// a pointer.
struct HWND__;
using HWND = HWND__*;

#if defined(_WIN32)
#  if defined(VQTINTWELL_BUILDING)
#    define VQTINTWELL_API __declspec(dllexport)
#  else
#    define VQTINTWELL_API __declspec(dllimport)
#  endif
#else
#  define VQTINTWELL_API __attribute__((visibility("default")))
#endif

// One ink of the device, or one refill of its history. Records are stored back
// to back in arrays that the host allocates and the plug-in hands back through
// IInkHost::FreeRecords.
struct InkRecord
{
    unsigned char reserved[8]; // host's own; the plug-in never reads it
    double amount;             // millilitres: remaining (ink list) or added (refill log)
    char name[128];            // local 8-bit code page, NUL-terminated within the field
    std::int32_t year;         // refill time; read for the refill log only
    std::int32_t month;
    std::int32_t day;
    std::int32_t hour;
    std::int32_t minute;
    std::int32_t second;
};

static_assert(sizeof(InkRecord) == 168, "InkRecord must be 168 bytes");
static_assert(offsetof(InkRecord, amount) == 8, "InkRecord::amount at offset 8");
static_assert(offsetof(InkRecord, name) == 16, "InkRecord::name at offset 16");
static_assert(offsetof(InkRecord, year) == 144, "InkRecord::year at offset 144");
static_assert(offsetof(InkRecord, month) == 148, "InkRecord::month at offset 148");
static_assert(offsetof(InkRecord, day) == 152, "InkRecord::day at offset 152");
static_assert(offsetof(InkRecord, hour) == 156, "InkRecord::hour at offset 156");
static_assert(offsetof(InkRecord, minute) == 160, "InkRecord::minute at offset 160");
static_assert(offsetof(InkRecord, second) == 164, "InkRecord::second at offset 164");

// A fill call's result: the plug-in passes count 0 and null records, the host
// fills both in.
struct InkRecordList
{
    std::int32_t count;
    InkRecord* records;
};

static_assert(offsetof(InkRecordList, count) == 0, "InkRecordList::count at offset 0");
static_assert(sizeof(void*) != 8 || offsetof(InkRecordList, records) == 8, "InkRecordList::records at offset 8");
static_assert(sizeof(void*) != 8 || sizeof(InkRecordList) == 16, "InkRecordList must be 16 bytes");

// Implemented by the host. The library calls it synchronously and only on
// the GUI thread, the QApplication's: a line about a call of the host's from
// another thread arrives there once that thread's event loop runs.
class IInkHost
{
public:
    // slot 0
    virtual ~IInkHost() = default;
    // slot 1: one UTF-8 line without line break, valid during the call.
    virtual void WriteLog(const char* line) = 0;
    // slot 2: receives the records pointer of every list after each fill call,
    // exactly once, possibly null.
    virtual void FreeRecords(InkRecord* records) = 0;
    // slot 3: true when the device's amounts are finite (shown in ml).
    virtual bool IsInkLimited() = 0;
    // slots 4 and 5: the host's own; the plug-in never calls them.
    virtual bool HostSlot4() { return false; }
    virtual bool HostSlot5() { return false; }
    // slot 6: the device's inks.
    virtual bool GetInkList(InkRecordList* list) = 0;
    // slot 7: the device's refill history, in any order.
    virtual bool GetRefillLog(InkRecordList* list) = 0;
    // slots 8 to 10: the host's own; the plug-in never calls them.
    virtual bool HostSlot8() { return false; }
    virtual bool HostSlot9() { return false; }
    virtual bool HostSlot10() { return false; }
};

// Handed out by NewInterface. Its operations need the host's QApplication and
// its thread: before the QApplication exists, under a QCoreApplication or from
// another thread they return false and tell the host's WriteLog why.
// The host may unload the library also while SetHost or a show runs (from a
// timer, a signal, a callback): the library keeps itself loaded until that
// call has returned and the host next calls ReleaseInterface.
class ITintwell
{
public:
    // slot 0
    virtual ~ITintwell() = default;
    // slot 1: stores the host's callback interface and loads the translation.
    // False for a null host, which leaves the previous host in use.
    virtual bool SetHost(IInkHost* host) = 0;
    // slot 2: runs the ink management window modally, centred over the native
    // window 'parent' (which is disabled meanwhile), or unplaced when it is null.
    // True when the user closed it with one of its close buttons.
    virtual bool ShowForWindow(HWND parent, int reserved) = 0;
    // slot 3: runs the ink management window modally with 'parent' as parent
    // widget. False for a null parent.
    virtual bool ShowForWidget(QWidget* parent, int reserved) = 0;
};

extern "C" {
// Creates a new interface object; release it with ReleaseInterface.
VQTINTWELL_API ITintwell* NewInterface();
// Destroys an object from NewInterface; null is ignored. Called while a show
// operation of that object runs, it destroys the object once that returns.
VQTINTWELL_API void ReleaseInterface(ITintwell* object);
}

// Types of the exports, for hosts that resolve them at run time.
using VqNewInterfaceFn = ITintwell* (*)();
using VqReleaseInterfaceFn = void (*)(ITintwell*);

#endif // VQTINTWELL_H
