// Preloaded into a benchmarked program (LD_PRELOAD): counts its glXSwapBuffers calls and notes
// when the first one returned, in the file that SWAPCOUNT_FILE names, mapped shared so that the
// benchmark reads the figures while the program runs. The cost per frame is one atomic increment.
// GLFW and SDL load libGL themselves and look glXSwapBuffers up in it with dlsym, past any
// preloaded definition; so dlsym and glXGetProcAddress are wrapped too, and hand out the counter.
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

namespace {

// The file's layout, read by bench/run.py: swaps so far, then the CLOCK_MONOTONIC time in
// nanoseconds at which the first swap returned (0 until then).
struct Counters {
    std::atomic<std::uint64_t> swaps;
    std::atomic<std::int64_t> firstSwapNs;
};
static_assert(sizeof(Counters) == 16 && std::atomic<std::uint64_t>::is_always_lock_free);

Counters* counters()
{
    static Counters* mapped = [] () -> Counters* {
        const char* path = std::getenv("SWAPCOUNT_FILE");
        int file = path ? open(path, O_RDWR) : -1;
        if (file < 0)
            return nullptr;
        void* memory = mmap(nullptr, sizeof(Counters), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
        close(file);
        return memory == MAP_FAILED ? nullptr : static_cast<Counters*>(memory);
    }();
    return mapped;
}

using Swap = void (*)(Display*, GLXDrawable);
using Proc = void (*)();
using GetProcAddress = Proc (*)(const GLubyte*);
using Dlsym = void* (*)(void*, const char*);

// glibc's own dlsym; ours below stands in front of it.
Dlsym realDlsym()
{
    static const auto real = [] {
        void* found = dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.34");
        return reinterpret_cast<Dlsym>(found ? found : dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.2.5"));
    }();
    return real;
}

// A libGL function wrapped here, and the real one its wrapper passes on to: the one the program
// looked up itself (in a libGL it may have loaded privately, out of reach of RTLD_NEXT), or else
// the next after this library.
struct Wrapped {
    const char* name;
    std::atomic<void*> real;
};
Wrapped swap{"glXSwapBuffers", {nullptr}};
Wrapped getProc{"glXGetProcAddress", {nullptr}};
Wrapped getProcArb{"glXGetProcAddressARB", {nullptr}};

template <typename Function>
Function realOf(Wrapped& wrapped)
{
    void* found = wrapped.real.load();
    if (!found) {
        found = realDlsym()(RTLD_NEXT, wrapped.name);
        wrapped.real.store(found);
    }
    return reinterpret_cast<Function>(found);
}

}  // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable);
extern "C" Proc glXGetProcAddress(const GLubyte* name);
extern "C" Proc glXGetProcAddressARB(const GLubyte* name);

namespace {

// The wrapper that stands for a wrapped function, with its record; none for any other name.
std::pair<Wrapped*, void*> wrapperOf(const char* name)
{
    const std::pair<Wrapped*, void*> wrappers[] = {{&swap, reinterpret_cast<void*>(&glXSwapBuffers)},
                                                   {&getProc, reinterpret_cast<void*>(&glXGetProcAddress)},
                                                   {&getProcArb, reinterpret_cast<void*>(&glXGetProcAddressARB)}};
    for (const auto& wrapper : wrappers) {
        if (std::strcmp(name, wrapper.first->name) == 0)
            return wrapper;
    }
    return {nullptr, nullptr};
}

Proc procAddress(Wrapped& wrapped, const GLubyte* name)
{
    if (std::strcmp(reinterpret_cast<const char*>(name), swap.name) == 0)
        return reinterpret_cast<Proc>(&glXSwapBuffers);
    const auto real = realOf<GetProcAddress>(wrapped);
    return real ? real(name) : nullptr;
}

}  // namespace

// A dlsym(RTLD_NEXT, ...) that reaches this wrapper now searches after this library rather than
// after its caller; nothing in the benchmarked programs relies on the difference.
extern "C" void* dlsym(void* handle, const char* name)
{
    void* found = realDlsym()(handle, name);
    if (!found)
        return found;
    const auto [wrapped, wrapper] = wrapperOf(name);
    if (!wrapped || found == wrapper)
        return found;
    void* unset = nullptr;
    wrapped->real.compare_exchange_strong(unset, found);
    return wrapper;
}

extern "C" Proc glXGetProcAddress(const GLubyte* name) { return procAddress(getProc, name); }
extern "C" Proc glXGetProcAddressARB(const GLubyte* name) { return procAddress(getProcArb, name); }

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable)
{
    realOf<Swap>(swap)(display, drawable);
    if (Counters* c = counters(); c && c->swaps.fetch_add(1, std::memory_order_relaxed) == 0) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        c->firstSwapNs.store(std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec);
    }
}
