#include "image/window_stream.h"

#include <algorithm>

WindowStream::~WindowStream() {
    if (inner_) Detach();
}

void WindowStream::Attach(MediaStream* inner, uint32_t limit) {
    inner_ = inner;
    limit_ = limit;
    position_ = 0;
    largest_ = 0;
}

uint32_t WindowStream::Detach() {
    Flush();
    largest_ = std::max(largest_, position_);
    inner_ = nullptr;
    return position_;
}

uint32_t WindowStream::BytesUsed() const { return std::max(position_, largest_); }

bool WindowStream::HasInner() {
    if (inner_) return true;
    SetStatus(kUnsupported);
    return false;
}

void WindowStream::CopyInnerStatus() { SetStatus(inner_->Status()); }

uint32_t WindowStream::BytesAfterTell() {
    if (!HasInner()) return 0;
    uint32_t left = std::min(limit_ - position_, inner_->BytesAfterTell());
    CopyInnerStatus();
    return left;
}

const uint8_t* WindowStream::GetReadBuffer(uint32_t& length, uint32_t wanted) {
    length = 0;
    if (!HasInner()) return nullptr;
    if (position_ == limit_) {
        SetStatus(kEndOfData);
        return nullptr;
    }
    const uint8_t* buffer = inner_->GetReadBuffer(length, std::min(wanted, limit_ - position_));
    CopyInnerStatus();
    return buffer;
}

void WindowStream::ReleaseReadBuffer(uint32_t consumed) {
    if (!HasInner()) return;
    position_ += consumed;
    inner_->ReleaseReadBuffer(consumed);
    CopyInnerStatus();
}

void WindowStream::Read(void* destination, uint32_t count) {
    if (!HasInner()) return;
    if (count > limit_ - position_) {
        SetStatus(kEndOfData);
        return;
    }
    position_ += count;
    inner_->Read(destination, count);
    CopyInnerStatus();
}

uint32_t WindowStream::Tell() { return position_; }

void WindowStream::Seek(uint32_t position) {
    if (!HasInner()) return;
    if (position > limit_) {
        SetStatus(kEndOfData);
        return;
    }
    inner_->Seek(inner_->Tell() + (position - position_));
    largest_ = std::max(largest_, position_);
    position_ = position;
    CopyInnerStatus();
}
