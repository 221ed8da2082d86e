// The host calls ITintwell, and the plug-in calls IInkHost, by virtual-table
// slot. MSVC and clang-cl give a virtual destructor one slot, so the slots are
// the numbers written beside the declarations in vqtintwell.h; GCC, Clang and
// MinGW (the Itanium C++ ABI) give it two, a complete-object and a deleting
// destructor, so every operation sits one slot further on.
//
// Two independent readings per operation: the slot decoded from its
// pointer-to-member value (Itanium only; MSVC's are thunk addresses), and a
// call through the raw table at the expected slot, the way a host makes it,
// which must land in that operation. Written for x86-64, where a member
// function takes 'this' exactly as a free function takes its first argument.
#include "plugin/vqtintwell.h"

#include "common/plaincheck.h"

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <new>

#if defined(_MSC_VER)
#define VQ_DESTRUCTOR_SLOTS 1
#else
#define VQ_DESTRUCTOR_SLOTS 2
#endif

namespace {

// Calls the entry at 'slot' as a host would: 'this' first, then the arguments.
// The table pointer is the first word of an object of either interface.
template <typename Result, typename Object, typename... Args>
Result callSlot(Object* object, std::size_t slot, Args... args)
{
    using Entry = Result (*)(Object*, Args...);
    const Entry* table = nullptr;
    std::memcpy(&table, static_cast<const void*>(object), sizeof table);
    return table[slot](object, args...);
}

// An Itanium pointer to a virtual member is two words, the first holding 1 +
// the byte offset of its slot; -1 where there is no such reading.
template <typename Pmf>
long decodedSlot(Pmf member)
{
    std::ptrdiff_t words[2] = {0, 0};
    if (VQ_DESTRUCTOR_SLOTS == 2 && sizeof member == sizeof words)
        std::memcpy(words, &member, sizeof member);
    return (words[0] & 1) ? long((words[0] - 1) / std::ptrdiff_t(sizeof(void*))) : -1;
}

// What the last call through a slot reached, destroyed and freed.
const char* g_reached = nullptr;
bool g_destroyed = false, g_freed = false;

struct Trace
{
    ~Trace() { g_destroyed = true; }
    static void operator delete(void* memory) { g_freed = true; ::operator delete(memory); }
    static bool reached(const char* name) { return (g_reached = name) != nullptr; }
};

struct ProbeHost final : IInkHost, Trace
{
    void WriteLog(const char*) override { reached("WriteLog"); }
    void FreeRecords(InkRecord*) override { reached("FreeRecords"); }
    bool IsInkLimited() override { return reached("IsInkLimited"); }
    bool HostSlot4() override { return reached("HostSlot4"); }
    bool HostSlot5() override { return reached("HostSlot5"); }
    bool GetInkList(InkRecordList*) override { return reached("GetInkList"); }
    bool GetRefillLog(InkRecordList*) override { return reached("GetRefillLog"); }
    bool HostSlot8() override { return reached("HostSlot8"); }
    bool HostSlot9() override { return reached("HostSlot9"); }
    bool HostSlot10() override { return reached("HostSlot10"); }
};

struct ProbeTintwell final : ITintwell, Trace
{
    bool SetHost(IInkHost*) override { return reached("SetHost"); }
    bool ShowForWindow(HWND, int) override { return reached("ShowForWindow"); }
    bool ShowForWidget(QWidget*, int) override { return reached("ShowForWidget"); }
};

// One operation: its slot with a one-slot destructor (the header's number),
// its decoded slot and a call through a given slot with its own signature and
// null or zero arguments, which the probes ignore.
template <typename Interface>
struct Operation
{
    const char* name;
    int slot;
    long decoded;
    void (*call)(Interface*, std::size_t slot);
};

template <typename Interface, typename Result, typename... Args>
Operation<Interface> operation(const char* name, int slot, Result (Interface::*member)(Args...))
{
    return {name, slot, decodedSlot(member), [](Interface* o, std::size_t s) { callSlot<Result>(o, s, Args{}...); }};
}

template <typename Interface, typename Probe, std::size_t N>
void check(PlainCheck& t, const char* name, const Operation<Interface> (&operations)[N])
{
    t.group(name);
    std::printf("%-26s %7s %7s   (%d destructor slots)\n", name, "slot", "decoded", VQ_DESTRUCTOR_SLOTS);
    for (const Operation<Interface>& op : operations) {
        const int slot = op.slot + VQ_DESTRUCTOR_SLOTS - 1;
        std::printf("  %-24s %7d %7ld\n", op.name, slot, op.decoded);
        if (VQ_DESTRUCTOR_SLOTS == 2)
            t.equal(op.decoded, slot, op.name);
        Probe probe;
        g_reached = nullptr;
        op.call(&probe, std::size_t(slot));
        t.check(g_reached && std::strcmp(g_reached, op.name) == 0, op.name);
    }

    // The destructor entry destroys the object; the deleting one also frees it
    // through the class's own operator delete. MSVC has one entry, whose flag
    // asks for freeing.
    for (const bool free : {false, true}) {
        alignas(Probe) unsigned char storage[sizeof(Probe)];
        Interface* object = free ? new Probe : new (storage) Probe;
        g_destroyed = g_freed = false;
#if VQ_DESTRUCTOR_SLOTS == 2
        callSlot<void>(object, free ? 1 : 0);
#else
        callSlot<void*>(object, 0, free ? 1u : 0u);
#endif
        t.check(g_destroyed && g_freed == free, free ? "deleting destructor entry" : "complete-object destructor entry");
    }
}

const Operation<ITintwell> kTintwellOperations[] = {
    operation("SetHost", 1, &ITintwell::SetHost),
    operation("ShowForWindow", 2, &ITintwell::ShowForWindow),
    operation("ShowForWidget", 3, &ITintwell::ShowForWidget),
};

const Operation<IInkHost> kHostOperations[] = {
    operation("WriteLog", 1, &IInkHost::WriteLog),
    operation("FreeRecords", 2, &IInkHost::FreeRecords),
    operation("IsInkLimited", 3, &IInkHost::IsInkLimited),
    operation("HostSlot4", 4, &IInkHost::HostSlot4),
    operation("HostSlot5", 5, &IInkHost::HostSlot5),
    operation("GetInkList", 6, &IInkHost::GetInkList),
    operation("GetRefillLog", 7, &IInkHost::GetRefillLog),
    operation("HostSlot8", 8, &IInkHost::HostSlot8),
    operation("HostSlot9", 9, &IInkHost::HostSlot9),
    operation("HostSlot10", 10, &IInkHost::HostSlot10),
};

} // namespace

int main()
{
    PlainCheck t;
    check<ITintwell, ProbeTintwell>(t, "ITintwell", kTintwellOperations);
    check<IInkHost, ProbeHost>(t, "IInkHost", kHostOperations);
    return t.finish();
}
