#include "render/EffectResolution.h"

#include "render/DocResManager.h"

namespace {

bool IsEmptyLink(const DS_FileLink3& link)
{
    return link.Path().empty() && link.Id() == 0;
}

bool HasRecordBytes(DS_DocResManager& manager, const DS_FileLink3& link)
{
    for (const ModuleResourceBlob& record : manager.GetResourceRecords(link.Key()))
        if (!record.Bytes().empty())
            return true;
    return false;
}

} // namespace

ResolvedEffect ResolveEffectLink(DS_DocResManager& manager, const DS_FileLink3& link)
{
    if (IsEmptyLink(link))
        return {nullptr, EffectLinkOrigin::EmptyLink};
    if (gfx::Ref<gfx::Effect> effect = manager.GetEffect(link))
        return {std::move(effect), EffectLinkOrigin::Linked};
    // GetEffect has gathered every record of the link: bytes there that made
    // no effect are another platform's, or a broken file of ours.
    if (HasRecordBytes(manager, link))
        return {nullptr, EffectLinkOrigin::Unrunnable};
    return {nullptr, EffectLinkOrigin::Missing};
}

bool UsesBuiltinEffect(EffectLinkOrigin origin, BuiltinEffectRule rule)
{
    switch (origin) {
    case EffectLinkOrigin::Linked:
        return false;
    case EffectLinkOrigin::Unrunnable:
        return true;
    case EffectLinkOrigin::EmptyLink:
    case EffectLinkOrigin::Missing:
        return rule == BuiltinEffectRule::ForAnyUnusableLink;
    }
    return false;
}

ResolvedEffect ResolveEffectWithFallback(DS_DocResManager& manager, const DS_FileLink3& link,
                                         std::string_view builtinName, BuiltinEffectRule rule)
{
    ResolvedEffect resolved = ResolveEffectLink(manager, link);
    if (UsesBuiltinEffect(resolved.origin, rule))
        resolved.effect = manager.GetBuiltinEffect(builtinName);
    return resolved;
}
