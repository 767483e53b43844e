#pragma once
// Raw portable anymaps: colour "P6", grey "P5" and black-and-white "P4", with
// 8-bit samples, rows top-down.

class ImageReader;

ImageReader* PnmP6ReaderCreate();
ImageReader* PnmP5ReaderCreate();
ImageReader* PnmP4ReaderCreate();
