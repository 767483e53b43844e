#include "Tv/server/receive_message.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "core/mem.h"

MessageBuffer TvReceiveMessage(bool& ok, plat::DpId& from, plat::DirectPlay* directPlay, plat::DpId to) {
    ok = true;
    uint32_t size = 0;
    uint8_t* buffer = nullptr;
    plat::HResult result =
        directPlay->Receive(&from, &to, plat::kDpReceiveToPlayer | plat::kDpReceivePeek, nullptr, &size);
    for (;;) {
        if (result == plat::kDpErrBufferTooSmall || (result == plat::kDpOk && !buffer)) {
            MemFree(buffer);
            buffer = static_cast<uint8_t*>(MemAlloc(size == 0 ? 1 : size));
            result = directPlay->Receive(&from, &to, plat::kDpReceiveToPlayer, buffer, &size);
            continue;
        }
        if (result == plat::kDpOk) return MessageBuffer::Adopt(buffer, size);
        MemFree(buffer);
        if (result != plat::kDpErrNoMessages) {
            AwReportError(result);
            ok = false;
        }
        return MessageBuffer();
    }
}
