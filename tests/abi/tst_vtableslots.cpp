// The host calls ITintwell, and the plug-in calls IInkHost, by virtual-table
// slot. This program finds out where the compiler that builds it puts every
// operation of both interfaces and checks that against the slots a host built
// with a compiler of the same family will call:
//
//  - MSVC and clang-cl give a virtual destructor one slot, so the slots are
//    the numbers written beside the declarations in vqtintwell.h.
//  - GCC, Clang and MinGW (the Itanium C++ ABI) give it two, a complete-object
//    and a deleting destructor, so every operation sits one slot further on.
//
// Two independent readings: the slot index decoded from pointer-to-member
// values (Itanium only; MSVC's are thunk addresses), and a call through the
// raw table at the expected index, the way a host makes it, which must land
// in the right operation. Written for x86-64, where a member function takes
// 'this' exactly as a free function takes its first argument.
#include "plugin/vqtintwell.h"

#include "common/plaincheck.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>

#if !defined(__x86_64__) && !defined(_M_X64)
#error "slot checks are written for x86-64"
#endif

#if defined(_MSC_VER)
#define VQ_ITANIUM_ABI 0
#else
#define VQ_ITANIUM_ABI 1
#endif

namespace {

using RawSlot = void (*)();

// The virtual-table pointer is the first word of an object of either
// interface; neither has data members.
template <typename Object>
RawSlot slotAt(const Object* object, std::size_t slot)
{
    const RawSlot* table = nullptr;
    std::memcpy(&table, static_cast<const void*>(object), sizeof table);
    return table[slot];
}

// Calls the entry at 'slot' as a host would: 'this' first, then the arguments.
template <typename Result, typename Object, typename... Args>
Result callSlot(Object* object, std::size_t slot, Args... args)
{
    using Entry = Result (*)(Object*, Args...);
    return reinterpret_cast<Entry>(slotAt(object, slot))(object, args...);
}

#if VQ_ITANIUM_ABI
// An Itanium pointer to a virtual member holds 1 + the byte offset of its
// slot in the first word; a non-virtual one holds the (even) function address.
template <typename Pmf>
std::ptrdiff_t decodedSlot(Pmf member)
{
    static_assert(sizeof(Pmf) == 2 * sizeof(std::ptrdiff_t), "Itanium member pointer");
    std::ptrdiff_t words[2];
    std::memcpy(words, &member, sizeof words);
    if ((words[0] & 1) == 0)
        return -1;
    return (words[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}
#endif

// Every operation records its name here, so a call through a slot can be
// traced to the operation it reached.
const char* g_reached = nullptr;
bool g_destroyed = false;
bool g_freed = false;

void resetTrace()
{
    g_reached = nullptr;
    g_destroyed = false;
    g_freed = false;
}

class ProbeHost final : public IInkHost
{
public:
    ~ProbeHost() override { g_destroyed = true; }
    static void operator delete(void* memory)
    {
        g_freed = true;
        ::operator delete(memory);
    }

    void WriteLog(const char*) override { g_reached = "WriteLog"; }
    void FreeRecords(InkRecord*) override { g_reached = "FreeRecords"; }
    bool IsInkLimited() override { return reached("IsInkLimited"); }
    bool HostSlot4() override { return reached("HostSlot4"); }
    bool HostSlot5() override { return reached("HostSlot5"); }
    bool GetInkList(InkRecordList*) override { return reached("GetInkList"); }
    bool GetRefillLog(InkRecordList*) override { return reached("GetRefillLog"); }
    bool HostSlot8() override { return reached("HostSlot8"); }
    bool HostSlot9() override { return reached("HostSlot9"); }
    bool HostSlot10() override { return reached("HostSlot10"); }

private:
    static bool reached(const char* name)
    {
        g_reached = name;
        return true;
    }
};

class ProbeTintwell final : public ITintwell
{
public:
    ~ProbeTintwell() override { g_destroyed = true; }
    static void operator delete(void* memory)
    {
        g_freed = true;
        ::operator delete(memory);
    }

    bool SetHost(IInkHost*) override { return reached("SetHost"); }
    bool ShowForWindow(HWND, int) override { return reached("ShowForWindow"); }
    bool ShowForWidget(QWidget*, int) override { return reached("ShowForWidget"); }

private:
    static bool reached(const char* name)
    {
        g_reached = name;
        return true;
    }
};

// One operation: its slot under each compiler family, its member pointer
// (decoded under Itanium) and a call through a given slot with its own
// signature.
template <typename Interface>
struct Operation
{
    const char* name;
    int oneSlotDestructor; // MSVC, clang-cl
    int twoSlotDestructor; // GCC, Clang, MinGW
    std::ptrdiff_t decoded;
    void (*callThrough)(Interface*, std::size_t slot);
};

template <typename Pmf>
std::ptrdiff_t decode(Pmf member)
{
#if VQ_ITANIUM_ABI
    return decodedSlot(member);
#else
    (void)member;
    return -1;
#endif
}

constexpr int expectedSlot(int oneSlot, int twoSlot)
{
    return VQ_ITANIUM_ABI ? twoSlot : oneSlot;
}

template <typename Interface, typename Probe, std::size_t N>
void checkOperations(PlainCheck& t, const char* interfaceName, const Operation<Interface> (&operations)[N])
{
    std::printf("%-28s %9s %9s %9s\n", interfaceName, "1-slot", "2-slot", "decoded");
    for (const Operation<Interface>& op : operations) {
        std::printf("  %-26s %9d %9d %9d\n", op.name, op.oneSlotDestructor, op.twoSlotDestructor,
                    static_cast<int>(op.decoded));
        char what[96];
#if VQ_ITANIUM_ABI
        std::snprintf(what, sizeof what, "%s::%s decoded slot", interfaceName, op.name);
        t.equal(op.decoded, op.twoSlotDestructor, what);
#endif
        Probe probe;
        Interface* object = &probe;
        resetTrace();
        op.callThrough(object, static_cast<std::size_t>(expectedSlot(op.oneSlotDestructor, op.twoSlotDestructor)));
        std::snprintf(what, sizeof what, "%s::%s reached through its slot", interfaceName, op.name);
        t.check(g_reached != nullptr && std::strcmp(g_reached, op.name) == 0, what);
    }
}

// Guards the decoder itself with a class whose layout leaves no doubt.
void checkDecoder(PlainCheck& t)
{
#if VQ_ITANIUM_ABI
    struct Known
    {
        virtual ~Known() = default;
        virtual void first() {}
        virtual void second() {}
        void plain() {}
    };
    struct NoDestructor
    {
        virtual void first() {}
        virtual void second() {}
    };
    t.group("decoder");
    t.equal(decodedSlot(&NoDestructor::first), 0, "first virtual of a class without destructor is slot 0");
    t.equal(decodedSlot(&NoDestructor::second), 1, "second virtual is slot 1");
    t.equal(decodedSlot(&Known::first), 2, "a virtual destructor in front takes two slots");
    t.equal(decodedSlot(&Known::second), 3, "the next one follows");
    t.equal(decodedSlot(&Known::plain), -1, "a non-virtual member has no slot");
#else
    (void)t;
#endif
}

// The destructor slot(s) destroy the object; the deleting entry also frees it
// through the class's own operator delete.
template <typename Interface, typename Probe>
void checkDestructor(PlainCheck& t, const char* interfaceName)
{
    char what[96];
#if VQ_ITANIUM_ABI
    // Slot 0, complete-object destructor: destroys but does not free, so the
    // object lives in storage of our own.
    alignas(Probe) unsigned char storage[sizeof(Probe)];
    Interface* placed = new (storage) Probe;
    resetTrace();
    callSlot<void>(placed, 0);
    std::snprintf(what, sizeof what, "%s slot 0 destroys without freeing", interfaceName);
    t.check(g_destroyed && !g_freed, what);

    // Slot 1, deleting destructor.
    Interface* allocated = new Probe;
    resetTrace();
    callSlot<void>(allocated, 1);
    std::snprintf(what, sizeof what, "%s slot 1 destroys and frees", interfaceName);
    t.check(g_destroyed && g_freed, what);
#else
    // Slot 0, scalar deleting destructor; bit 0 of its flag asks for freeing.
    alignas(Probe) unsigned char storage[sizeof(Probe)];
    Interface* placed = new (storage) Probe;
    resetTrace();
    callSlot<void*>(placed, 0, 0u);
    std::snprintf(what, sizeof what, "%s slot 0 with flag 0 destroys without freeing", interfaceName);
    t.check(g_destroyed && !g_freed, what);

    Interface* allocated = new Probe;
    resetTrace();
    callSlot<void*>(allocated, 0, 1u);
    std::snprintf(what, sizeof what, "%s slot 0 with flag 1 destroys and frees", interfaceName);
    t.check(g_destroyed && g_freed, what);
#endif
}

const Operation<ITintwell> kTintwellOperations[] = {
    {"SetHost", 1, 2, decode(&ITintwell::SetHost),
     [](ITintwell* o, std::size_t s) { callSlot<bool>(o, s, static_cast<IInkHost*>(nullptr)); }},
    {"ShowForWindow", 2, 3, decode(&ITintwell::ShowForWindow),
     [](ITintwell* o, std::size_t s) { callSlot<bool>(o, s, static_cast<HWND>(nullptr), 0); }},
    {"ShowForWidget", 3, 4, decode(&ITintwell::ShowForWidget),
     [](ITintwell* o, std::size_t s) { callSlot<bool>(o, s, static_cast<QWidget*>(nullptr), 0); }},
};

const Operation<IInkHost> kHostOperations[] = {
    {"WriteLog", 1, 2, decode(&IInkHost::WriteLog),
     [](IInkHost* o, std::size_t s) { callSlot<void>(o, s, "line"); }},
    {"FreeRecords", 2, 3, decode(&IInkHost::FreeRecords),
     [](IInkHost* o, std::size_t s) { callSlot<void>(o, s, static_cast<InkRecord*>(nullptr)); }},
    {"IsInkLimited", 3, 4, decode(&IInkHost::IsInkLimited),
     [](IInkHost* o, std::size_t s) { callSlot<bool>(o, s); }},
    {"HostSlot4", 4, 5, decode(&IInkHost::HostSlot4),
     [](IInkHost* o, std::size_t s) { callSlot<bool>(o, s); }},
    {"HostSlot5", 5, 6, decode(&IInkHost::HostSlot5),
     [](IInkHost* o, std::size_t s) { callSlot<bool>(o, s); }},
    {"GetInkList", 6, 7, decode(&IInkHost::GetInkList),
     [](IInkHost* o, std::size_t s) {
         InkRecordList list{};
         callSlot<bool>(o, s, &list);
     }},
    {"GetRefillLog", 7, 8, decode(&IInkHost::GetRefillLog),
     [](IInkHost* o, std::size_t s) {
         InkRecordList list{};
         callSlot<bool>(o, s, &list);
     }},
    {"HostSlot8", 8, 9, decode(&IInkHost::HostSlot8),
     [](IInkHost* o, std::size_t s) { callSlot<bool>(o, s); }},
    {"HostSlot9", 9, 10, decode(&IInkHost::HostSlot9),
     [](IInkHost* o, std::size_t s) { callSlot<bool>(o, s); }},
    {"HostSlot10", 10, 11, decode(&IInkHost::HostSlot10),
     [](IInkHost* o, std::size_t s) { callSlot<bool>(o, s); }},
};

} // namespace

int main()
{
    std::printf("virtual-table layout: %s\n",
                VQ_ITANIUM_ABI ? "Itanium (two-slot destructor)" : "MSVC (one-slot destructor)");
    PlainCheck t;
    checkDecoder(t);

    t.group("ITintwell");
    checkDestructor<ITintwell, ProbeTintwell>(t, "ITintwell");
    checkOperations<ITintwell, ProbeTintwell>(t, "ITintwell", kTintwellOperations);

    t.group("IInkHost");
    checkDestructor<IInkHost, ProbeHost>(t, "IInkHost");
    checkOperations<IInkHost, ProbeHost>(t, "IInkHost", kHostOperations);
    return t.finish();
}
