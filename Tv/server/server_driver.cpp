#include "Tv/server/server_driver.h"

#include <atomic>

#include "Tv/server/server_state.h"
#include "Tv/server/server_thread_parts.h"
#include "core/random.h"

namespace {

constexpr uint32_t kPassWaitMs = 50;

std::atomic<bool> drivenNext{false};
std::atomic<uint32_t> seedNext{1};
std::atomic<bool> driven{false};
std::atomic<bool> threadAlive{false};
std::atomic<uint32_t> passIndex{0};
std::atomic<uint32_t> passesEnded{0};
plat::Event timeoutPassEvent;
plat::Event passEndedEvent;
plat::Event drivenArrivalEvent;

} // namespace

void TvDriveServer(bool drive, uint32_t seed) {
    drivenNext = drive;
    seedNext = seed;
}

bool TvIsServerDriven() { return driven; }

void TvRequestServerPass(ServerPassKind kind) {
    (kind == ServerPassKind::Wake ? ServerMessageEvent : timeoutPassEvent).Set();
}

uint32_t TvServerPassesEnded() { return passesEnded; }

void TvWaitForServerPass(uint32_t k) {
    while (passesEnded < k && threadAlive) passEndedEvent.Wait();
}

void TvWaitForServerIdle() { TvWaitForServerPass(passIndex); }

uint32_t TvRunServerPass(ServerPassKind kind) {
    TvWaitForServerIdle();
    const uint32_t pass = passesEnded + 1;
    TvRequestServerPass(kind);
    TvWaitForServerPass(pass);
    return pass;
}

uint32_t TvServerPassIndex() { return passIndex; }

void PrepareServerDriver() {
    driven = drivenNext.load();
    passIndex = 0;
    passesEnded = 0;
    timeoutPassEvent.Reset();
    passEndedEvent.Reset();
    threadAlive = true;
}

plat::Event* ServerArrivalEvent() { return driven ? &drivenArrivalEvent : &ServerMessageEvent; }

void SeedServerRandom() {
    if (driven) RandomGenerator::ForCallingThread().Seed(seedNext);
}

void StopServerDriver() {
    threadAlive = false;
    passEndedEvent.Set();
}

ServerWake WaitForServerWork() {
    plat::Event* events[] = {&ServerQuitEvent, &ServerLockRequestEvent, &ServerMessageEvent, &timeoutPassEvent};
    const uint32_t woke =
        driven ? plat::WaitForAnyEvent(events, 4, plat::kInfinite) : plat::WaitForAnyEvent(events, 3, kPassWaitMs);
    switch (woke) {
    case 0: return ServerWake::Quit;
    case 1: return ServerWake::LockRequest;
    case 2: return ServerWake::Message;
    default: return ServerWake::Timeout;
    }
}

void BeginServerPass() { ++passIndex; }

void EndServerPass() {
    passesEnded = passIndex.load();
    passEndedEvent.Set();
}
