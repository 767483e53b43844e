// Paths against shape-instance trees and placed objects: each level takes the
// path into its own space and carries a hit's normal back out.
#include "Awapi/bounding_box.h"
#include "Awapi/object.h"
#include "Awapi/shape_instance.h"
#include "Tv/world/intersection.h"
#include "Tv/world/path_frames.h"

namespace {

using Segment = SegmentPath;

struct Ballistic {
    Vector3 p, v, g;
};

Ballistic Into(const Matrix34& inverse, const Ballistic& b) {
    Ballistic out;
    inverse.TransformPoint(out.p, b.p);
    inverse.TransformVector(out.v, b.v);
    inverse.TransformVector(out.g, b.g);
    return out;
}

bool HitBox(HitRecord& record, const Vector3& min, const Vector3& max, const Segment& s) {
    return SegmentHitBox(record, min, max, s.a, s.d);
}
bool HitBox(HitRecord& record, const Vector3& min, const Vector3& max, const Ballistic& b) {
    return BallisticHitBox(record, min, max, b.p, b.v, b.g);
}
bool HitShape(HitRecord& record, const AwShape& shape, const Segment& s) {
    return SegmentHitShape(record, shape, s.a, s.d);
}
bool HitShape(HitRecord& record, const AwShape& shape, const Ballistic& b) {
    return BallisticHitShape(record, shape, b.p, b.v, b.g);
}

// The node's box, the path already in node space.
template <class Path>
bool HitOwnBox(HitRecord& record, const AwShapeInstance& node, const Path& local) {
    return node.Box && HitBox(record, node.Box->Min(), node.Box->Max(), local);
}

template <class Path>
bool HitNodeBounds(HitRecord& record, AwShapeInstance& node, const Path& path) {
    return InFrame(record, node, path, [&](HitRecord& r, const Path& local) { return HitOwnBox(r, node, local); });
}

template <class Path>
bool HitTree(HitRecord& record, AwShapeInstance& node, const Path& path) {
    return InFrame(record, node, path, [&](HitRecord& r, const Path& local) {
        if (node.Box) {
            HitRecord scratch = r; // the bounds never change the caller's record
            if (!HitOwnBox(scratch, node, local)) return false;
        }
        if (const AwShape* shape = node.Slots[0]) return HitShape(r, *shape, local);
        bool hit = false;
        for (AwShapeInstance* child : node.Children)
            if (HitTree(r, *child, local)) hit = true;
        return hit;
    });
}

template <class Path>
bool HitObject(HitRecord& record, AwObject& object, const Path& path) {
    if (!object.Root) return false;
    return InFrame(record, object, path,
                   [&](HitRecord& r, const Path& local) { return HitTree(r, *object.Root, local); });
}

template <class Path>
bool HitObjectBounds(HitRecord& record, AwObject& object, const Path& path) {
    return InFrame(record, object, path, [&](HitRecord& r, const Path& local) {
        if (object.HasBox) {
            const bool collision = object.CollisionFlag != 0;
            return HitBox(r, collision ? object.CollisionMin : object.Min, collision ? object.CollisionMax : object.Max,
                          local);
        }
        return object.Root && HitNodeBounds(r, *object.Root, local);
    });
}

} // namespace

bool SegmentHitNodeBounds(HitRecord& record, AwShapeInstance& node, const Vector3& a, const Vector3& d) {
    return HitNodeBounds(record, node, Segment{a, d});
}

bool BallisticHitNodeBounds(HitRecord& record, AwShapeInstance& node, const Vector3& p, const Vector3& v,
                            const Vector3& g) {
    return HitNodeBounds(record, node, Ballistic{p, v, g});
}

bool TvSegmentHitShapeTree(HitRecord& record, AwShapeInstance& node, const Vector3& a, const Vector3& d) {
    return HitTree(record, node, Segment{a, d});
}

bool TvBallisticHitShapeTree(HitRecord& record, AwShapeInstance& node, const Vector3& p, const Vector3& v,
                             const Vector3& g) {
    return HitTree(record, node, Ballistic{p, v, g});
}

bool SegmentHitObject(HitRecord& record, AwObject& object, const Vector3& a, const Vector3& d) {
    return HitObject(record, object, Segment{a, d});
}

bool BallisticHitObject(HitRecord& record, AwObject& object, const Vector3& p, const Vector3& v, const Vector3& g) {
    return HitObject(record, object, Ballistic{p, v, g});
}

bool SegmentHitObjectBounds(HitRecord& record, AwObject& object, const Vector3& a, const Vector3& d) {
    return HitObjectBounds(record, object, Segment{a, d});
}

bool BallisticHitObjectBounds(HitRecord& record, AwObject& object, const Vector3& p, const Vector3& v,
                              const Vector3& g) {
    return HitObjectBounds(record, object, Ballistic{p, v, g});
}

void BuildShapeTreeMatrices(AwShapeInstance& root) {
    root.GetMatrix();
    root.GetInverseMatrix();
    for (AwShapeInstance* child : root.Children) BuildShapeTreeMatrices(*child);
}
