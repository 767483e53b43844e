#include <gtest/gtest.h>

#include <string>

#include "Awapi/video_card.h"

namespace {

TEST(VideoCardNames, ChipsAreNamedByVendorAndDevice) {
    const struct {
        uint32_t vendor, device;
        std::string name;
    } cases[] = {
        {0x121A, 5, "Voodoo 3"},          {0x10D9, 2, "Voodoo 2"},      {0x1142, 25661, "Rush"},
        {0x121A, 4, "Unknown"},           {0x12D2, 274, "GeForce"},     {0x10DE, 25, "Riva 128"},
        {0x10DE, 276, "Unknown"},         {0x14AF, 22048, "Cougar VE - TNT2  M64"},
        {0x1163, 1, "V1000"},             {0x3D3D, 1, "300SX"},         {0x9999, 1, "Unknown"},
    };
    for (const auto& c : cases) EXPECT_EQ(AwGetVideoChipName(c.vendor, c.device), c.name) << c.vendor << "/" << c.device;
}

TEST(VideoCardNames, VendorsAreNamedByTheirIds) {
    EXPECT_STREQ(AwGetVideoVendorName(0x104C), "Texas Intriuments");
    EXPECT_STREQ(AwGetVideoVendorName(0x12D2), "NVidia");
    EXPECT_STREQ(AwGetVideoVendorName(0), "Unknown");
}

} // namespace
