#include "platform/sdl/texture_cache.h"

#include "platform/d3d/blit.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"
#include "platform/fpu.h"

namespace plat {
namespace {

bool Convertible(const Surface& s) {
    const FormatKind kind = KindOf(s.Format());
    return kind == FormatKind::Rgb || kind == FormatKind::Dxt1 || kind == FormatKind::Dxt3;
}

// The surface and the mip levels below it, each with a reference held.
std::vector<Surface*> MipLevels(Surface& top) {
    std::vector<Surface*> levels{&top};
    top.AddRef();
    for (Surface* s = &top; levels.size() < 16;) {
        Surface* next = nullptr;
        if (Failed(s->GetAttachedSurface({kDdsCapsMipMap}, &next))) break;
        levels.push_back(next);
        s = next;
    }
    return levels;
}

} // namespace

TextureCache::~TextureCache() {
    NearestRoundingScope nearest;
    for (auto& [surface, entry] : entries_) glDeleteTextures(1, &entry.name);
}

bool TextureCache::Upload(Entry& e, const std::vector<Surface*>& levels) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    for (size_t i = 0; i < levels.size(); ++i) {
        Surface& level = *levels[i];
        const uint64_t version = level.ContentVersion();
        if (i < e.levelVersions.size() && e.levelVersions[i] == version) continue;
        const uint32_t w = level.Width(), h = level.Height();
        scratch_.resize(size_t{w} * h);
        const Rect whole{0, 0, int32_t(w), int32_t(h)};
        const PixelView argb{reinterpret_cast<uint8_t*>(scratch_.data()), int32_t(w * 4), w, h, Argb8888Format()};
        if (!level.ReadPixels([&](const PixelView& view) { CopyPixels(argb, whole, whole, view, whole); }))
            return false;
        glTexImage2D(GL_TEXTURE_2D, GLint(i), GL_RGBA8, GLsizei(w), GLsizei(h), 0, GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, scratch_.data());
        if (e.levelVersions.size() <= i) e.levelVersions.resize(i + 1);
        e.levelVersions[i] = version;
    }
    return true;
}

GLuint TextureCache::Bind(Surface& texture) {
    if (!Convertible(texture)) return 0;
    Entry& e = entries_[&texture];
    e.lastFrame = frame_;
    if (e.name && (e.width != texture.Width() || e.height != texture.Height())) {
        glDeleteTextures(1, &e.name);
        e = Entry{};
    }
    if (!e.name) {
        glGenTextures(1, &e.name);
        e.width = texture.Width();
        e.height = texture.Height();
    }
    glBindTexture(GL_TEXTURE_2D, e.name);
    const std::vector<Surface*> levels = MipLevels(texture);
    const bool uploaded = Upload(e, levels);
    for (Surface* level : levels) level->Release();
    if (!uploaded && e.levelVersions.empty()) {
        glBindTexture(GL_TEXTURE_2D, 0);
        return 0;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(e.levelVersions.size()) - 1);
    return e.name;
}

void TextureCache::EndFrame() {
    ++frame_;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (frame_ - it->second.lastFrame > kIdleFrames) {
            glDeleteTextures(1, &it->second.name);
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace plat
