#pragma once
// The generated fixed-function programs, built on first use and kept for the
// life of the device, one per FixedFunctionKey.

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/gfx/FixedFunction.h"
#include "platform/gfx/GlslProgram.h"

namespace gfx {

class ProgramCache {
public:
    // The program for `key`, built now when it is new (then `built` is set
    // and the program is the one in use). Null when GL refuses the generated
    // code, with the reason in LastError().
    GlslProgram* Find(const FixedFunctionKey& key, bool* built);
    std::size_t Size() const { return programs_.size(); }
    const std::string& LastError() const { return lastError_; }
    // Deletes every program.
    void Clear() { programs_.clear(); }
    // Forgets every program without deleting GL names (the context is gone).
    void Abandon();

private:
    std::unordered_map<FixedFunctionKey, std::unique_ptr<GlslProgram>, FixedFunctionKeyHash> programs_;
    std::string lastError_;
};

} // namespace gfx
