// The demo scene's sprite objects as the embedded document stores them: the
// opening Light Beams slide starts with a flow whose motes move from one
// frame to the next, and every slide holds the sprite objects it shows.

#include <gtest/gtest.h>

#include <set>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/SceneDocument.h"
#include "objects/FlowConstructor.h"
#include "particles/systems/SpriteArrayObj.h"
#include "platform/crt/WideString.h"
#include "player/SlideContainer.h"
#include "player/SlideShow.h"
#include "render/DocResManager.h"
#include "tests/player/PlayerTestSupport.h"

namespace {

TEST(DemoSpriteObjects, TheOpeningFlowMovesBetweenTwoFrames)
{
    InstallPlayerDocumentClasses();
    const SceneDocument document = OpenDocumentFile(crt::FromUtf8(ORVANTA_DEMO_SCENE_FILE));
    ASSERT_TRUE(document);
    const auto* show = dynamic_cast<const DS_SlideShow_Light*>(document.SlideShow());
    ASSERT_NE(show, nullptr);
    ASSERT_FALSE(show->Slides().empty());

    std::set<std::u16string> classes;
    for (const auto& slide : show->Slides())
        for (const auto& object : slide->StoredObjects()) {
            const DS_IOF_Item& item = *object;
            classes.insert(std::u16string(StoredClassNameOf(typeid(item))));
        }
    for (std::u16string_view name : {u"DS_FlowConstructor", u"DS_RainConstructor", u"DS_FishConstructor",
                                     u"DS_BirdConstructor", u"DS_GhostConstructor", u"DS_GodRayConstructor",
                                     u"DS_SparkleConstructor", u"DS_FogConstructor", u"DS_LightingConstructor",
                                     u"DS_GrassConstructor", u"DS_StatObjConstructor", u"DS_FlowerConstructor",
                                     u"DS_DischargeConstructor"})
        EXPECT_EQ(classes.count(std::u16string(name)), 1u) << crt::ToUtf8(name);

    const auto& opening = show->Slides().front()->StoredObjects();
    ASSERT_FALSE(opening.empty());
    auto* flow = dynamic_cast<DS_FlowConstructor*>(opening.front().get());
    ASSERT_NE(flow, nullptr) << "the flow is the opening slide's first object";

    // Over the slide's picture size, without pictures: the motes still move.
    DS_DocResManager manager;
    manager.ScreenInfoRecord().pictureWidth = 1740;
    manager.ScreenInfoRecord().pictureHeight = 980;
    CurrentDocResManagerScope current(&manager);
    std::unique_ptr<KXI_RenderObj> made = flow->CreateRenderObject();
    auto* array = dynamic_cast<DS_SpriteArrayObj*>(made.get());
    ASSERT_NE(array, nullptr);
    array->Update(1.0f);
    std::vector<math::Vec3> before;
    for (const auto& sprite : array->Sprites())
        before.push_back(sprite->position);
    array->Update(1.1f);
    std::size_t moved = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        moved += array->Sprites()[i]->position.x > before[i].x ? 1 : 0;
    EXPECT_GT(moved, before.size() / 2) << "the motes drift to the right";
}

} // namespace
