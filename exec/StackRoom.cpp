#include "exec/StackRoom.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <pthread.h>

namespace vemlor {

namespace {

constexpr size_t kMinimumReserve = 512 * 1024;
// Assumed when the thread cannot say where its stack ends.
constexpr size_t kFallbackStack = 4 * 1024 * 1024;

uintptr_t currentFrame() {
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
}

// The lowest address a frame may reach before the reserve begins. The stack
// grows downwards on every platform this runs on.
uintptr_t reserveStart() {
    uintptr_t low = 0;
    size_t size = 0;
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
        void* base = nullptr;
        if (pthread_attr_getstack(&attributes, &base, &size) == 0)
            low = reinterpret_cast<uintptr_t>(base);
        pthread_attr_destroy(&attributes);
    }
    uintptr_t here = currentFrame();
    if (low == 0 || low >= here) {
        size = kFallbackStack;
        low = here > size ? here - size : 0;
    }
    return low + std::max(size / 8, kMinimumReserve);
}

} // namespace

bool stackRoomLeft() {
    // Where a thread's stack ends never changes, so it is looked up once;
    // a constant-initialised thread_local costs no guard on every call.
    thread_local uintptr_t limit = 0;
    if (limit == 0) [[unlikely]]
        limit = reserveStart();
    return currentFrame() > limit;
}

} // namespace vemlor
