#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/refcounted.h"

namespace {

// Records its destruction, derived part first, in a shared log.
struct Base : RefObject {
    explicit Base(std::vector<std::string>& log) : log(log) {}
    ~Base() override { log.push_back("base"); }
    void MakeCurrent() override {}
    std::vector<std::string>& log;
};

struct Derived final : Base {
    using Base::Base;
    ~Derived() override { log.push_back("derived"); }
};

TEST(RefCounted, TheLastReleaseDestroysTheWholeObject) {
    std::vector<std::string> log;
    RefCounted* object = new Derived(log);
    EXPECT_EQ(object->RefCount, 1); // the creator's reference
    EXPECT_EQ(object->Release(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"derived", "base"}));
}

TEST(RefCounted, EachOwnerReleasesOnce) {
    std::vector<std::string> log;
    auto* object = new Derived(log);
    object->AddRef();
    ++object->RefCount; // owners may also count directly
    EXPECT_EQ(object->Release(), 2);
    EXPECT_EQ(object->Release(), 1);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(object->Release(), 0);
    EXPECT_EQ(log.size(), 2u);
}

} // namespace
