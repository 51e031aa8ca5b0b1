// Preloaded into a benchmarked program (LD_PRELOAD): counts its glXSwapBuffers calls and notes
// when the first one returned, in the file that SWAPCOUNT_FILE names, mapped shared so that the
// benchmark reads the figures while the program runs. The cost per frame is one atomic increment.
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <ctime>

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

}  // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable)
{
    using Swap = void (*)(Display*, GLXDrawable);
    static const auto real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    real(display, drawable);
    if (Counters* c = counters(); c && c->swaps.fetch_add(1, std::memory_order_relaxed) == 0) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        c->firstSwapNs.store(std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec);
    }
}
