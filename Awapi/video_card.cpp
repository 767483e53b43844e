#include "Awapi/video_card.h"

namespace {

constexpr const char* kUnknown = "Unknown";

struct Vendor {
    uint32_t id;
    const char* name;
};

constexpr Vendor kVendors[] = {
    {0x1002, "ATI"},
    {0x1013, "Cirrus"},
    {0x102B, "Matrox"},
    {0x104C, "Texas Intriuments"},
    {0x10D9, "3DFX - Macronix based boards"},
    {0x10DE, "NVidia"},
    {0x12D2, "NVidia"},
    {0x1102, "Creative"},
    {0x1142, "3DFX - Alliance based boards"},
    {0x1163, "Rendition"},
    {0x121A, "3DFX - Non Rush boards"},
    {0x14AF, "Guillemot"},
    {0x3D3D, "3DLabs"},
    {0x5333, "S3"},
};

// Chips by family: vendors that share a family list the same chips.
enum class Family { Ati, Cirrus, Matrox, TexasInstruments, ThreeDfx, NVidia, Rendition, Guillemot, ThreeDLabs, S3 };

struct VendorFamily {
    uint32_t vendor;
    Family family;
};

constexpr VendorFamily kFamilies[] = {
    {0x1002, Family::Ati},       {0x1013, Family::Cirrus},     {0x102B, Family::Matrox},
    {0x104C, Family::TexasInstruments}, {0x10D9, Family::ThreeDfx}, {0x1142, Family::ThreeDfx},
    {0x121A, Family::ThreeDfx},  {0x10DE, Family::NVidia},     {0x12D2, Family::NVidia},
    {0x1163, Family::Rendition}, {0x14AF, Family::Guillemot},  {0x3D3D, Family::ThreeDLabs},
    {0x5333, Family::S3},
};

struct Chip {
    Family family;
    uint32_t first, last; // device ids, inclusive
    const char* name;
};

constexpr Chip kChips[] = {
    {Family::Ati, 18242, 18242, "Rage Pro"},
    {Family::Ati, 18256, 18256, "Rage Turbo"},
    {Family::Ati, 20550, 20550, "Rage Maxx"},
    {Family::Ati, 20804, 20804, "Radeon DDR"},
    {Family::Ati, 21062, 21062, "Rage 128"},
    {Family::Cirrus, 184, 184, "CL5446"},
    {Family::Cirrus, 208, 208, "CL5462"},
    {Family::Cirrus, 212, 212, "CL5464"},
    {Family::Cirrus, 214, 214, "CL5465"},
    {Family::Matrox, 1305, 1305, "Millennium"},
    {Family::Matrox, 1306, 1306, "Mystique"},
    {Family::Matrox, 1307, 1307, "MillenniumII PCI"},
    {Family::Matrox, 1311, 1311, "MillenniumII AGP"},
    {Family::Matrox, 1312, 1312, "G200 PCI"},
    {Family::Matrox, 1313, 1313, "G200 AGP"},
    {Family::Matrox, 1317, 1317, "G400"},
    {Family::Matrox, 4096, 4096, "G100 PCI"},
    {Family::Matrox, 4097, 4097, "G100 AGP"},
    {Family::TexasInstruments, 15620, 15620, "Permedia 1"},
    {Family::TexasInstruments, 15623, 15623, "Permedia 2"},
    {Family::ThreeDfx, 1, 1, "Voodoo 1"},
    {Family::ThreeDfx, 2, 2, "Voodoo 2"},
    {Family::ThreeDfx, 3, 3, "Banshee"},
    {Family::ThreeDfx, 5, 5, "Voodoo 3"},
    {Family::ThreeDfx, 25661, 25661, "Rush"},
    {Family::ThreeDfx, 34342, 34342, "Rush"},
    {Family::NVidia, 24, 25, "Riva 128"},
    {Family::NVidia, 32, 32, "Riva TNT"},
    {Family::NVidia, 40, 40, "Riva TNT2"},
    {Family::NVidia, 41, 41, "Riva TNT2 Ultra"},
    {Family::NVidia, 44, 44, "Riva TNT2 Vanta"},
    {Family::NVidia, 45, 45, "Riva TNT2 M64"},
    {Family::NVidia, 256, 256, "GeForce SDR"},
    {Family::NVidia, 257, 257, "GeForce DDR"},
    {Family::NVidia, 258, 258, "GeForce"},
    {Family::NVidia, 259, 259, "Quadro"},
    {Family::NVidia, 272, 275, "GeForce"},
    {Family::NVidia, 336, 339, "GeForce"},
    {Family::Rendition, 1, 1, "V1000"},
    {Family::Guillemot, 19744, 19744, "Cougar - TNT2 M64"},
    {Family::Guillemot, 20488, 20488, "Phoenix 2 - TNT Vanta"},
    {Family::Guillemot, 20512, 20512, "Phophet - GeForce256"},
    {Family::Guillemot, 22048, 22048, "Cougar VE - TNT2  M64"},
    {Family::Guillemot, 22544, 22544, "Xentor - TNT2"},
    {Family::Guillemot, 22560, 22560, "Xentor 32 - TNT2 Ultra"},
    {Family::ThreeDLabs, 1, 1, "300SX"},
    {Family::ThreeDLabs, 2, 2, "500TX"},
    {Family::ThreeDLabs, 3, 3, "DELTA"},
    {Family::ThreeDLabs, 4, 4, "Permedia 1"},
    {Family::ThreeDLabs, 6, 6, "MX"},
    {Family::ThreeDLabs, 7, 7, "Permedia 2"},
    {Family::ThreeDLabs, 8, 8, "Gamma"},
    {Family::ThreeDLabs, 10, 10, "Permedia 3"},
    {Family::ThreeDLabs, 11, 11, "R3"},
    {Family::ThreeDLabs, 12, 12, "P4"},
    {Family::ThreeDLabs, 13, 13, "R4"},
    {Family::ThreeDLabs, 14, 14, "G2"},
    {Family::S3, 35360, 35360, "Savage3D"},
    {Family::S3, 35362, 35362, "Savage4"},
};

} // namespace

const char* AwGetVideoVendorName(uint32_t vendorId) {
    for (const Vendor& vendor : kVendors)
        if (vendor.id == vendorId) return vendor.name;
    return kUnknown;
}

const char* AwGetVideoChipName(uint32_t vendorId, uint32_t deviceId) {
    for (const VendorFamily& entry : kFamilies) {
        if (entry.vendor != vendorId) continue;
        for (const Chip& chip : kChips)
            if (chip.family == entry.family && deviceId >= chip.first && deviceId <= chip.last) return chip.name;
        break;
    }
    return kUnknown;
}
