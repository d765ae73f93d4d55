#include "objects/EffectObjectClasses.h"

#include "objectmodel/ClassRegistry.h"
#include "objects/GlowingDischarge.h"
#include "objects/ObjectAnimations.h"
#include "objects/TextDescriptions.h"
#include "objects/TextItems.h"

void RegisterEffectObjectClasses()
{
    RegisterMainClass<DS_StaticText>(DS_StaticText::kClassName);
    RegisterMainClass<DS_ScrollingTex>(DS_ScrollingTex::kClassName);
    RegisterMainClass<DS_TextLink>(DS_TextLink::kClassName);
    RegisterMainClass<DS_StaticTextConstructor>(DS_StaticTextConstructor::kClassName);
    RegisterMainClass<DS_ScrollingTextConstructor>(DS_ScrollingTextConstructor::kClassName);
    RegisterMainClass<DS_TextLinkConstructor>(DS_TextLinkConstructor::kClassName);
    RegisterMainClass<DS_DischargeFXConstructor>(DS_DischargeFXConstructor::kClassName);
    RegisterMainClass<DS_StaticAnimation>(DS_StaticAnimation::kClassName);
    RegisterMainClass<DS_BrownAnimation>(DS_BrownAnimation::kClassName);
    RegisterMainClass<DS_PathAnimtion>(DS_PathAnimtion::kClassName);
}
