#include "tests/support/ObjectAnimationWriter.h"

namespace generator_writer {

DocumentWriter& WriteStaticAnimation(DocumentWriter& w, const StaticAnimationFields& f)
{
    w.Section(u"DS_StaticAnimation", f.version);
    w.Dword(f.frameSpeed).Int(f.reverse);
    return WriteSingleRectSection(w, f.rect);
}

DocumentWriter& WriteBrownAnimation(DocumentWriter& w, const BrownAnimationFields& f)
{
    w.Section(u"DS_BrownAnimation", f.version);
    w.Dword(f.count).Dword(f.size).Dword(f.motionScale).Dword(f.repickPeriod).Dword(f.steerTime);
    if (f.version >= 2)
        w.Dword(f.frameSpeed);
    return WriteRegionGenerator(w, f.region);
}

DocumentWriter& WritePathAnimation(DocumentWriter& w, const PathAnimationFields& f)
{
    w.Section(u"DS_PathAnimtion", f.version);
    w.Dword(f.moveSpeed).Dword(f.size).Int(f.facing).Int(f.mirrorTopBottom).Int(f.mirrorLeftRight);
    if (f.version >= 2)
        w.Dword(f.frameSpeed);
    return WritePathGeneratorSection(w, f.path);
}

} // namespace generator_writer
