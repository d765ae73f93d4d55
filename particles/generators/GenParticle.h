#pragma once
// Generator particles and the processes that move them.
//
// A GenParticle is a position, the position at the last emission and ten
// channels that processes change by index; it owns an ordered list of
// processes. One step runs every process of a particle in order (all of
// them, even after one answered false) and a particle whose processes did
// not all answer true leaves its list. Copying a particle clones its
// processes, so two particles never share one.
//
// Processes are made by the generators and the object animations; they are
// never stored in documents.

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "platform/math/Vector.h"

class GenParticle;

class PProcess {
public:
    virtual ~PProcess() = default;
    // Changes the particle; false when the particle must end.
    virtual bool Update(float dt, GenParticle& particle) = 0;
    // A copy with the present state.
    virtual std::unique_ptr<PProcess> Clone() const = 0;
};

class GenParticle {
public:
    static constexpr std::size_t kChannelCount = 10;
    enum Channel : int {
        kLife = 0,     // life fraction (PLifeConst, read by PSteady)
        kScale = 1,    // multiplies the quad size
        kOpacity = 2,  // multiplies the quad alpha
        kAge = 3,      // seconds (PAgeConst, read by PFade)
        kAngle = 4,    // radians (PSpin, read by rotated quads)
    };

    GenParticle() { ResetChannels(); }
    GenParticle(const GenParticle& other);
    GenParticle& operator=(const GenParticle& other);
    GenParticle(GenParticle&&) noexcept = default;
    GenParticle& operator=(GenParticle&&) noexcept = default;
    ~GenParticle() = default;

    // Position and previous position (x, y, z); channels at their start
    // values; no processes.
    void Init(float x, float y, float z);

    // Runs every process in order and ands their answers.
    bool RunProcesses(float dt);

    // Takes ownership of `process`, appended to the list.
    void AddProcess(std::unique_ptr<PProcess> process) { processes.push_back(std::move(process)); }

    // A channel by index; an index outside 0..9 reads and writes a spare
    // slot, so a process built with a wrong index never writes past the
    // record.
    float& ChannelAt(int index);

    math::Vec3 position;
    math::Vec3 previous;
    std::array<float, kChannelCount> channels{};
    std::vector<std::unique_ptr<PProcess>> processes;

private:
    void ResetChannels();
    float m_spareChannel = 0.0f;
};

using GenParticleList = std::list<GenParticle>;

// The most records a list that grows at run time holds (the quads of one
// layer of 16-bit indices); emission stops adding when it is full.
inline constexpr std::size_t kMaxGenParticles = 16383;

// One step of every particle in list order; particles whose processes did
// not all answer true are removed (their processes with them).
void UpdateGenParticles(float dt, GenParticleList& particles);

// ---- the process kinds -----------------------------------------------------------

// Life fraction (channel 0) += rate x dt; true while it stays below 1.
class PLifeConst : public PProcess {
public:
    explicit PLifeConst(float rate) : rate(rate) {}
    bool Update(float dt, GenParticle& particle) override;
    std::unique_ptr<PProcess> Clone() const override { return std::make_unique<PLifeConst>(*this); }
    float rate;
};

// Age (channel 3) += dt; true while it stays below the limit.
class PAgeConst : public PProcess {
public:
    explicit PAgeConst(float limit) : limit(limit) {}
    bool Update(float dt, GenParticle& particle) override;
    std::unique_ptr<PProcess> Clone() const override { return std::make_unique<PAgeConst>(*this); }
    float limit;
};

// Adds `amount` to a channel linearly between the ages `start` and `end`;
// the part still to add is held here, so the total is exact whatever the
// step sizes.
class PFade : public PProcess {
public:
    PFade(int channel, float start, float end, float amount) : channel(channel), start(start), end(end), amount(amount)
    {
    }
    bool Update(float dt, GenParticle& particle) override;
    std::unique_ptr<PProcess> Clone() const override { return std::make_unique<PFade>(*this); }
    int channel;
    float start;
    float end;
    float amount;
};

// Changes a channel at `rate` per second while the life fraction lies
// strictly between `start` and `end`.
class PSteady : public PProcess {
public:
    PSteady(int channel, float start, float end, float rate) : channel(channel), start(start), end(end), rate(rate) {}
    bool Update(float dt, GenParticle& particle) override;
    std::unique_ptr<PProcess> Clone() const override { return std::make_unique<PSteady>(*this); }
    int channel;
    float start;
    float end;
    float rate;
};

// Flickers a channel around `base`: after each period a flash of 1 to 1.5 x
// base for 0.2 s (one time in three) or the base for 0.2 to 2.5 s.
class PTwinkle : public PProcess {
public:
    PTwinkle(int channel, float elapsed, float base, float period)
        : channel(channel), elapsed(elapsed), base(base), period(period)
    {
    }
    bool Update(float dt, GenParticle& particle) override;
    std::unique_ptr<PProcess> Clone() const override { return std::make_unique<PTwinkle>(*this); }
    int channel;
    float elapsed;
    float base;
    float period;
};

// Uniform acceleration.
class PKinetic : public PProcess {
public:
    PKinetic(const math::Vec3& velocity, const math::Vec3& acceleration)
        : velocity(velocity), acceleration(acceleration)
    {
    }
    bool Update(float dt, GenParticle& particle) override;
    std::unique_ptr<PProcess> Clone() const override { return std::make_unique<PKinetic>(*this); }
    math::Vec3 velocity;
    math::Vec3 acceleration;
};

// Angle (channel 4) += rate x dt.
class PSpin : public PProcess {
public:
    explicit PSpin(float rate) : rate(rate) {}
    bool Update(float dt, GenParticle& particle) override;
    std::unique_ptr<PProcess> Clone() const override { return std::make_unique<PSpin>(*this); }
    float rate;
};

// What a wandering particle reads at every step; the creating object keeps
// the four values alive for as long as its particles live.
struct BrownianRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

struct PBrownianOwner {
    const BrownianRect* rectangle = nullptr;
    const float* speedFactor = nullptr;
    const float* repickPeriod = nullptr;
    const float* steeringTime = nullptr;
};

// Wanders inside the owner's rectangle: a new random velocity is steered
// towards now and then, and a particle that leaves the rectangle steers back
// towards its centre at 100 px/s.
class PBrownian : public PProcess {
public:
    // Draws the start velocity (y first, then x) and the re-pick timer.
    explicit PBrownian(const PBrownianOwner* owner);
    bool Update(float dt, GenParticle& particle) override;
    std::unique_ptr<PProcess> Clone() const override { return std::make_unique<PBrownian>(*this); }

    const PBrownianOwner* owner;
    math::Vec3 velocity;
    math::Vec3 acceleration;
    float steeringTime = 0.0f;
    float repickTimer = 0.0f;
    std::uint8_t inside = 1;

private:
    // Acceleration that brings the velocity to `target` over the owner's
    // steering time; a time that is not above 0 sets the velocity at once.
    void SteerTowards(const math::Vec3& target);
};
