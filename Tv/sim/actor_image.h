#pragma once
// An actor's image in a saved game: a synthetic record of GetSize bytes built
// from one offset table per class, each extending its base's. Bytes 0-3 hold
// the class tag (four letters, stable across builds), the fields the loader
// uses lie at their fixed offsets and widths, every other byte is zero. The
// tag tells the loader the class before the actor is built.

#include <array>
#include <cstdint>

#include "core/maths.h"
#include "core/matrix.h"

class ServerObject;

constexpr int32_t kActorImageMaxSize = 800;

// Fields the loader reads before the actor exists (it gives them to the constructor).
constexpr int32_t kImagePosition = 160;
constexpr int32_t kImageOrientation = 172;
constexpr int32_t kImageTeam = 188;
constexpr int32_t kImageOrigin = 288;     // projectiles
constexpr int32_t kImageShooterId = 300;  // projectiles
constexpr int32_t kImageDamageKind = 352; // projectiles
// Pickups: 1 when the state record carries the text, else 0.
constexpr int32_t kImagePickupScript = 308;
constexpr int32_t kImagePickupKey = 312;

struct ActorImage {
    int32_t Size = 0;
    std::array<uint8_t, kActorImageMaxSize> Bytes{};

    // Little-endian values at an offset within Size (the tables keep them there).
    uint32_t Word(int32_t offset) const;
    int32_t Int(int32_t offset) const { return static_cast<int32_t>(Word(offset)); }
    Vector3 VectorAt(int32_t offset) const;
    Quaternion QuaternionAt(int32_t offset) const;
    uint32_t Tag() const { return Word(0); }
};

// The class tag the actor's image carries.
uint32_t ActorTagOf(const ServerObject& actor);
// The image size of the class a tag names, 0 for a tag that names none.
int32_t ImageSizeOfTag(uint32_t tag);
bool IsProjectileTag(uint32_t tag);

// The actor's image: GetSize bytes, its tag, its class's fields, zeros elsewhere.
void WriteActorImage(const ServerObject& actor, ActorImage& image);
// True when the tag names a class of the image's size and every field with a
// range (AI core, team, path state) lies in it.
bool ActorImageValid(const ActorImage& image);
// Copies the restored fields of the actor's class from the image; the caller
// has checked the image (ActorImageValid) and that its tag is the actor's.
void RestoreActorImage(ServerObject& actor, const ActorImage& image);
