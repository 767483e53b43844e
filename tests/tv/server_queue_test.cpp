// Game message queues and message buffers.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "Tv/server/message_queue.h"

namespace {

std::vector<uint8_t> Payload(uint32_t i) {
    std::vector<uint8_t> bytes(4 + i % 37);
    for (size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<uint8_t>(i + b);
    return bytes;
}

TEST(ServerMessageQueue, KeepsPushOrderAndEachSizeWhileTwoThreadsUseIt) {
    MessageQueue queue;
    constexpr uint32_t kCount = 20000;
    std::thread producer([&] {
        for (uint32_t i = 0; i < kCount; ++i) {
            const std::vector<uint8_t> bytes = Payload(i);
            queue.Push(bytes.data(), static_cast<uint32_t>(bytes.size()));
        }
    });
    uint32_t received = 0;
    while (received < kCount) {
        const MessageBuffer message = queue.Pop();
        if (!message) continue;
        const std::vector<uint8_t> expected = Payload(received);
        ASSERT_EQ(message.Size(), expected.size()) << "message " << received;
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), message.Data())) << "message " << received;
        ++received;
    }
    producer.join();
    EXPECT_FALSE(queue.Pop());
}

TEST(ServerMessageQueue, ClearFreesEverythingAndAnEmptyQueuePopsNone) {
    MessageQueue queue;
    EXPECT_FALSE(queue.Pop());
    const uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
    queue.Push(bytes, 6);
    queue.Push(bytes, 0);
    EXPECT_EQ(queue.Count(), 2);
    queue.Clear();
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_FALSE(queue.Pop());
}

TEST(ServerMessageQueue, BuffersKnowTheirTypeOnlyWhenLongEnough) {
    const uint8_t bytes[5] = {162, 0, 0, 0, 9};
    EXPECT_EQ(MessageBuffer(bytes, 5).Type(), 162);
    EXPECT_EQ(MessageBuffer(bytes, 3).Type(), -1);
    EXPECT_EQ(MessageBuffer(bytes, 0).Size(), 0u);
}

} // namespace
