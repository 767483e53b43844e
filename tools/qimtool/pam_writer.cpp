#include "tools/qimtool/pam_writer.h"

#include "platform/files.h"

bool WritePam(const std::string& path, const RgbaImage& image) {
    std::string header = "P7\nWIDTH " + std::to_string(image.width) + "\nHEIGHT " + std::to_string(image.height) +
                         "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    plat::File file = plat::File::Open(path, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
    return file.IsOpen() && file.Write(header.data(), static_cast<uint32_t>(header.size())) &&
           file.Write(image.rgba.data(), static_cast<uint32_t>(image.rgba.size()));
}
