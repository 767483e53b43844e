#include "chunkfile/shortdigest.h"

#include <md5.h>

ShortDigest ComputeShortDigest(std::string_view text) {
    MD5_CTX context;
    MD5Init(&context);
    MD5Update(&context, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    uint8_t digest[MD5_DIGEST_LENGTH];
    MD5Final(digest, &context);
    ShortDigest key{};
    for (size_t i = 0; i < 7; ++i) key[i] = digest[i];
    return key;
}
