#pragma once
// Exact geometric queries: does a path hit a piece of geometry, and where first.
//
// Two kinds of path: a segment A + t D (D usually the vector from A to the end
// point, t in 0..1) and a ballistic path P + V t + G t^2 / 2 (t a time).
// Targets are axis-aligned boxes, spheres, the triangle meshes of shapes,
// shape-instance trees and placed objects, all owned by the engine.
//
// Every test takes a HitRecord whose t the caller sets to the largest
// parameter it accepts, and accepts a candidate only when it is not greater
// than the record's t; an accepted hit overwrites t and the normal and the
// test returns true. Running several tests on one record leaves the nearest
// hit, and between equal parameters the later test wins. A parameter counts
// as not negative when its sign bit is clear (+0.0 is accepted, -0.0 is not).
//
// Trees and objects take the path in the caller's space (world or parent) and
// give the normal back in that space. Their matrices are built lazily by the
// engine: a tree read by two threads must have them built first
// (BuildShapeTreeMatrices). The tests keep no state and take no locks.

#include "core/maths.h"

class AwObject;
class AwShape;
class AwShapeInstance;
struct GeometryTriangle;

struct HitRecord {
    Real t;
    Vector3 normal;
};

// The reciprocal of a zero is taken as this (2^125), with the zero's sign.
constexpr Real kReciprocalOfZero = 4.2535293e37f;

inline Real Reciprocal(Real x) { return 1.0f / x; }

// True when the point, taken to lie in the triangle's plane, is inside or on
// an edge: the test runs in the two axes left when the normal's largest
// component is dropped.
bool TriangleContains(const Vector3& t0, const Vector3& t1, const Vector3& t2, const Vector3& normal,
                      const Vector3& point);
bool GeometryTriangleContains(const GeometryTriangle& triangle, const Vector3& point);

// Axis-aligned box (min, max). A path starting inside hits at t = 0 with the
// normal from the box centre toward the start (zero at the centre).
bool SegmentHitBox(HitRecord& record, const Vector3& min, const Vector3& max, const Vector3& a, const Vector3& d);
bool BallisticHitBox(HitRecord& record, const Vector3& min, const Vector3& max, const Vector3& p, const Vector3& v,
                     const Vector3& g);

// Sphere; a start inside hits at t = 0 with the normal away from the centre.
bool SegmentHitSphere(HitRecord& record, const Vector3& centre, Real radius, const Vector3& a, const Vector3& d);

// Every triangle of the shape's mesh parts (two-sided; the normal keeps the
// winding's direction), after a pre-test on the shape's sphere (when its
// kShapeBoundsSet flag is set) or box.
bool SegmentHitShape(HitRecord& record, const AwShape& shape, const Vector3& a, const Vector3& d);
bool BallisticHitShape(HitRecord& record, const AwShape& shape, const Vector3& p, const Vector3& v,
                       const Vector3& g);

// One node's bounding box, in node space (false for a node without one).
bool SegmentHitNodeBounds(HitRecord& record, AwShapeInstance& node, const Vector3& a, const Vector3& d);
bool BallisticHitNodeBounds(HitRecord& record, AwShapeInstance& node, const Vector3& p, const Vector3& v,
                            const Vector3& g);

// A shape-instance tree: a node whose box the path misses is skipped with its
// subtree; a node with a shape (slot 0) tests only that shape, any other node
// its children in order. A node without a box has no pre-test.
bool TvSegmentHitShapeTree(HitRecord& record, AwShapeInstance& node, const Vector3& a, const Vector3& d);
bool TvBallisticHitShapeTree(HitRecord& record, AwShapeInstance& node, const Vector3& p, const Vector3& v,
                             const Vector3& g);

// A placed object's tree, in object space (its matrices include its scale).
bool SegmentHitObject(HitRecord& record, AwObject& object, const Vector3& a, const Vector3& d);
bool BallisticHitObject(HitRecord& record, AwObject& object, const Vector3& p, const Vector3& v, const Vector3& g);
// The object's own box when it has one (its collision box when its collision
// flag is set), else its root node's box.
bool SegmentHitObjectBounds(HitRecord& record, AwObject& object, const Vector3& a, const Vector3& d);
bool BallisticHitObjectBounds(HitRecord& record, AwObject& object, const Vector3& p, const Vector3& v,
                              const Vector3& g);

// Builds the local matrix and its inverse of every node of the tree, so that
// threads that only read the tree never build them.
void BuildShapeTreeMatrices(AwShapeInstance& root);
