#include "tests/support/DescriptionWriter.h"

namespace description_writer {

namespace {

DocumentWriter& WriteIntervals(DocumentWriter& w, const std::vector<StoredInterval>& intervals)
{
    w.Count(intervals.size());
    for (const StoredInterval& i : intervals)
        w.Float(i.start).Float(i.end).Float(i.fadeInEnd).Float(i.fadeOutStart);
    return w;
}

DocumentWriter& WriteTimingSection(DocumentWriter& w)
{
    return w.Section(u"KXI_Timing", 1);
}

} // namespace

DocumentWriter& WriteSmartTiming(DocumentWriter& w, const TimingFields& t)
{
    w.Section(u"KXI_SmartTiming", 1).Long(t.selector).Long(t.clockMode).Int(t.flags);
    switch (t.kind) {
    case TimelineKind::Continuous:
        w.Section(u"KXI_ContinuesTimeLine", 1);
        break;
    case TimelineKind::Random:
        w.Section(u"KXI_RandomTimeLine", 1).Dword(t.offMin).Dword(t.offMax).Dword(t.onMin).Dword(t.onMax);
        w.Dword(t.fadeIn).Dword(t.fadeOut);
        break;
    case TimelineKind::Manual:
        w.Section(u"KXI_ManualTimeLine", 1).Dword(t.period);
        WriteIntervals(w, t.intervals);
        break;
    }
    return WriteTimingSection(w);
}

DocumentWriter& WriteLegacyTiming(DocumentWriter& w, const LegacyTimingFields& l)
{
    w.Section(u"DS_TimeLineControl", l.version).Long(l.kind).Long(l.clockMode);
    w.Dword(l.offMin).Dword(l.offMax).Dword(l.onMin).Dword(l.onMax).Dword(l.fadeIn).Dword(l.fadeOut);
    WriteIntervals(w, l.intervals);
    if (l.version >= 2)
        w.Dword(l.period);
    return w;
}

DocumentWriter& WriteRenderObjData(DocumentWriter& w, const crt::Guid& guid, const TimingFields& timing)
{
    w.Section(u"KXI_RenderObjData", 1).Guid(guid);
    return WriteSmartTiming(w, timing);
}

DocumentWriter& WriteConstructor(DocumentWriter& w, const ConstructorFields& f)
{
    w.Section(u"DS_ABObj_Constructor", f.version).WideString(f.name);
    if (f.version > 2)
        w.Dword(f.depth);
    if (f.version == 2 || f.version == 3)
        WriteLegacyTiming(w, f.legacy);
    if (f.version >= 4)
        WriteRenderObjData(w, f.guid, f.timing);
    return w;
}

DocumentWriter& WriteView(DocumentWriter& w, const ViewFields& f)
{
    w.Section(u"DS_ViewObjCtrl", f.version);
    for (std::int32_t edge : f.edges)
        w.Long(edge);
    for (float fraction : f.fractions)
        w.Float(fraction);
    w.Byte(f.viewFlag);
    if (f.version > 1)
        w.Dword(f.animationRate);
    return WriteConstructor(w, f.base);
}

DocumentWriter& WriteLink(DocumentWriter& w, const StoredLink& link)
{
    return w.WideString(link.path).Int64(link.id);
}

DocumentWriter& WriteSprite(DocumentWriter& w, const SpriteFields& f)
{
    w.Section(u"DS_BaseSpriteProp", f.version);
    WriteView(w, f.view);
    w.Dword(f.spriteCount);
    if (f.version < 3)
        w.Dword(f.animationRate);
    w.Dword(f.spriteSize).Dword(f.transparency).Long(f.blendMode).Long(f.colour);
    for (float value : f.floats)
        w.Float(value);
    if (f.version == 1) {
        w.Count(f.legacyBlobs.size());
        for (const ModuleResourceBlob& blob : f.legacyBlobs)
            w.ModuleBlob(blob);
        w.ModuleBlob(f.legacyBlob);
    } else {
        WriteLink(w, f.spriteImage);
        WriteLink(w, f.secondImage);
    }
    w.Dword(f.frameLayoutValue).Float(f.frameLayoutFloat).Dword(f.frameCount).Float(f.frameRate);
    w.Byte(f.framesInOneImage);
    if (f.version == 1)
        return w.IntVector(f.legacyValues);
    if (f.version >= 4)
        w.Long(f.imageKind);
    if (f.version >= 5)
        w.Long(f.flipV).Long(f.flipU);
    if (f.version >= 6)
        w.Long(f.redrawOnFrameChange);
    if (f.version >= 7)
        w.Dword(f.speed);
    return w;
}

} // namespace description_writer
