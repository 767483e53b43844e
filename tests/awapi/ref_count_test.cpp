#include <gtest/gtest.h>

#include "Awapi/ref_count.h"
#include "platform/d3d/com_object.h"

namespace {

struct Counted : plat::ComObject {
    explicit Counted(bool& deleted) : deleted(deleted) {}
    ~Counted() override { deleted = true; }
    bool& deleted;
};

TEST(RefCount, IsReadAndForcedWithoutLosingTheObject) {
    bool deleted = false;
    auto* object = new Counted(deleted);
    EXPECT_EQ(AwGetRefCount(object), 1u);
    EXPECT_EQ(AwSetRefCount(object, 4), 4u);
    EXPECT_EQ(AwGetRefCount(object), 4u);
    EXPECT_EQ(AwSetRefCount(object, 2), 2u);
    EXPECT_EQ(AwSetRefCount(object, 0), 1u) << "never down to nothing";
    EXPECT_FALSE(deleted);
    object->Release();
    EXPECT_TRUE(deleted);
}

} // namespace
