#include "tests/support/DischargeWriter.h"

namespace discharge_writer {

DocumentWriter& WriteDischarge(DocumentWriter& w, const DischargeFields& f)
{
    w.Section(u"DS_DischargeFXConstructor", f.version);
    for (float value : f.start)
        w.Float(value);
    for (float value : f.end)
        w.Float(value);
    w.Dword(f.jitter).Int(f.textureChoice).Dword(f.flickerInterval).Dword(f.morphSpeed);
    return particle_writer::WriteGlowSection(w, f.glow);
}

} // namespace discharge_writer
