#include "platform/com/module_lock.h"

#include <atomic>

namespace tarvik::platform::com {
namespace {
std::atomic<std::int64_t> g_module_locks{0};
}  // namespace

void LockModule() {
  g_module_locks.fetch_add(1, std::memory_order_relaxed);
}

void UnlockModule() {
  g_module_locks.fetch_sub(1, std::memory_order_acq_rel);
}

std::int64_t ModuleLockCount() {
  return g_module_locks.load(std::memory_order_acquire);
}

HRESULT CanUnloadModule() {
  return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

}  // namespace tarvik::platform::com
