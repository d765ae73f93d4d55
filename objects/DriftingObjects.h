#pragma once
// Drifting 3D objects: many copies of one textured mesh (leaves, petals)
// streaming across the whole picture in one direction, tumbling as they go,
// and re-entering at the opposite edge when they leave.
//
//   StreamDirection                 the stream's angle and its two vectors
//   StreamAnimParams                the parameter block every copy reads
//   DS_3D_in_2D_array_Constructor   the stored description
//   DS_3D_in_2D_array               its runtime object: the mesh once, one
//                                   node per copy under the batch's header
//   DS_SreamAnim, DS_LeafFallAnim   the copies' controllers (stream step;
//                                   tumbling and swinging on top of it)
//   g_SceneTime3D                   the time of the item being animated
//
// Stored record "DS_3D_in_2D_array_Constructor" (version 1 written; not
// compared): the name (stored again in the DS_ABObj_Constructor section),
// uint32 count, mesh and texture module blobs, uint32 size, speed, drift,
// drift change, spin, direction angle (degrees), then the
// DS_ABObj_Constructor section. Values are stored without notification.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "objectmodel/MediaParam.h"
#include "objectmodel/ResourceBlob.h"
#include "objectmodel/TransformNode.h"
#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"
#include "render/ABObjConstructor.h"
#include "render/QuadBatchBuffer.h"
#include "render/RenderObject.h"

class DS_3D_in_2D_array;

// The time of the drifting item being animated; each item sets it right
// before it updates its nodes, on the one thread that animates the scene.
extern float g_SceneTime3D;

// The most copies one drifting item makes, whatever its count says.
inline constexpr std::uint32_t kMaxDriftingCopies = 16383;

struct StreamDirection {
    // Stores `degrees`; direction = (cos a, -sin a), normal the same at
    // a + 90 (an unsigned sum): 0 streams to the right, 90 up the picture.
    void SetAngle(std::uint32_t degrees);

    std::uint32_t angle = 0;
    math::Vec4 direction{1.0f, 0.0f, 0.0f, 0.0f};
    math::Vec4 normal{0.0f, -1.0f, 0.0f, 0.0f};
};

struct StreamAnimParams {
    // Drawn diameter of each copy, in pixels.
    MediaParamT<std::uint32_t> size{0};
    StreamDirection direction;
    MediaParamT<std::uint32_t> speed{50};
    // Sideways wander and sway.
    MediaParamT<std::uint32_t> drift{0};
    // How often the wander may change direction; 0 never.
    MediaParamT<std::uint32_t> driftChange{0};
    // Tumbling speed.
    MediaParamT<std::uint32_t> spin{100};
};

class DS_3D_in_2D_array_Constructor : public DS_ABObj_Constructor {
public:
    static constexpr std::u16string_view kClassName = u"DS_3D_in_2D_array_Constructor";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_3D_in_2D_array_Constructor() = default;
    // Copies every field, the runtime pointer included.
    DS_3D_in_2D_array_Constructor(const DS_3D_in_2D_array_Constructor& other) = default;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    // A DS_3D_in_2D_array around a copy of this description.
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;
    // Nothing to restart: the copies keep streaming.
    void Restart() override {}

    // The runtime object last built around this description (not owned).
    DS_3D_in_2D_array* runtime = nullptr;
    ModuleResourceBlob mesh;
    ModuleResourceBlob texture;
    MediaParamT<std::uint32_t> count{0};
    StreamAnimParams params;
};

// The stream step of one copy: its position in the translation matrix's
// last row, moved along the stream direction with some sideways drift.
class DS_SreamAnim : public DS_AnimationBase {
public:
    // Starts at a random point of the picture with a random drift and speed
    // factor (rand() order: x, y, drift, speed).
    explicit DS_SreamAnim(const StreamAnimParams& params);

    // The stream step, then world = local x translation.
    void Apply(TransformNode& node) override;

    float X() const { return translation.m[3][0]; }
    float Y() const { return translation.m[3][1]; }

    math::Matrix translation;
    float driftFactor = 0.0f;
    float lastDriftChangeTime = 0.0f;
    float speedFactor = 0.0f;
    float lastTime = 0.0f;
    float step = 0.0f;

protected:
    // Moves the copy by one step of g_SceneTime3D (wrapping at the edges)
    // and now and then picks a new drift.
    void StepStream();

    const StreamAnimParams* m_params;
};

class DS_LeafFallAnim : public DS_SreamAnim {
public:
    struct Turn {
        float rate = 0.0f;  // degrees per second
        float angle = 0.0f; // degrees
    };

    // Three tumbling turns, then two swinging turns each on in about half
    // of the copies.
    explicit DS_LeafFallAnim(const StreamAnimParams& params);

    // The stream step, then the copy scaled to the item's size, tumbled,
    // swung and placed at its position.
    void Apply(TransformNode& node) override;

    Turn turns[5];
};

class DS_3D_in_2D_array : public DS_ABObj {
public:
    // Owns `description`, loads the mesh and texture, and makes its copies.
    explicit DS_3D_in_2D_array(std::unique_ptr<DS_3D_in_2D_array_Constructor> description);
    ~DS_3D_in_2D_array() override;

    void Render(DS_ABRender& renderer) override;
    void Animate(float localTime) override;

    // The texture and mesh of the description's blobs, from the current
    // resource manager's cache.
    void LoadResources();
    // Adds or removes copies (the oldest first) until there are as many as
    // the count says (at most kMaxDriftingCopies).
    void SyncObjects();

    TexturedBatch& Batch() { return m_batch; }
    std::size_t CopyCount() const { return m_copies.size(); }
    DS_3D_in_2D_array_Constructor& Description() const { return *m_description; }

private:
    DS_3D_in_2D_array_Constructor* m_description;
    TexturedBatch m_batch;
    // The copies' nodes, in the header's child order.
    std::vector<std::unique_ptr<TransformNode>> m_copies;
};
