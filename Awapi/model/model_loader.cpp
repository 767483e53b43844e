// AwModelFile::LoadHierarchy: a hierarchy of the file becomes a model-node
// tree with its shapes and animation sequences. Sequence lengths, speeds and
// directions are kept per sequence number for the whole tree: the first
// sequence of a number fixes its length for every node.

#include <algorithm>
#include <array>
#include <string_view>

#include "Awapi/model/model_file.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sound_hooks.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "chunkfile/hierarchy_chunks.h"
#include "chunkfile/light_chunks.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/sequence_chunks.h"
#include "chunkfile/sound_chunks.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

constexpr int32_t kSequenceSlots = 128;

struct SequenceTables {
    std::array<uint32_t, kSequenceSlots> length{};
    std::array<float, kSequenceSlots> lengthFraction{}; // length / 65536
    std::array<float, kSequenceSlots> speed{};
    std::array<Vector3, kSequenceSlots> direction{};
    SequenceTables() { direction.fill(Vector3(0, 0, 0)); }
};

class HierarchyLoader {
public:
    explicit HierarchyLoader(AwModelFile& file) : file_(file) {}

    AwModel* Load(const char* name) {
        HierarchyChunk* top = FindHierarchy(name);
        if (!top) return nullptr;
        List<HierarchyChunk*> nodes;
        top->ListChildNodes(nodes);
        if (nodes.IsEmpty()) return nullptr;
        AwModel* root = BuildNode(*nodes.Front());
        const float scale = file_.GetWorldScale();
        if (auto* box = FindChildAs<HierarchyBoxChunk>(*top, "HIERBBOX")) {
            root->SecondCorner = Scaled(box->Data().second, scale);
            root->FirstCorner = Scaled(box->Data().first, scale);
            root->HasBounds = true;
        }
        root->DetailDistances.fill(kDefaultDetailDistance);
        if (auto* distances = FindChildAs<DetailDistancesChunk>(file_.Tree(), "HIDEGDIS")) {
            const auto& d = distances->Distances();
            for (size_t i = 0; i < d.size() && i < kDetailLevels; ++i) root->DetailDistances[i] = static_cast<int32_t>(d[i]);
        }
        if (root->Sequences) {
            const size_t n = root->Sequences->size();
            root->MovementPerSecond.resize(n);
            root->MovementPerTick.resize(n);
            const float secondsPerTick = CurrentSecondsPerTick();
            for (size_t i = n; i-- > 0;) {
                root->MovementPerSecond[i] = tables_.direction[i] * tables_.speed[i];
                root->MovementPerTick[i] = root->MovementPerSecond[i] * secondsPerTick;
            }
        }
        return root;
    }

private:
    static Vector3 Scaled(const int32_t (&v)[3], float scale) {
        return Vector3(static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])) * scale;
    }

    HierarchyChunk* FindHierarchy(const char* name) const {
        for (Chunk* c = file_.Tree().FirstChild(); c; c = c->Next()) {
            auto* h = c->HasId("OBJCHIER") ? dynamic_cast<HierarchyChunk*>(c) : nullptr;
            if (h && h->FindNameChunk() && AwNamesMatch(h->FindNameChunk()->Name(), name)) return h;
        }
        return nullptr;
    }

    AwModel* BuildNode(const HierarchyChunk& chunk) {
        auto* node = new AwModel();
        const HierarchyDataChunk* data = chunk.FindDataChunk();
        if (ObjectChunk* object = data ? data->LinkedObject() : nullptr) LoadShapes(*node, *object);
        for (Chunk* c = chunk.FirstChild(); c; c = c->Next())
            if (auto* set = c->HasId("OBANSEQS") ? dynamic_cast<SequenceSetChunk*>(c) : nullptr)
                node->Sequences = BuildSequenceList(*set);
        List<HierarchyChunk*> children;
        chunk.ListChildNodes(children);
        for (HierarchyChunk* child : children) node->Children.push_back(BuildNode(*child));
        if (data && !data->ObjectName().empty()) node->Name = data->ObjectName();
        return node;
    }

    void LoadShapes(AwModel& node, ObjectChunk& object) {
        List<ObjectChunk*> levels;
        object.ListDetailLevels(levels);
        std::array<ObjectChunk*, kDetailLevels> level{};
        int32_t i = 0;
        for (ObjectChunk* o : levels)
            if (i < kDetailLevels) level[static_cast<size_t>(i++)] = o;
        for (int d = kDetailLevels - 1; d >= 0; --d) {
            ObjectChunk* o = level[static_cast<size_t>(d)];
            if (!o) continue;
            if (d + 1 < kDetailLevels && o == level[static_cast<size_t>(d + 1)] && node.Shapes[static_cast<size_t>(d + 1)]) {
                node.Shapes[static_cast<size_t>(d)] = node.Shapes[static_cast<size_t>(d + 1)];
                node.Shapes[static_cast<size_t>(d)]->AddUse();
                continue;
            }
            // A level object without a shape leaves its slot empty.
            if (ShapeChunk* shape = o->GetShapeChunk())
                node.Shapes[static_cast<size_t>(d)] = file_.ConvertShape(*shape, FindChildAs<VertexTintChunk>(*o, "SHPVTINT"), 0);
        }
    }

    std::unique_ptr<AwAnimSequenceList> BuildSequenceList(const SequenceSetChunk& set) {
        List<SequenceChunk*> chunks;
        set.ListSequences(chunks);
        std::vector<std::unique_ptr<AwAnimSequence>> built;
        for (SequenceChunk* chunk : chunks)
            if (auto sequence = BuildSequence(*chunk)) built.push_back(std::move(sequence));
        if (built.empty()) return nullptr;
        std::stable_sort(built.begin(), built.end(), [](const auto& a, const auto& b) { return a->Number < b->Number; });
        auto list = std::make_unique<AwAnimSequenceList>();
        for (auto& sequence : built) {
            const auto n = static_cast<size_t>(sequence->Number);
            if (list->size() > n) continue; // a repeated number keeps the first
            list->resize(n);
            list->push_back(std::move(sequence));
        }
        return list;
    }

    std::unique_ptr<AwAnimSequence> BuildSequence(const SequenceChunk& chunk) {
        List<SequenceFrameChunk*> frames;
        chunk.ListFrames(frames);
        const SequenceHeaderChunk* header = chunk.GetHeader();
        // Numbers that index no table slot cannot be played and are dropped.
        if (frames.IsEmpty() || !header || header->Number() < 0 || header->Number() >= kSequenceSlots) return nullptr;
        auto sequence = std::make_unique<AwAnimSequence>();
        sequence->Number = header->Number();
        const auto n = static_cast<size_t>(sequence->Number);
        const float scale = file_.GetWorldScale();
        if (const HierarchyBoxChunk* box = chunk.GetBox()) {
            sequence->BoundsFirst = Scaled(box->Data().first, scale);
            sequence->BoundsSecond = Scaled(box->Data().second, scale);
        }
        if (tables_.length[n] == 0) {
            const int32_t ticksPerSecond = CurrentTicksPerSecond();
            const int32_t ms = chunk.GetTime();
            tables_.length[n] = static_cast<uint32_t>(ms <= 0 ? ticksPerSecond : MulDiv(ticksPerSecond, ms, 1000));
            tables_.lengthFraction[n] = static_cast<float>(tables_.length[n]) * (1.0f / 65536.0f);
        }
        Vector3 direction;
        if (chunk.GetDirection(direction)) {
            tables_.speed[n] = static_cast<float>(chunk.GetSpeed()) * 0.001f;
            tables_.direction[n] = direction;
        }
        sequence->Length = tables_.length[n];
        for (SequenceFrameChunk* frame : frames) sequence->Frames.push_back(BuildFrame(*frame, *sequence, tables_.lengthFraction[n]));
        std::stable_sort(sequence->Frames.begin(), sequence->Frames.end(),
                         [](const AwAnimFrame& a, const AwAnimFrame& b) { return a.FrameNumber < b.FrameNumber; });
        ApplyReferenceFrame(*sequence);
        LinkFrames(*sequence);
        return sequence;
    }

    AwAnimFrame BuildFrame(const SequenceFrameChunk& chunk, AwAnimSequence& sequence, float k) {
        const SequenceFrame& f = chunk.Data();
        AwAnimFrame frame;
        frame.Time = static_cast<uint32_t>(FloorToInt(static_cast<double>(k * static_cast<float>(f.time))));
        frame.Offset = Scaled(f.offset, file_.GetWorldScale());
        frame.Rotation = f.rotation;
        frame.Flags = chunk.HasOwnTransform() ? kFrameReference : 0;
        frame.FrameNumber = f.number;
        if (const int32_t sample = FrameSound(chunk.SoundIndex()); sample > 0) {
            auto at = std::lower_bound(sequence.Sounds.begin(), sequence.Sounds.end(), frame.Time,
                                       [](const AwFrameSound& s, uint32_t t) { return s.Time < t; });
            sequence.Sounds.insert(at, AwFrameSound{frame.Time, sample});
        }
        return frame;
    }

    // The sample of an indexed sound, varied by its settings (INDSOUND words:
    // volume and frequency in 128ths, two ranges in thousandths); 0 for none.
    int32_t FrameSound(uint32_t index) {
        const IndexedSoundChunk* sound = index ? file_.IndexedSound(static_cast<int32_t>(index)) : nullptr;
        if (!sound) return 0;
        const std::string& name = sound->Name();
        const size_t slash = name.find_last_of('\\');
        const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
        AwSoundService& service = SoundService();
        const int32_t sample = service.LoadSound(base.c_str());
        if (sample <= 0) return 0;
        const auto& w = sound->Data().words;
        const auto volume = static_cast<int32_t>(static_cast<int64_t>(static_cast<int32_t>(w[0])) * 100 / 128);
        const auto frequency = static_cast<float>(static_cast<int32_t>(w[1]) / 128);
        const float range = static_cast<float>(static_cast<int32_t>(w[2])) * 0.001f;
        const float secondRange = static_cast<float>(static_cast<int32_t>(w[3])) * 0.001f;
        const int32_t variant = service.GetSampleVariant(sample, volume, frequency, range, secondRange, false);
        return variant > 0 ? variant : 0;
    }

    static void ApplyReferenceFrame(AwAnimSequence& sequence) {
        auto reference = std::find_if(sequence.Frames.begin(), sequence.Frames.end(),
                                      [](const AwAnimFrame& f) { return (f.Flags & kFrameReference) != 0; });
        if (reference == sequence.Frames.end()) return;
        sequence.Flags |= kSequenceRelative;
        const Quaternion r{reference->Rotation.x, reference->Rotation.y, reference->Rotation.z, -reference->Rotation.w};
        const Vector3 p = reference->Offset;
        Matrix34 m;
        m.MakeFromQuaternion(r);
        for (AwAnimFrame& f : sequence.Frames) {
            const Vector3 relative = f.Offset - p;
            m.TransformPoint(f.Offset, relative);
            const Quaternion q = f.Rotation;
            f.Rotation = {r.w * q.x + r.x * q.w + r.y * q.z - r.z * q.y, r.w * q.y + r.y * q.w + r.z * q.x - r.x * q.z,
                          r.w * q.z + r.z * q.w + r.x * q.y - r.y * q.x, r.w * q.w - (r.x * q.x + r.y * q.y + r.z * q.z)};
        }
    }

    static void LinkFrames(AwAnimSequence& sequence) {
        auto& frames = sequence.Frames;
        for (size_t i = 0; i < frames.size(); ++i) {
            AwAnimFrame& f = frames[i];
            const AwAnimFrame& next = frames[(i + 1) % frames.size()];
            f.FrameNumber = static_cast<int32_t>(i);
            f.Duration = static_cast<int32_t>(next.Time - f.Time);
            QuaternionSlerp(f.Rotation, next.Rotation, f.Interpolation);
            if (f.Offset.x != next.Offset.x || f.Offset.y != next.Offset.y || f.Offset.z != next.Offset.z)
                f.Flags |= kFrameOffsetChanges;
            if (f.Rotation.x != next.Rotation.x || f.Rotation.y != next.Rotation.y || f.Rotation.z != next.Rotation.z ||
                f.Rotation.w != next.Rotation.w)
                f.Flags |= kFrameRotationChanges;
        }
        frames.back().Duration = static_cast<int32_t>(sequence.Length - frames.back().Time);
    }

    AwModelFile& file_;
    SequenceTables tables_;
};

} // namespace

AwModel* AwModelFile::LoadHierarchy(const char* name) { return HierarchyLoader(*this).Load(name); }
