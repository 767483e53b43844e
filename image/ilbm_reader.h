#pragma once
// IFF images (magics "FORM", "LIST", "CAT "): FORM ILBM bitmaps with a colour
// map, optional alpha planes and transparent colour, or S3TC blocks. One file
// may hold several versions of the image with different colour counts (the
// reader takes the one that fits the chosen palette), and a FORM MIPM beside
// LISTs of further stored levels.

class ImageReader;

ImageReader* IlbmReaderCreate();
