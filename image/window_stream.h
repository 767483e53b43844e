#pragma once
// A window over another stream: at most `limit` bytes can be read through it,
// and it measures how far the reader went (the bytes an image used). The inner
// stream is borrowed, not counted; every call copies its status bits here.

#include "image/media_stream.h"

class WindowStream final : public MediaStream {
public:
    WindowStream() = default;
    ~WindowStream() override;

    void Attach(MediaStream* inner, uint32_t limit);
    // Hands back any held buffer and forgets the inner stream; returns the position.
    uint32_t Detach();
    // The furthest position reached, counting bytes looked at and put back.
    uint32_t BytesUsed() const;

    uint32_t BytesAfterTell() override;
    const uint8_t* GetReadBuffer(uint32_t& length, uint32_t wanted) override;
    void ReleaseReadBuffer(uint32_t consumed) override;
    void Read(void* destination, uint32_t count) override;
    uint32_t Tell() override;
    void Seek(uint32_t position) override;

private:
    bool HasInner();
    void CopyInnerStatus();

    MediaStream* inner_ = nullptr;
    uint32_t limit_ = 0;
    uint32_t position_ = 0;
    uint32_t largest_ = 0;
};
