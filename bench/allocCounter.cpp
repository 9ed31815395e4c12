#include "bench/allocCounter.h"

#include <atomic>
#include <cerrno>
#include <cstddef>

namespace {
std::atomic<uint64_t> g_allocations{0};

inline void countOne() {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

namespace alloccount {
uint64_t allocations() {
  return g_allocations.load(std::memory_order_relaxed);
}
}  // namespace alloccount

#if defined(__SANITIZE_ADDRESS__)

// The sanitizer owns malloc; it calls this hook on every allocation.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            size_t),
                                                         void (*freeHook)(const volatile void*));

namespace {
void onMalloc(const volatile void*, size_t) {
  countOne();
}
void onFree(const volatile void*) {}
// The sanitizer installs both hooks or neither.
[[maybe_unused]] const int g_installed =
    __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
}  // namespace

#else

// The C library's own entry points, which the replacements forward to.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

void* malloc(size_t size) {
  countOne();
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  countOne();
  return __libc_calloc(count, size);
}
void* realloc(void* p, size_t size) {
  countOne();
  return __libc_realloc(p, size);
}
void free(void* p) {
  __libc_free(p);
}
void* memalign(size_t alignment, size_t size) {
  countOne();
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
  countOne();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
  if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
  countOne();
  void* p = __libc_memalign(alignment, size);
  if (!p) return ENOMEM;
  *out = p;
  return 0;
}
}  // extern "C"

#endif
