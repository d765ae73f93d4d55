#include "tests/support/TreePresetWriter.h"

namespace tree_writer {

void WritePreset(DocumentWriter& w, const StoredPreset& preset, const WriteItem& writeRoot)
{
    w.WideString(u"KXI_PtclSysPreset").Int(preset.version).Dword(preset.value);
    if (preset.version > 1) {
        w.Count(preset.list.size());
        for (std::uint32_t value : preset.list)
            w.Dword(value);
    }
    writeRoot(w);
}

void WriteBalloon(DocumentWriter& w, const StoredBalloon& balloon, const WriteItem& writeLeaf)
{
    w.WideString(u"KXI_PartyBalloon").Int(1);
    w.Dword(balloon.firstLightMapOpacity).Dword(balloon.secondLightMapOpacity);
    writeLeaf(w);
}

} // namespace tree_writer
