#pragma once
// Identification of the processor at start-up: CPUID availability, vendor,
// family, model, stepping, a readable model name and the feature flags. The
// record is informational; nothing in the program decides on it.

#include <cstdint>

struct CpuidRegisters {
    uint32_t eax, ebx, ecx, edx;
};

// What the identification asks of the processor; tests answer with their own.
class CpuidSource {
public:
    virtual ~CpuidSource() = default;
    // The alignment-check flag (bit 18 of the flags register) can be toggled.
    virtual bool AlignmentCheckToggles() = 0;
    // The identification flag (bit 21) can be toggled and CPUID 0 runs.
    virtual bool CpuidUsable() = 0;
    virtual CpuidRegisters Cpuid(uint32_t leaf) = 0;
    // EMMS runs without a fault.
    virtual bool MmxRuns() = 0;
};

enum ProcessorClass : int32_t {
    kProcessor386 = 0,      // alignment-check flag cannot be toggled
    kProcessor486 = 1,      // no usable CPUID
    kProcessorCpuid = 2,
};

enum ProcessorVendor : int32_t {
    kVendorIntel = 0,
    kVendorAmd = 1,
    kVendorCyrix = 2,
    kVendorUmc = 3,
    kVendorCentaur = 4,
    kVendorNexGen = 5,
    kVendorUnknown = 6,
};

constexpr uint32_t kFeatureMmx = 1u << 23;

struct ProcessorInfo {
    int32_t processorClass = kProcessor386;
    char vendor[13] = {};   // short vendor name, or the CPUID vendor text when unknown
    char name[49] = {};     // model name
    int32_t vendorIndex = kVendorUnknown;
    uint32_t highestLevel = 0; // highest standard CPUID level
    int32_t family = 0;
    int32_t model = 0;
    int32_t stepping = 0;
    uint32_t features = 0;  // CPUID 1 EDX, adjusted for old AMD parts and extended bits

    void Identify(CpuidSource& source);
};

// The program's record, filled by IdentifyProcessor.
extern ProcessorInfo Processor;

// Identifies the processor this program runs on into Processor.
void IdentifyProcessor();
