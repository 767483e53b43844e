#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/module.h"
#include "tests/support/temp_dir.h"

namespace {

// Texts in UTF-8; the resource compiler stores them as UTF-16.
const std::string kLongText(1100, 'x');
const std::string kResourceScript = "STRINGTABLE\nBEGIN\n"
                                    "  1 \"Plain text\"\n"
                                    "  2 \"caf\xC3\xA9\"\n"                                  // é
                                    "  3 \"\xE2\x82\xAC" "5 \xE2\x80\x9Cquoted\xE2\x80\x9D\"\n" // € “ ”
                                    "  4 \"\xCE\xA9mega\"\n"                                  // Ω: not in the code page
                                    "  5 \"" + kLongText + "\"\n"
                                    "  17 \"Second block\"\n"
                                    "END\n";

struct Case {
    uint32_t id;
    std::string text; // Windows-1252
};
const std::vector<Case> kExpected = {
    {1, "Plain text"}, {2, "caf\xE9"},       {3, "\x80" "5 \x93quoted\x94"},
    {4, "?mega"},      {5, kLongText},       {17, "Second block"},
    {0, ""},           {6, ""},              {16, ""}, // ids without a text
};

// Builds a resource-only DLL with the mingw binutils of the given target.
std::string BuildDll(const TempDir& dir, const std::string& target) {
    dir.Write("s.rc", kResourceScript);
    const std::string stem = dir / target;
    const std::string command = "cd '" + dir.path() + "' && " + target + "-windres --preprocessor=cat -c 65001 s.rc -O coff -o '" +
                                stem + ".o' && " + target + "-ld --dll -e 0 -o '" + stem + ".dll' '" + stem + ".o'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return stem + ".dll";
}

std::string Load(const plat::ResourceModule* module, uint32_t id, int size = 1024) {
    std::vector<char> buffer(static_cast<size_t>(size), '#');
    const int n = plat::LoadResourceString(module, id, buffer.data(), size);
    EXPECT_EQ(std::string(buffer.data()).size(), static_cast<size_t>(n)) << "id " << id;
    return std::string(buffer.data(), static_cast<size_t>(n));
}

class ResourceDll : public testing::TestWithParam<const char*> {
protected:
    TempDir dir_;
    std::string dll_ = BuildDll(dir_, GetParam());
};

TEST_P(ResourceDll, TextsComeOutInWindows1252AndLongOnesAreCut) {
    plat::ResourceModule* module = plat::LoadResourceModule(dll_);
    ASSERT_NE(module, nullptr);
    for (const Case& c : kExpected) {
        const std::string cut = c.text.substr(0, 1023); // a 1,024-byte buffer holds 1,023 characters
        EXPECT_EQ(Load(module, c.id), cut) << "id " << c.id;
    }
    EXPECT_EQ(Load(module, 1, 6), "Plain");
    EXPECT_EQ(Load(module, 1, 1), "");
    plat::FreeResourceModule(module);
}

TEST_P(ResourceDll, DamagedFilesGiveNoModuleOrFewerTextsButNeverWrongOnes) {
    const std::string whole = TempDir::Read(dll_);
    ASSERT_GT(whole.size(), 512u);
    // Loads a damaged copy; every text it still has must pass the check.
    auto load = [&](const std::string& bytes, const std::string& what, auto textIsSound) {
        const std::string damaged = dir_.Write("damaged.dll", bytes);
        plat::ResourceModule* module = plat::LoadResourceModule(damaged);
        if (!module) return;
        for (const Case& c : kExpected) {
            const std::string text = Load(module, c.id);
            if (!text.empty() && !textIsSound(text, c.text.substr(0, 1023)))
                ADD_FAILURE() << what << ": id " << c.id << " reads \"" << text.substr(0, 40) << "\"";
        }
        plat::FreeResourceModule(module);
    };
    auto same = [](const std::string& text, const std::string& expected) { return text == expected; };
    for (size_t size = 0; size < whole.size(); ++size) load(whole.substr(0, size), "cut at " + std::to_string(size), same);
    // Every header, directory and length field set to a huge value in turn; an
    // overwritten character changes a text but never its length.
    auto sameLength = [](const std::string& text, const std::string& expected) { return text.size() == expected.size(); };
    for (size_t i = 0; i + 4 <= whole.size(); i += 2) {
        std::string bytes = whole;
        bytes.replace(i, 4, "\xFF\xFF\xFF\x7F");
        load(bytes, "0x7FFFFFFF at " + std::to_string(i), sameLength);
    }
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, ResourceDll, testing::Values("i686-w64-mingw32", "x86_64-w64-mingw32"));

TEST(ResourceModule, MissingFilesAndOtherFormatsLoadNothing) {
    TempDir dir;
    EXPECT_EQ(plat::LoadResourceModule(dir / "absent.dll"), nullptr);
    EXPECT_EQ(plat::LoadResourceModule(dir.Write("text.dll", "MZ but not an image")), nullptr);
    char buffer[8] = "unset";
    EXPECT_EQ(plat::LoadResourceString(nullptr, 1, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
}

} // namespace
