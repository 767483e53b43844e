#include "image/ilbm_reader.h"

#include <algorithm>
#include <cstring>

#include "image/bit_planes.h"
#include "image/iff_file.h"
#include "image/ilbm_chunks.h"
#include "image/image_reader.h"
#include "image/media_stream.h"
#include "image/pixel_pack.h"
#include "image/texture_error.h"
#include "image/texture_loader_state.h"

namespace {

constexpr uint32_t kMaxPlanes = 8; // values are palette indices of at most 256 colours
constexpr uint32_t kFourCcDxt1 = MakeIffId("DXT1");

// Pixels rounded up to whole 4x4 blocks.
constexpr uint32_t WholeBlocks(uint32_t pixels) { return (pixels + 3) & ~3u; }

template <class T> const T* As(const IffChunk* chunk) { return dynamic_cast<const T*>(chunk); }

// Packs R, G, B without the alpha mask: the form a colour key takes.
uint32_t PackKey(const PixelFormat& f, const uint8_t* rgb) {
    return PixelPackRgbValue(f, rgb[0], rgb[1], rgb[2]) & ~f.ddpf.alphaBitMask;
}

// A colour that packs like the transparent colour is moved by one quantisation
// step in the channel where that costs least, so that only the transparent
// pixels match the key.
uint32_t MoveOffKey(const PixelFormat& f, const uint8_t* rgb) {
    using C = PixelFormat::Channel;
    struct Move {
        C channel;
        int direction;
    };
    uint8_t moved[3] = {rgb[0], rgb[1], rgb[2]};
    auto cost = [&](C channel, int direction) -> int {
        uint32_t step = 1u << f.loss[channel];
        uint32_t value = rgb[channel];
        if (direction < 0) return value >= step ? static_cast<int>(value % step + (step + 1) / 2) : -1;
        return value + step < 256 ? static_cast<int>(step * 3 / 2 - value % step) : -1;
    };
    int greenDown = cost(C::kGreen, -1), greenUp = cost(C::kGreen, +1);
    int greenDirection = greenDown >= 0 && (greenUp < 0 || greenDown < greenUp) ? -1 : +1;
    const Move order[] = {{C::kBlue, +1}, {C::kBlue, -1}, {C::kRed, +1}, {C::kGreen, greenDirection}, {C::kRed, -1}};
    const Move* best = nullptr;
    int bestCost = 0;
    for (const Move& m : order) {
        int c = cost(m.channel, m.direction);
        if (c >= 0 && (!best || c < bestCost)) {
            best = &m;
            bestCost = c;
        }
    }
    if (best) moved[best->channel] = static_cast<uint8_t>(moved[best->channel] + best->direction * (1 << f.loss[best->channel]));
    return PackKey(f, moved);
}

class IlbmReader final : public ImageReader {
public:
    ~IlbmReader() override {
        if (file_) file_->Release();
    }

    uint32_t ColoursForPalette() override { return largestColours_; }
    uint32_t ColoursForIndexRange() override { return smallestColours_; }
    bool ColourKeyRequest(bool wanted) override;
    uint32_t AlphaBits() override { return alphaBits_; }
    void CheckPalette(uint32_t entries) override {
        current_ = &top_;
        Prepare(entries);
    }
    uint32_t FurtherLevels() override { return static_cast<uint32_t>(levels_.size()); }
    const uint8_t* Palette() override { return palette_.empty() ? nullptr : palette_.data(); }
    void* RowBuffer(uint32_t y) override;
    const void* AlphaRow(uint32_t y) override;
    void ReadRow(void*) override {}
    void ConvertRow(uint8_t* destination, uint32_t destinationWidth, const void* row, const void* alphaRow, uint32_t first,
                    uint32_t count, const uint8_t* palette) override;
    void SelectLevel(uint32_t index, uint32_t entries) override;
    uint32_t ColourKeyValue() override { return keyValue_; }
    void EndBuild(bool) override { FreeDecodeBuffers(); }
    bool Compressed() override { return compressed_; }
    uint32_t FourCC() override { return __builtin_bswap32(fourCc_); } // the device's byte order

    void ReadHeader(MediaStream& stream) override;
    void AllocateBuffers(bool, uint32_t entries) override { CheckPalette(entries); }
    void EndLoad(bool) override { FreeDecodeBuffers(); }
    // The reader itself: the whole tree stays for later rebuilds.
    ImageSource* DetachDecodedImage() override {
        AddRef();
        return this;
    }

private:
    using Versions = std::vector<const IffChunk*>; // BODY or S3TC chunks of one level

    void CollectVersions(IffChunk& group, IffId id, Versions& out, bool top);
    void Prepare(uint32_t colourLimit);
    bool PrepareCompressed();
    bool PrepareBitmap(uint32_t colourLimit);
    void FreeDecodeBuffers();

    IffFile* file_ = nullptr;
    Versions top_;
    std::vector<Versions> levels_;
    Versions* current_ = &top_;
    uint32_t largestColours_ = 0;
    uint32_t smallestColours_ = 0xFFFFFFFF;
    uint32_t alphaBits_ = 0;
    bool compressed_ = false;
    uint32_t fourCc_ = 0; // as stored in the file

    // The prepared level.
    bool prepared_ = false;
    const IlbmS3tc* s3tc_ = nullptr;
    uint32_t bytesPerBlockRow_ = 0;
    uint32_t bitsPerBlockColumn_ = 0;
    uint8_t masking_ = kMaskNone;
    uint32_t transparentIndex_ = 0;
    uint32_t keyValue_ = 0;
    BitPlaneDecoder body_;
    BitPlaneDecoder alpha_;
    bool hasAlpha_ = false;
    std::vector<uint32_t> bodyRow_;
    std::vector<uint32_t> alphaRow_;
};

void IlbmReader::CollectVersions(IffChunk& group, IffId id, Versions& out, bool top) {
    IffComposite* composite = group.AsComposite();
    if (!composite) return;
    composite->Visit(kIffIlbm, id, [&](IffChunk& chunk) {
        if (!As<IlbmBitmapHeader>(chunk.FindProperty(kIffBmhd))) return true;
        if (id == kIffBody) {
            const auto* cmap = As<IlbmColourMap>(chunk.FindProperty(kIffCmap));
            if (!cmap || !As<IlbmBody>(&chunk)) return true;
            if (top) {
                largestColours_ = std::max(largestColours_, cmap->Count());
                smallestColours_ = std::min(smallestColours_, cmap->Count());
            }
        } else if (!As<IlbmS3tc>(&chunk)) {
            return true;
        }
        out.push_back(&chunk);
        return true;
    });
}

void IlbmReader::ReadHeader(MediaStream& stream) {
    top_.clear();
    levels_.clear();
    if (!file_) file_ = new IffFile;
    if (!file_->ReadFromStream(stream) || !file_->Top()) {
        TextureFail(stream.Status() & (MediaStream::kOsFailure | MediaStream::kUnsupported) ? kTextureStreamFailed
                                                                                          : kTextureBadImage);
        return;
    }
    compressed_ = false;
    fourCc_ = 0;
    largestColours_ = 0;
    smallestColours_ = 0xFFFFFFFF;
    current_ = &top_;
    IffChunk& root = *file_->Top();
    CollectVersions(root, kIffBody, top_, true);
    if (top_.empty()) {
        CollectVersions(root, kIffS3tc, top_, true);
        compressed_ = !top_.empty();
        if (compressed_) fourCc_ = As<IlbmS3tc>(top_.front())->fourCc;
    }
    if (compressed_) alphaBits_ = fourCc_ == kFourCcDxt1 ? 0 : 8;
    else if (!top_.empty())
        if (const auto* alph = As<IlbmAlpha>(top_.front()->FindProperty(kIffAlph))) alphaBits_ = alph->planes;

    const IffChunk* cont = nullptr;
    root.AsComposite()->Visit(kIffMipm, kIffCont, [&cont](IffChunk& chunk) {
        cont = &chunk;
        return false;
    });
    const IffComposite* siblings = cont && cont->Parent() ? cont->Parent()->Parent() : nullptr;
    if (!siblings) return;
    for (IffChunk* child : siblings->Children()) {
        IffComposite* list = child->Id() == kIffList ? child->AsComposite() : nullptr;
        if (!list || (list->FormType() != kIffAny && list->FormType() != kIffIlbm)) continue;
        levels_.emplace_back();
        CollectVersions(*list, compressed_ ? kIffS3tc : kIffBody, levels_.back(), false);
    }
}

bool IlbmReader::ColourKeyRequest(bool wanted) {
    if (top_.empty()) return wanted;
    const auto* bmhd = As<IlbmBitmapHeader>(top_.front()->FindProperty(kIffBmhd));
    return bmhd && bmhd->masking == kMaskTransparentColour;
}

void IlbmReader::SelectLevel(uint32_t index, uint32_t entries) {
    if (index >= levels_.size()) {
        TextureFail(kTextureBadImage);
        return;
    }
    current_ = &levels_[index];
    Prepare(entries);
}

void IlbmReader::Prepare(uint32_t colourLimit) {
    FreeDecodeBuffers();
    if (current_->empty()) {
        TextureFail(kTextureBadImage);
        return;
    }
    prepared_ = compressed_ ? PrepareCompressed() : PrepareBitmap(colourLimit);
}

bool IlbmReader::PrepareCompressed() {
    const IffChunk* chunk = current_->front();
    s3tc_ = As<IlbmS3tc>(chunk);
    const auto* bmhd = As<IlbmBitmapHeader>(chunk->FindProperty(kIffBmhd));
    if (!s3tc_ || !bmhd || !SetImageSize(bmhd->width, bmhd->height)) return false;
    paletteCount = 0;
    palette_.clear();
    // The block rows must cover the image: each row of 4x4 blocks holds a whole
    // number of blocks for at least the image's width, in the block size of the code.
    // A level smaller than a block still fills one: its sides count as whole blocks.
    uint32_t blockBytes = fourCc_ == kFourCcDxt1 ? 8 : 16;
    if (s3tc_->width == 0 || s3tc_->height == 0) {
        TextureFail(kTextureBadImage);
        return false;
    }
    uint64_t perBlockRow = uint64_t{s3tc_->data.size()} * 4 / WholeBlocks(s3tc_->height);
    uint64_t perColumn = perBlockRow * 8 / WholeBlocks(s3tc_->width);
    uint64_t blockRows = (uint64_t{height} + 3) / 4;
    uint64_t blocksAcross = (uint64_t{width} + 3) / 4;
    if (perColumn != blockBytes * 2 || blocksAcross * blockBytes > perBlockRow || blockRows * perBlockRow > s3tc_->data.size()) {
        TextureFail(kTextureBadImage);
        return false;
    }
    bytesPerBlockRow_ = static_cast<uint32_t>(perBlockRow);
    bitsPerBlockColumn_ = static_cast<uint32_t>(perColumn);
    keyValue_ = 0;
    const auto* tran = As<IlbmTransparency>(chunk->FindProperty(kIffTran));
    if (tran && tran->flag != 0) {
        keyValue_ = PackKey(TextureLoader.current, tran->colour);
        TextureLoader.current.flags |= PixelFormat::kKeyFound;
    }
    return true;
}

bool IlbmReader::PrepareBitmap(uint32_t colourLimit) {
    const IffChunk* best = nullptr;
    uint32_t bestCount = 0;
    for (const IffChunk* version : *current_) {
        uint32_t count = As<IlbmColourMap>(version->FindProperty(kIffCmap))->Count();
        if ((colourLimit == 0 || count <= colourLimit) && (!best || count > bestCount)) {
            best = version;
            bestCount = count;
        }
    }
    if (!best) {
        TextureFail(kTexturePaletteMismatch);
        return false;
    }
    const auto* body = As<IlbmBody>(best);
    const auto* bmhd = As<IlbmBitmapHeader>(best->FindProperty(kIffBmhd));
    const auto* cmap = As<IlbmColourMap>(best->FindProperty(kIffCmap));
    const auto* alph = As<IlbmAlpha>(best->FindProperty(kIffAlph));
    if (!SetImageSize(bmhd->width, bmhd->height)) return false;
    paletteCount = cmap->Count();
    palette_ = cmap->colours;
    masking_ = bmhd->masking;
    transparentIndex_ = bmhd->transparentColour;
    bool badMasking = masking_ != kMaskNone && (masking_ != kMaskTransparentColour || transparentIndex_ >= paletteCount);
    bool badAlpha = alph && (alph->planes > kMaxPlanes || alph->width < width);
    if (bmhd->planes > kMaxPlanes || badMasking || badAlpha) {
        TextureFail(kTextureBadImage);
        return false;
    }
    const PixelFormat& format = TextureLoader.current;
    keyValue_ = 0;
    if (masking_ == kMaskTransparentColour)
        keyValue_ = format.Palettized() ? transparentIndex_ : PackKey(format, &palette_[transparentIndex_ * 3]);
    body_.Start(body->bytes, width, bmhd->planes, bmhd->compression != 0);
    bodyRow_.assign(width, 0);
    hasAlpha_ = alph != nullptr;
    if (hasAlpha_) {
        alpha_.Start(alph->bytes, alph->width, alph->planes, alph->compression != 0);
        alphaRow_.assign(alph->width, 0);
    }
    return true;
}

void IlbmReader::FreeDecodeBuffers() {
    prepared_ = false;
    hasAlpha_ = false;
    std::vector<uint32_t>().swap(bodyRow_);
    std::vector<uint32_t>().swap(alphaRow_);
}

void* IlbmReader::RowBuffer(uint32_t y) {
    if (!prepared_) {
        TextureFail(kTextureBadImage);
        bodyRow_.assign(width, 0);
        return bodyRow_.data();
    }
    if (compressed_) return const_cast<uint8_t*>(s3tc_->data.data()) + size_t{y / 4} * bytesPerBlockRow_;
    if (!body_.NextRow(bodyRow_.data())) {
        TextureFail(kTextureBadImage); // a short BODY row
        return bodyRow_.data();
    }
    for (uint32_t value : bodyRow_)
        if (value >= paletteCount) {
            TextureFail(kTextureBadImage); // a pixel beyond the colour map
            break;
        }
    return bodyRow_.data();
}

const void* IlbmReader::AlphaRow(uint32_t) {
    if (!prepared_ || !hasAlpha_) return nullptr;
    if (!alpha_.NextRow(alphaRow_.data())) TextureFail(kTextureBadImage);
    return alphaRow_.data();
}

void IlbmReader::ConvertRow(uint8_t* destination, uint32_t destinationWidth, const void* row, const void* alphaRow,
                            uint32_t first, uint32_t count, const uint8_t*) {
    const PixelFormat& f = TextureLoader.current;
    if (compressed_) {
        // Whole blocks only: a cut block would be garbage, and a level narrower
        // than a block still takes the whole block.
        uint32_t columns = std::min({WholeBlocks(count), WholeBlocks(destinationWidth),
                                     bytesPerBlockRow_ * 8 / bitsPerBlockColumn_ - first});
        std::memcpy(destination, static_cast<const uint8_t*>(row) + size_t{first} * bitsPerBlockColumn_ / 8,
                    size_t{columns} * bitsPerBlockColumn_ / 8);
        return;
    }
    const uint32_t* values = static_cast<const uint32_t*>(row) + first;
    if (f.Palettized()) {
        PixelCopyIndices(f.bits, destination, destinationWidth, values, count);
        return;
    }
    const uint32_t* alphas = alphaRow ? static_cast<const uint32_t*>(alphaRow) + first : nullptr;
    uint32_t last = 0;
    for (uint32_t x = 0; x < count; ++x) {
        uint32_t index = values[x];
        const uint8_t* rgb = &palette_[index * 3];
        uint32_t value = PackKey(f, rgb);
        bool transparent = masking_ == kMaskTransparentColour && index == transparentIndex_;
        if (transparent) value = keyValue_;
        else if (masking_ == kMaskTransparentColour && value == keyValue_) value = MoveOffKey(f, rgb);
        if (!transparent) {
            if (alphas) value |= (alphas[x] >> f.loss[PixelFormat::kAlpha]) << f.shift[PixelFormat::kAlpha];
            else value |= f.ddpf.alphaBitMask;
        }
        last = value;
        PixelStore(destination, x, value, f.bits);
    }
    if (count > 0 && count < destinationWidth) PixelStore(destination, count, last, f.bits);
}

} // namespace

ImageReader* IlbmReaderCreate() { return new IlbmReader; }
