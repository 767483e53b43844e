#include "platform/msgbox.h"

#include <atomic>
#include <cstdio>

namespace plat {
namespace {

std::atomic<MessageBoxBackend> g_backend{nullptr};
std::atomic<bool> g_testMode{false};

constexpr uint32_t kButtonsMask = 0xF;

} // namespace

int DefaultMessageBoxAnswer(uint32_t style) {
    const bool second = (style & kMbDefButton2) != 0;
    switch (style & kButtonsMask) {
    case kMbOkCancel: return second ? kIdCancel : kIdOk;
    case kMbYesNo: return second ? kIdNo : kIdYes;
    default: return kIdOk;
    }
}

void SetMessageBoxBackend(MessageBoxBackend backend) { g_backend.store(backend); }

void SetMessageBoxTestMode(bool on) { g_testMode.store(on); }

int MessageBox(std::string_view text, std::string_view caption, uint32_t style) {
    const MessageBoxBackend backend = g_backend.load();
    if (backend && !g_testMode.load()) return backend(text, caption, style);
    if (caption.empty())
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    else
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
    return DefaultMessageBoxAnswer(style);
}

} // namespace plat
