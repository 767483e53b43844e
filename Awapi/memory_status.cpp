#include "Awapi/memory_status.h"

#include "platform/threads.h"

uint64_t AwGetMemoryStatus(int32_t kind) {
    const plat::MemoryStatus status = plat::QueryMemoryStatus();
    switch (kind) {
    case kMemoryAvailablePhysical: return status.availablePhysical;
    case kMemoryTotalVirtual: return status.totalVirtual;
    case kMemoryAvailableVirtual: return status.availableVirtual;
    default: return status.totalPhysical;
    }
}
