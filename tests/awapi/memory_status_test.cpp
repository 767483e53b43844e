#include <gtest/gtest.h>

#include "Awapi/memory_status.h"
#include "platform/threads.h"

TEST(MemoryStatus, KindsSelectTheFiguresAndAnyOtherKindIsTotalPhysical) {
    const uint64_t physical = plat::PhysicalMemoryBytes();
    for (int32_t kind : {0, 4, -1, 1000}) EXPECT_EQ(AwGetMemoryStatus(kind), physical) << kind;
    EXPECT_LE(AwGetMemoryStatus(kMemoryAvailablePhysical), physical);
    EXPECT_LT(AwGetMemoryStatus(kMemoryAvailableVirtual), AwGetMemoryStatus(kMemoryTotalVirtual));
}
