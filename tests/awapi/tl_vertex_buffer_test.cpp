#include <gtest/gtest.h>

#include "Awapi/VertBuff/shared_buffers.h"
#include "Awapi/VertBuff/tl_vertex_buffer.h"
#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/global_materials.h"
#include "platform/d3d/device3d.h"
#include "tests/awapi/engine_fixture.h"

using namespace plat;

namespace {

void WriteTriangle(AwTLVertexBuffer& buffer) {
    for (int i = 0; i < 3; ++i) {
        *buffer.Next++ = AwTLVertex{10.0f * i, 10.0f, 0.5f, 1.0f, 0xFFFFFFFFu, 0, 0, 0};
        buffer.Indices[buffer.IndexCount++] = static_cast<uint16_t>(i);
        ++buffer.VertexCount;
    }
}

} // namespace

TEST_F(EngineTest, TLBufferDrawsOnlyWhenFilled) {
    AwTLVertexBuffer* buffer = AwSharedBuffers.SharedTL;
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->State, AwTLVertexBuffer::kIdle);
    buffer->Material = GlobalMaterials[9];
    ASSERT_EQ(AwDevice.Direct3DDevice->BeginScene(), kDdOk);
    backend->ResetRecords();

    // Drawing straight after the lock draws nothing, and the buffer can be locked again.
    ASSERT_TRUE(buffer->Lock());
    EXPECT_FALSE(buffer->Lock());
    WriteTriangle(*buffer);
    EXPECT_FALSE(buffer->Draw(kPtTriangleList, true));
    EXPECT_EQ(buffer->State, AwTLVertexBuffer::kIdle);
    EXPECT_TRUE(backend->Draws().empty());

    ASSERT_TRUE(buffer->Lock());
    ASSERT_TRUE(buffer->Unlock());
    EXPECT_TRUE(buffer->Draw(kPtTriangleList, false)); // nothing written: nothing drawn
    EXPECT_TRUE(backend->Draws().empty());

    ASSERT_TRUE(buffer->Lock());
    WriteTriangle(*buffer);
    ASSERT_TRUE(buffer->Unlock());
    const uint32_t before = RenderTimings.PrimitiveCount;
    EXPECT_TRUE(buffer->Draw(kPtTriangleList, true));
    ASSERT_EQ(backend->Draws().size(), 1u);
    EXPECT_EQ(backend->Draws()[0].indexCount, 3u);
    EXPECT_EQ(backend->Draws()[0].fvf, kTLVertexFvf);
    EXPECT_EQ(RenderTimings.PrimitiveCount, before + 3);
    EXPECT_FALSE(buffer->Draw(kPtTriangleList, true)); // drawn once
    AwDevice.Direct3DDevice->EndScene();
}

TEST_F(EngineTest, TLBuffersComeBackIdleAfterDeviceLoss) {
    AwTLVertexBuffer own;
    ASSERT_TRUE(own.Create(AwDevice.Direct3D));
    ASSERT_TRUE(own.Lock());
    WriteTriangle(own);
    AwReleaseTLBuffers();
    EXPECT_EQ(own.Buffer, nullptr);
    EXPECT_EQ(AwSharedBuffers.SharedTL->Buffer, nullptr);
    AwRecreateTLBuffers(AwDevice.Direct3D);
    for (AwTLVertexBuffer* buffer : TLBufferList) {
        EXPECT_EQ(buffer->State, AwTLVertexBuffer::kIdle);
        EXPECT_EQ(buffer->VertexCount, 0);
        EXPECT_NE(buffer->Buffer, nullptr);
    }
    EXPECT_TRUE(own.Lock());
    EXPECT_TRUE(own.Unlock());
}

TEST_F(EngineTest, SharedBuffersMakeTheSprayBuffer) {
    static int created = 0, released = 0;
    AwSprayBuffer.create = [] { ++created; };
    AwSprayBuffer.release = [] { ++released; };
    Stop();
    released = 0;
    created = 0;
    ASSERT_TRUE(Start(NullBackend::DefaultFacts()));
    // Asked for with the shared buffers and again by the new device's restore;
    // the world effects make a buffer only when they have none.
    EXPECT_GE(created, 1);
    EXPECT_EQ(released, 0);
    EXPECT_NE(AwSharedBuffers.BoxScratch, nullptr);
    EXPECT_NE(AwSharedBuffers.PickScratch, nullptr);
    Stop();
    EXPECT_EQ(released, 1);
    AwSprayBuffer = AwSprayBufferHooks();
}
