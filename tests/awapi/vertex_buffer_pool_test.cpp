#include <gtest/gtest.h>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/camera.h"
#include "platform/d3d/device3d.h"
#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "Awapi/vertex_buffer_pool.h"
#include "platform/d3d/vertex_buffer.h"
#include "tests/awapi/scene_fixture.h"

namespace {

class VertexBufferPoolTest : public SceneTest {
protected:
    // A part of the shape with the texture and format, given a shared buffer.
    AwMeshPart* AddPart(uint32_t vertices, AwTexture* texture, uint32_t format = 0x112) {
        shape->AddMeshPart(vertices, 3, format, false);
        AwMeshPart* part = shape->Parts.Back();
        part->Texture = texture;
        for (size_t i = 0; i < part->Vertices.size(); ++i) part->Vertices[i] = static_cast<uint8_t>(vertices + i);
        part->AssignVertexBuffer(false);
        return part;
    }
    void TearDown() override {
        shape->ReleaseUse();
        EXPECT_TRUE(AwVertexBufferList.IsEmpty());
        SceneTest::TearDown();
    }

    AwShape* shape = new AwShape;
    AwTexture texture;
};

TEST_F(VertexBufferPoolTest, PartsShareABufferWhileTheTotalStaysBelowThirtyThousand) {
    struct Case {
        uint32_t first, second, secondFormat;
        int buffers;
    };
    const Case cases[] = {{20000, 10000, 0x112, 2}, {20000, 9999, 0x112, 1}, {10, 10, 0x152, 2}};
    for (const Case& c : cases) {
        AwMeshPart* a = AddPart(c.first, &texture);
        AwMeshPart* b = AddPart(c.second, &texture, c.secondFormat);
        EXPECT_EQ(AwVertexBufferList.Count(), c.buffers) << c.first << " + " << c.second;
        EXPECT_EQ(a->SharedBuffer == b->SharedBuffer, c.buffers == 1);
        ASSERT_NE(b->SharedBuffer->Buffer, nullptr);
        EXPECT_EQ(b->SharedBuffer->Buffer->VertexCount(), b->SharedBuffer->VertexTotal);
        shape->ReleaseUse();
        EXPECT_TRUE(AwVertexBufferList.IsEmpty());
        shape = new AwShape;
    }
}

TEST_F(VertexBufferPoolTest, RemovingAPartRepacksTheOthersAndTheLastDeletesTheBuffer) {
    AwMeshPart* first = AddPart(5, &texture);
    AwMeshPart* second = AddPart(7, &texture);
    AwMeshPart* third = AddPart(9, &texture);
    AwVertexBuffer* buffer = first->SharedBuffer;
    EXPECT_EQ(buffer->RefCount, 3);
    EXPECT_EQ(third->StartVertex, 12u);
    shape->Parts.RemoveValue(first);
    delete first;
    EXPECT_EQ(second->StartVertex, 0u);
    EXPECT_EQ(third->StartVertex, 7u);
    EXPECT_EQ(buffer->VertexTotal, 16u);
    // The device buffer holds the remaining parts' vertices back to back.
    ASSERT_NE(buffer->Buffer, nullptr);
    buffer->Buffer->UseVertices(0, 16, [&](const uint8_t* data) {
        EXPECT_EQ(std::vector<uint8_t>(data, data + second->Vertices.size()), second->Vertices);
        EXPECT_EQ(std::vector<uint8_t>(data + second->Vertices.size(), data + 16 * 32), third->Vertices);
    });
    shape->Parts.RemoveValue(second);
    shape->Parts.RemoveValue(third);
    delete second;
    EXPECT_EQ(AwVertexBufferList.Count(), 1);
    delete third;
    EXPECT_TRUE(AwVertexBufferList.IsEmpty());
}

TEST_F(VertexBufferPoolTest, APartWhoseBufferIsLostDrawsNothingUntilRestored) {
    AwMeshPart* part = AddPart(3, &texture);
    part->Indices = {0, 1, 2};
    part->SharedBuffer->ReleaseBuffer();
    backend->ResetRecords();
    ASSERT_TRUE(plat::Succeeded(AwDevice.Direct3DDevice->BeginScene()));
    shape->Draw(camera->world, nullptr, 0);
    EXPECT_TRUE(backend->Draws().empty());
    part->SharedBuffer->Restore();
    shape->Draw(camera->world, nullptr, 0);
    ASSERT_EQ(backend->Draws().size(), 1u);
    EXPECT_TRUE(backend->Draws()[0].fromVertexBuffer);
    AwDevice.Direct3DDevice->EndScene();
}

} // namespace
