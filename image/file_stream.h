#pragma once
// A stream over an open platform file, read from its current position. The
// stream never closes the file: the file's owner does, and on destruction the
// file pointer is left just after the bytes that were used.

#include <vector>

#include "image/media_stream.h"
#include "platform/files.h"

class Win32FileStream final : public MediaStream {
public:
    // Without a file (null) every operation answers kUnsupported.
    explicit Win32FileStream(plat::File* file) : file_(file) {}
    ~Win32FileStream() override;

    uint32_t BytesAfterTell() override;
    const uint8_t* GetReadBuffer(uint32_t& length, uint32_t wanted) override;
    void ReleaseReadBuffer(uint32_t consumed) override;
    void Read(void* destination, uint32_t count) override;
    uint32_t Tell() override;
    void Seek(uint32_t position) override;

private:
    bool HasFile();

    plat::File* file_;
    std::vector<uint8_t> buffer_;
    uint32_t buffered_ = 0;
};
