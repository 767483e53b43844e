#include "image/media_stream.h"

#include <algorithm>
#include <cstring>

uint32_t MediaStream::BytesAfterTell() { return 0xFFFFFFFF; }

const uint8_t* MediaStream::GetReadBuffer(uint32_t& length, uint32_t) {
    SetStatus(kUnsupported);
    length = 0;
    return nullptr;
}

void MediaStream::ReleaseReadBuffer(uint32_t) { SetStatus(kUnsupported); }

void MediaStream::Read(void*, uint32_t) { SetStatus(kUnsupported); }

uint32_t MediaStream::BytesRemaining() {
    uint32_t after = BytesAfterTell();
    if (after == 0xFFFFFFFF) return after;
    return after > readPos_ ? after - readPos_ : 0;
}

uint32_t MediaStream::Position() { return Tell() + (readBuffer_ ? readPos_ : 0); }

void MediaStream::Flush() {
    if (!readBuffer_) return;
    uint32_t start = Tell();
    // Releasing up to the high-water mark lets a window count peeked bytes as used.
    ReleaseReadBuffer(std::max(readPos_, highWater_));
    Seek(start + readPos_);
    readBuffer_ = nullptr;
    readPos_ = 0;
    readLength_ = 0;
    highWater_ = 0;
}

bool MediaStream::Refill(uint32_t wanted) {
    Flush();
    uint32_t length = 0;
    const uint8_t* buffer = GetReadBuffer(length, std::max(wanted, kGranule));
    if (!buffer || length == 0) {
        if (buffer) ReleaseReadBuffer(0);
        return false;
    }
    readBuffer_ = buffer;
    readLength_ = length;
    return true;
}

bool MediaStream::Take(void* destination, uint32_t n) {
    if (n == 0) return true;
    if (!readBuffer_ || readLength_ - readPos_ < n) {
        if (n > kGranule) {
            // Large blocks go straight into the caller's memory.
            Flush();
            uint32_t before = Status();
            Read(destination, n);
            if (Status() == before) return true;
            SetStatus(kEndOfData);
            return false;
        }
        if (!Refill(n) || readLength_ < n) {
            SetStatus(kEndOfData);
            return false;
        }
    }
    std::memcpy(destination, readBuffer_ + readPos_, n);
    readPos_ += n;
    return true;
}

int MediaStream::TakeByte() {
    if ((!readBuffer_ || readPos_ == readLength_) && !Refill(1)) {
        SetStatus(kEndOfData);
        return -1;
    }
    return readBuffer_[readPos_++];
}

bool MediaStream::Skip(uint32_t n) {
    uint8_t scrap[256];
    while (n > 0) {
        uint32_t step = std::min<uint32_t>(n, sizeof scrap);
        if (!Take(scrap, step)) return false;
        n -= step;
    }
    return true;
}

void MediaStream::PutBack(uint32_t n) {
    if (readBuffer_ && readPos_ >= n) {
        highWater_ = std::max(highWater_, readPos_);
        readPos_ -= n;
        return;
    }
    Flush();
    Seek(Tell() - n);
}
