#include "sound/music_stream.h"

#include "platform/dsound/direct_sound.h"
#include "platform/media/bink.h"
#include "sound/sound_devices.h"

namespace {
constexpr uint32_t kIdleMs = 20;
}

MusicStream::MusicStream() : directSound_(DirectSoundObject) {
    if (directSound_) directSound_->AddRef();
}

MusicStream::~MusicStream() {
    Close();
    if (directSound_) directSound_->Release();
}

bool MusicStream::Open(const char* file, bool loop) {
    if (!directSound_) return false;
    plat::BinkSetSoundSystem(plat::BinkOpenDirectSound, directSound_);
    if (open_) Close();
    bink_ = plat::BinkOpen(file, 0);
    if (!bink_) return false;
    open_ = true;
    plat::BinkSetVolume(bink_, volume_);
    loop_ = loop;
    finished_ = false;
    if (!thread_.Start([this] { Decode(); })) {
        // Nothing would ever decode it: do not keep the file open.
        Close();
        return false;
    }
    thread_.SetPriority(plat::ThreadPriority::AboveNormal);
    return true;
}

void MusicStream::Decode() {
    bool finished = false;
    while (!stopEvent_.load(std::memory_order_acquire)) {
        // Asked even when finished: the library stops the sound once it has played out.
        if (plat::BinkWait(bink_) || finished) {
            plat::Sleep(kIdleMs);
            continue;
        }
        plat::BinkDoFrame(bink_);
        if (!loop_ && plat::BinkCurrentFrame(bink_) + 1 == plat::BinkFrameCount(bink_)) {
            finished = true;
            finished_ = true;
        }
        plat::BinkNextFrame(bink_);
    }
    stopEvent_.load(std::memory_order_acquire)->Set();
}

void MusicStream::StopThread() {
    if (!thread_.IsRunning()) {
        thread_.Join();
        return;
    }
    plat::Event stopped(true);
    stopEvent_.store(&stopped, std::memory_order_release);
    plat::Sleep(0);
    stopped.Wait();
    thread_.Join();
    stopEvent_.store(nullptr, std::memory_order_release);
}

void MusicStream::Close() {
    StopThread();
    if (bink_) plat::BinkClose(bink_);
    bink_ = nullptr;
    open_ = false;
}

bool MusicStream::Stop() {
    Close();
    return directSound_ != nullptr;
}

void MusicStream::SetVolume(int32_t volume) {
    volume_ = volume;
    if (open_) plat::BinkSetVolume(bink_, volume);
}

int32_t MusicStream::GetVolume() const { return directSound_ ? volume_ : 0; }

void MusicStream::Pause() {
    if (bink_) plat::BinkPause(bink_, true);
}

void MusicStream::Resume() {
    if (bink_) plat::BinkPause(bink_, false);
}
