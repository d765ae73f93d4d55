#include "render/ScreenInfo.h"

#include "objectmodel/DocumentClasses.h"

namespace {

const ScreenInfo& DefaultScreenInfo()
{
    // Built once, on first use, under the static-initialisation guard.
    static const ScreenInfo defaultRecord;
    return defaultRecord;
}

} // namespace

ScreenInfo* GetCurrentScreenInfoForWriting()
{
    auto* owner = dynamic_cast<ScreenInfoOwner*>(g_DocResManagerTls);
    return owner ? &owner->ScreenInfoRecord() : nullptr;
}

const ScreenInfo& GetScreenInfo()
{
    const ScreenInfo* current = GetCurrentScreenInfoForWriting();
    return current ? *current : DefaultScreenInfo();
}
