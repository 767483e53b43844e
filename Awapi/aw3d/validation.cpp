#include "Awapi/aw3d/validation.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "core/log.h"
#include "platform/d3d/device3d.h"

bool AwValidateDevice(int line, const char* file) {
    if (!AwDevice.Direct3DDevice) return false;
    uint32_t passes = 0;
    const plat::HResult result = AwDevice.Direct3DDevice->ValidateDevice(&passes);
    if (plat::Succeeded(result)) return true;
    AwReportError(result);
    LogPrintf("Error: Validate Device failed on line %i in file %s.", line, file);
    return false;
}
