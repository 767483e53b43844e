#pragma once
// Uncompressed Windows bitmaps (magic "BM"): 1, 2, 4, 8 bits with a palette
// or 24-bit RGB, 12-, 40- and 64-byte headers, rows bottom-up.

class ImageReader;

ImageReader* BmpReaderCreate();
