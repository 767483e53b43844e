#include "core/cpuid.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

constexpr uint32_t kExtended = 0x80000000;

// A processor described by its CPUID answers; leaves it does not know answer zeros.
class FakeCpuid : public CpuidSource {
public:
    bool alignmentToggles = true;
    bool cpuidUsable = true;
    bool mmxRuns = true;
    std::map<uint32_t, CpuidRegisters> leaves;

    bool AlignmentCheckToggles() override { return alignmentToggles; }
    bool CpuidUsable() override { return cpuidUsable; }
    CpuidRegisters Cpuid(uint32_t leaf) override {
        auto found = leaves.find(leaf);
        return found == leaves.end() ? CpuidRegisters{} : found->second;
    }
    bool MmxRuns() override { return mmxRuns; }

    // Leaf 0 (vendor text in EBX, EDX, ECX) and leaf 1 with the given signature and features.
    void SetVendor(const char (&text)[13], uint32_t highestLevel = 1) {
        CpuidRegisters& r = leaves[0];
        r.eax = highestLevel;
        std::memcpy(&r.ebx, text, 4);
        std::memcpy(&r.edx, text + 4, 4);
        std::memcpy(&r.ecx, text + 8, 4);
    }
    void SetSignature(uint32_t family, uint32_t model, uint32_t stepping, uint32_t features = 0) {
        leaves[1] = {(family << 8) | (model << 4) | stepping, 0, 0, features};
    }
    void SetBrand(const std::string& brand) {
        char text[48] = {};
        std::memcpy(text, brand.data(), std::min<size_t>(brand.size(), 48));
        leaves[kExtended].eax = kExtended | 4;
        for (uint32_t i = 0; i < 3; ++i) {
            CpuidRegisters& r = leaves[kExtended + 2 + i];
            std::memcpy(&r, text + 16 * i, 16);
        }
    }
};

ProcessorInfo Identify(FakeCpuid& cpu) {
    ProcessorInfo info;
    info.Identify(cpu);
    return info;
}

struct NameCase {
    const char* label;
    char vendorText[13];
    uint32_t family, model;
    const char* brand; // null: no extended levels
    const char* vendor;
    int32_t vendorIndex;
    const char* name;
};

// Keeps test listings readable (the default prints the record's raw bytes).
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

const NameCase kNameCases[] = {
    {"IntelKnown", "GenuineIntel", 6, 7, nullptr, "Intel", kVendorIntel, "Pentium III"},
    {"IntelUnknownModel", "GenuineIntel", 6, 2, nullptr, "Intel", kVendorIntel, "(model 6/2 unknown)"},
    {"AmdTable", "AuthenticAMD", 5, 6, nullptr, "AMD", kVendorAmd, "K6 (166 - 266)"},
    {"AmdBrandBeatsTable", "AuthenticAMD", 5, 6, "AMD-K6tm w/ multimedia extensions", "AMD", kVendorAmd,
     "AMD-K6tm w/ multimedia extensions"},
    {"AmdBrandFullLength", "AuthenticAMD", 6, 4, "0123456789abcdef0123456789abcdef0123456789abcdef", "AMD",
     kVendorAmd, "0123456789abcdef0123456789abcdef0123456789abcdef"},
    {"CyrixByPrefix", "CyrixInstead", 6, 0, nullptr, "Cyrix", kVendorCyrix, "6x86MX"},
    {"Umc", "UMC UMC UMC ", 4, 1, nullptr, "UMC", kVendorUmc, "U5D"},
    {"Centaur", "CentaurHauls", 5, 4, nullptr, "Centaur", kVendorCentaur, "C6"},
    {"NexGen", "NexGenDriven", 5, 0, nullptr, "NexGen", kVendorNexGen, "Nx586"},
    // An unknown vendor keeps its text and gets no table name, even for a
    // family and model that Intel's table knows.
    {"UnknownVendor", "GenuineTMx86", 5, 4, nullptr, "GenuineTMx86", kVendorUnknown, "(model 5/4 unknown)"},
};

class ProcessorNames : public testing::TestWithParam<NameCase> {};

TEST_P(ProcessorNames, VendorAndName) {
    const NameCase& c = GetParam();
    FakeCpuid cpu;
    cpu.SetVendor(c.vendorText);
    cpu.SetSignature(c.family, c.model, 3);
    if (c.brand) cpu.SetBrand(c.brand);

    const ProcessorInfo info = Identify(cpu);
    EXPECT_EQ(info.processorClass, kProcessorCpuid);
    EXPECT_STREQ(info.vendor, c.vendor);
    EXPECT_EQ(info.vendorIndex, c.vendorIndex);
    EXPECT_STREQ(info.name, c.name);
    EXPECT_EQ(info.family, static_cast<int32_t>(c.family));
    EXPECT_EQ(info.model, static_cast<int32_t>(c.model));
    EXPECT_EQ(info.stepping, 3);
}

INSTANTIATE_TEST_SUITE_P(Cpuid, ProcessorNames, testing::ValuesIn(kNameCases),
                         [](const testing::TestParamInfo<NameCase>& info) { return info.param.label; });

TEST(ProcessorInfo, OldProcessorClassesStopEarly) {
    FakeCpuid cpu;
    cpu.SetVendor("GenuineIntel");
    cpu.SetSignature(5, 4, 0, kFeatureMmx);

    cpu.alignmentToggles = false;
    ProcessorInfo info = Identify(cpu);
    EXPECT_EQ(info.processorClass, kProcessor386);
    EXPECT_STREQ(info.name, "386");
    EXPECT_STREQ(info.vendor, "");
    EXPECT_EQ(info.vendorIndex, kVendorUnknown);
    EXPECT_EQ(info.features, 0u);

    cpu.alignmentToggles = true;
    cpu.cpuidUsable = false;
    info = Identify(cpu);
    EXPECT_EQ(info.processorClass, kProcessor486);
    EXPECT_STREQ(info.name, "486");
    EXPECT_STREQ(info.vendor, "");
    EXPECT_EQ(info.features, 0u);
}

TEST(ProcessorInfo, SignatureIgnoresExtendedFieldsAndLevelZeroReadsNothing) {
    FakeCpuid cpu;
    cpu.SetVendor("GenuineIntel");
    cpu.leaves[1] = {0x000306A9, 0, 0, 0x1234}; // extended model and family bits are not read
    ProcessorInfo info = Identify(cpu);
    EXPECT_EQ(info.highestLevel, 1u);
    EXPECT_EQ(info.family, 6);
    EXPECT_EQ(info.model, 10);
    EXPECT_EQ(info.stepping, 9);
    EXPECT_EQ(info.features, 0x1234u);
    EXPECT_STREQ(info.name, "(model 6/10 unknown)");

    cpu.SetVendor("GenuineIntel", 0);
    info = Identify(cpu);
    EXPECT_EQ(info.highestLevel, 0u);
    EXPECT_EQ(info.family, 0);
    EXPECT_EQ(info.features, 0u);
    EXPECT_STREQ(info.name, "(model 0/0 unknown)");
}

TEST(ProcessorInfo, FeatureAdjustments) {
    constexpr uint32_t bit9 = 1u << 9, bit13 = 1u << 13, bit0 = 1u;
    struct Case {
        const char* label;
        char vendorText[13];
        uint32_t family, model;
        uint32_t levelOneEdx;
        uint32_t extendedLevel; // 0: no extended leaves
        uint32_t extendedEdx;
        bool mmxRuns;
        uint32_t expected;
    };
    const Case cases[] = {
        {"AmdK5MovesBit9ToBit13", "AuthenticAMD", 5, 0, bit9 | bit0, 0, 0, true, bit13 | bit0},
        {"AmdK5ClearsBit13WithoutBit9", "AuthenticAMD", 5, 0, bit13 | bit0, 0, 0, true, bit0},
        {"AmdOtherModelKeepsBit9", "AuthenticAMD", 5, 1, bit9, 0, 0, true, bit9},
        {"IntelNeverMovesBits", "GenuineIntel", 5, 0, bit9, 0, 0, true, bit9},
        // Bits 11, 16 and 31 come from the extended leaf, every other bit from level 1.
        {"AmdExtendedBits", "AuthenticAMD", 6, 2, (1u << 11) | (1u << 16) | bit0, 1, (1u << 31) | (1u << 5), true,
         (1u << 31) | bit0},
        {"MmxThatFaultsIsCleared", "GenuineIntel", 5, 4, kFeatureMmx | bit0, 0, 0, false, bit0},
        {"MmxThatRunsIsKept", "GenuineIntel", 5, 4, kFeatureMmx | bit0, 0, 0, true, kFeatureMmx | bit0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeCpuid cpu;
        cpu.SetVendor(c.vendorText);
        cpu.SetSignature(c.family, c.model, 0, c.levelOneEdx);
        if (c.extendedLevel != 0) {
            cpu.leaves[kExtended].eax = kExtended | c.extendedLevel;
            cpu.leaves[kExtended + 1].edx = c.extendedEdx;
        }
        cpu.mmxRuns = c.mmxRuns;
        EXPECT_EQ(Identify(cpu).features, c.expected);
    }
}

TEST(ProcessorInfo, IdentifiesTheHostProcessor) {
    IdentifyProcessor();
    EXPECT_EQ(Processor.processorClass, kProcessorCpuid);
    EXPECT_GT(Processor.highestLevel, 0u);
    EXPECT_NE(Processor.vendor[0], '\0');
    EXPECT_NE(Processor.name[0], '\0');
    EXPECT_NE(Processor.features & kFeatureMmx, 0u); // every x86-64 processor has MMX
}

} // namespace
