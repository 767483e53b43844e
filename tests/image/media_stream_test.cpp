// Streams: the window's limit and usage count, the memory stream's bounds, and
// the buffered reading the readers share (put back after a peek, file streams
// left right after the bytes used).
#include <gtest/gtest.h>

#include <string>

#include "image/file_stream.h"
#include "image/memory_stream.h"
#include "image/window_stream.h"
#include "platform/files.h"
#include "tests/image/image_test_support.h"

namespace {

std::string Bytes(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i);
    return s;
}

template <class T> struct Owned {
    T* p;
    template <class... A> explicit Owned(A&&... a) : p(new T(std::forward<A>(a)...)) {}
    ~Owned() { p->Release(); }
    T* operator->() { return p; }
    T& operator*() { return *p; }
};

TEST(WindowStream, LimitsReadsAndBuffersToItsWindow) {
    std::string data = Bytes(100);
    Owned<MemoryStream> inner(data.data(), 100);
    Owned<WindowStream> window;
    window->Attach(inner.p, 10);

    char scrap[12];
    window->Read(scrap, 12);
    EXPECT_EQ(window->Status(), MediaStream::kEndOfData);
    EXPECT_EQ(window->BytesUsed(), 0u) << "a refused read transfers nothing";

    uint32_t length = 0;
    window->GetReadBuffer(length, 1024);
    EXPECT_EQ(length, 10u);
    window->ReleaseReadBuffer(0);
}

TEST(WindowStream, CountsTheFurthestPositionReachedAsUsed) {
    std::string data = Bytes(100);
    Owned<MemoryStream> inner(data.data(), 100);
    Owned<WindowStream> window;
    window->Attach(inner.p, 50);
    char scrap[8];
    ASSERT_TRUE(window->Take(scrap, 8));
    window->Flush();
    window->Seek(2);
    ASSERT_TRUE(window->Take(scrap, 3));
    EXPECT_EQ(scrap[0], 2);
    window->Detach();
    EXPECT_EQ(window->BytesUsed(), 8u);
}

TEST(MediaStream, PutBackAfterAPeekKeepsTheByteCountedAsUsed) {
    std::string data = Bytes(20);
    Owned<MemoryStream> inner(data.data(), 20);
    Owned<WindowStream> window;
    window->Attach(inner.p, 20);
    EXPECT_EQ(window->TakeByte(), 0);
    EXPECT_EQ(window->TakeByte(), 1);
    EXPECT_EQ(window->TakeByte(), 2);
    window->PutBack(3);
    EXPECT_EQ(window->TakeByte(), 0) << "the bytes come back in order";
    EXPECT_EQ(window->Detach(), 1u);
    EXPECT_EQ(window->BytesUsed(), 3u) << "bytes looked at count as used";
}

TEST(MemoryStream, StaysWithinItsBlockAndRefusesEverythingWithoutOne) {
    std::string data = Bytes(5);
    Owned<MemoryStream> stream(data.data(), 5);
    char out[8] = {};
    EXPECT_FALSE(stream->Take(out, 6));
    EXPECT_NE(stream->Status() & MediaStream::kEndOfData, 0u);

    Owned<MemoryStream> none(nullptr, 0);
    uint32_t length = 7;
    EXPECT_EQ(none->GetReadBuffer(length, 10), nullptr);
    EXPECT_EQ(length, 0u);
    none->Seek(0);
    EXPECT_EQ(none->Tell(), 0u);
    EXPECT_EQ(none->Status(), MediaStream::kUnsupported);
}

TEST(Win32FileStream, LeavesTheFileRightAfterTheBytesUsedAndReportsTheEnd) {
    std::string path = imagetest::TempDir() + "/stream.bin";
    imagetest::WriteFile(path, Bytes(3000));
    plat::File file = plat::File::Open(path, plat::kAccessRead, plat::FileDisposition::OpenExisting);
    ASSERT_TRUE(file.IsOpen());
    {
        Owned<Win32FileStream> stream(&file);
        char out[2000];
        ASSERT_TRUE(stream->Take(out, 10));    // through a 1,024-byte read buffer
        ASSERT_TRUE(stream->Take(out, 1500));  // larger than the granule: read straight
        EXPECT_EQ(static_cast<uint8_t>(out[0]), 10);
        EXPECT_EQ(stream->Position(), 1510u);
        EXPECT_EQ(stream->BytesRemaining(), 1490u);
    }
    EXPECT_EQ(file.Tell(), 1510) << "read-ahead is handed back";

    file.Seek(3000, plat::SeekOrigin::Begin);
    Owned<Win32FileStream> atEnd(&file);
    uint32_t length = 1;
    atEnd->GetReadBuffer(length, 1024);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(atEnd->Status(), MediaStream::kShortTransfer);
    atEnd->ReleaseReadBuffer(0);

    Owned<Win32FileStream> noFile(nullptr);
    EXPECT_EQ(noFile->TakeByte(), -1);
    EXPECT_NE(noFile->Status() & MediaStream::kUnsupported, 0u);
}

} // namespace
