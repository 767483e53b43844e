#include "image/file_stream.h"

Win32FileStream::~Win32FileStream() {
    if (file_) Flush();
}

bool Win32FileStream::HasFile() {
    if (file_ && file_->IsOpen()) return true;
    SetStatus(kUnsupported);
    return false;
}

uint32_t Win32FileStream::BytesAfterTell() {
    if (!HasFile()) return 0;
    int64_t size = file_->Size();
    if (size < 0) {
        SetStatus(kUnsupported);
        return 0;
    }
    int64_t left = size - static_cast<int64_t>(Tell());
    if (left <= 0) return 0;
    return left >= 0xFFFFFFFF ? 0xFFFFFFFE : static_cast<uint32_t>(left);
}

const uint8_t* Win32FileStream::GetReadBuffer(uint32_t& length, uint32_t wanted) {
    length = 0;
    if (!HasFile()) return nullptr;
    buffer_.resize(wanted);
    uint32_t got = 0;
    if (!file_->Read(buffer_.data(), wanted, &got)) {
        SetStatus(kOsFailure);
        return nullptr;
    }
    if (got == 0) SetStatus(kShortTransfer);
    buffered_ = got;
    length = got;
    return buffer_.data();
}

void Win32FileStream::ReleaseReadBuffer(uint32_t consumed) {
    if (!HasFile()) return;
    if (consumed < buffered_ && file_->Seek(-static_cast<int64_t>(buffered_ - consumed), plat::SeekOrigin::Current) < 0)
        SetStatus(kUnsupported);
    buffered_ = 0;
}

void Win32FileStream::Read(void* destination, uint32_t count) {
    if (!HasFile()) return;
    uint32_t got = 0;
    if (!file_->Read(destination, count, &got)) {
        SetStatus(kOsFailure);
        return;
    }
    if (got < count) SetStatus(kShortTransfer);
}

uint32_t Win32FileStream::Tell() {
    if (!HasFile()) return 0;
    int64_t at = file_->Tell();
    if (at < 0) {
        SetStatus(kUnsupported);
        return 0;
    }
    return static_cast<uint32_t>(at - buffered_);
}

void Win32FileStream::Seek(uint32_t position) {
    if (HasFile() && file_->Seek(position, plat::SeekOrigin::Begin) < 0) SetStatus(kUnsupported);
}
