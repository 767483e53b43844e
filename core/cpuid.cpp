#include "core/cpuid.h"

#include <cpuid.h>

#include <cstdio>
#include <cstring>

ProcessorInfo Processor;

namespace {

struct KnownVendor {
    const char* text; // compared over its own length
    const char* name;
    ProcessorVendor index;
};

constexpr KnownVendor kVendors[] = {
    {"GenuineIntel", "Intel", kVendorIntel}, {"AuthenticAMD", "AMD", kVendorAmd},
    {"Cyrix", "Cyrix", kVendorCyrix},        {"UMC UMC UMC ", "UMC", kVendorUmc},
    {"CentaurHauls", "Centaur", kVendorCentaur}, {"NexGenDriven", "NexGen", kVendorNexGen},
};

struct ModelName {
    ProcessorVendor vendor;
    int32_t family;
    int32_t model;
    const char* name;
};

constexpr ModelName kModelNames[] = {
    {kVendorIntel, 4, 0, "486 DX-25/33"}, {kVendorIntel, 4, 1, "486 DX-50"}, {kVendorIntel, 4, 2, "486 SZ"},
    {kVendorIntel, 4, 3, "486 DX/2"}, {kVendorIntel, 4, 4, "486 SL"}, {kVendorIntel, 4, 5, "486 SX/2"},
    {kVendorIntel, 4, 7, "486 DX/2-WB"}, {kVendorIntel, 4, 8, "486 DX/4"}, {kVendorIntel, 4, 9, "486 DX/4-WB"},
    {kVendorIntel, 5, 0, "Pentium 60/66 A-step"}, {kVendorIntel, 5, 1, "Pentium 60/66"},
    {kVendorIntel, 5, 2, "Pentium 75+"}, {kVendorIntel, 5, 3, "OverDrive PODP5V83"},
    {kVendorIntel, 5, 4, "Pentium MMX"}, {kVendorIntel, 5, 7, "Mobile Pentium 75+"},
    {kVendorIntel, 5, 8, "Mobile Pentium MMX"},
    {kVendorIntel, 6, 0, "Pentium Pro A-step"}, {kVendorIntel, 6, 1, "Pentium Pro"},
    {kVendorIntel, 6, 3, "Pentium II"}, {kVendorIntel, 6, 5, "Pentium II"}, {kVendorIntel, 6, 7, "Pentium III"},
    {kVendorAmd, 4, 3, "DX/2"}, {kVendorAmd, 4, 7, "DX/2-WB"}, {kVendorAmd, 4, 8, "DX/4"},
    {kVendorAmd, 4, 9, "DX/4-WB"}, {kVendorAmd, 4, 14, "Am5x86-WT"}, {kVendorAmd, 4, 15, "Am5x86-WB"},
    {kVendorAmd, 5, 0, "K5/SSA5 (PR-75, PR-90, PR-100)"}, {kVendorAmd, 5, 1, "K5 (PR-120, PR-133)"},
    {kVendorAmd, 5, 2, "K5 (PR-166)"}, {kVendorAmd, 5, 3, "K5 (PR-200)"}, {kVendorAmd, 5, 6, "K6 (166 - 266)"},
    {kVendorAmd, 5, 7, "K6 (166 - 300)"}, {kVendorAmd, 5, 8, "K6-3D (200 - 450)"},
    {kVendorAmd, 5, 9, "K6-3D-Plus (200 - 450)"},
    {kVendorCyrix, 4, 4, "MediaGX"}, {kVendorCyrix, 4, 9, "5x86"}, {kVendorCyrix, 5, 2, "6x86"},
    {kVendorCyrix, 5, 4, "GXm"}, {kVendorCyrix, 6, 0, "6x86MX"},
    {kVendorUmc, 4, 1, "U5D"}, {kVendorUmc, 4, 2, "U5S"},
    {kVendorCentaur, 5, 4, "C6"},
    {kVendorNexGen, 5, 0, "Nx586"},
};

constexpr uint32_t kExtendedLevels = 0x80000000;
constexpr uint32_t kFeatureBit9 = 1u << 9;
constexpr uint32_t kFeatureBit13 = 1u << 13;
// Bits that the extended feature leaf reports for AMD processors.
constexpr uint32_t kExtendedFeatureBits = (1u << 11) | (1u << 16) | (1u << 31);

void CopyText(char* to, size_t size, const char* from) { std::snprintf(to, size, "%s", from); }

void StoreRegisterText(char* to, uint32_t value) { std::memcpy(to, &value, 4); }

// The processor this program runs on (x86-64: the flags tests of the oldest
// processors always pass there).
class HostCpuid final : public CpuidSource {
public:
    bool AlignmentCheckToggles() override { return true; }
    bool CpuidUsable() override { return true; }
    CpuidRegisters Cpuid(uint32_t leaf) override {
        CpuidRegisters r{};
        __cpuid(leaf, r.eax, r.ebx, r.ecx, r.edx);
        return r;
    }
    bool MmxRuns() override { return true; }
};

} // namespace

void ProcessorInfo::Identify(CpuidSource& source) {
    *this = ProcessorInfo{};
    if (!source.AlignmentCheckToggles()) {
        processorClass = kProcessor386;
        CopyText(name, sizeof name, "386");
        return;
    }
    if (!source.CpuidUsable()) {
        processorClass = kProcessor486;
        CopyText(name, sizeof name, "486");
        return;
    }
    processorClass = kProcessorCpuid;

    const CpuidRegisters level0 = source.Cpuid(0);
    highestLevel = level0.eax;
    StoreRegisterText(vendor, level0.ebx);
    StoreRegisterText(vendor + 4, level0.edx);
    StoreRegisterText(vendor + 8, level0.ecx);
    vendor[12] = '\0';
    for (const KnownVendor& known : kVendors) {
        if (std::strncmp(vendor, known.text, std::strlen(known.text)) == 0) {
            vendorIndex = known.index;
            CopyText(vendor, sizeof vendor, known.name);
            break;
        }
    }

    if (highestLevel >= 1) {
        const CpuidRegisters level1 = source.Cpuid(1);
        family = static_cast<int32_t>((level1.eax >> 8) & 0xF);
        model = static_cast<int32_t>((level1.eax >> 4) & 0xF);
        stepping = static_cast<int32_t>(level1.eax & 0xF);
        features = level1.edx;
        for (const ModelName& known : kModelNames) {
            if (known.vendor == vendorIndex && known.family == family && known.model == model) {
                CopyText(name, sizeof name, known.name);
                break;
            }
        }
    }

    if (vendorIndex == kVendorAmd) {
        const uint32_t extendedLevel = source.Cpuid(kExtendedLevels).eax & 0x7FFFFFFF;
        if (extendedLevel >= 4) {
            for (uint32_t i = 0; i < 3; ++i) {
                const CpuidRegisters brand = source.Cpuid(kExtendedLevels + 2 + i);
                StoreRegisterText(name + 16 * i, brand.eax);
                StoreRegisterText(name + 16 * i + 4, brand.ebx);
                StoreRegisterText(name + 16 * i + 8, brand.ecx);
                StoreRegisterText(name + 16 * i + 12, brand.edx);
            }
            name[48] = '\0';
        }
        if (family == 5 && model == 0) {
            features = (features & ~(kFeatureBit9 | kFeatureBit13)) | ((features & kFeatureBit9) << 4);
        }
        if (extendedLevel != 0) {
            const uint32_t extendedFeatures = source.Cpuid(kExtendedLevels + 1).edx;
            features = (features & ~kExtendedFeatureBits) | (extendedFeatures & kExtendedFeatureBits);
        }
    }

    if (name[0] == '\0') {
        std::snprintf(name, sizeof name, "(model %u/%u unknown)", static_cast<unsigned>(family),
                      static_cast<unsigned>(model));
    }
    if ((features & kFeatureMmx) && !source.MmxRuns()) features &= ~kFeatureMmx;
}

void IdentifyProcessor() {
    HostCpuid host;
    Processor.Identify(host);
}
