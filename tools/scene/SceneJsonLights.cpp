#include "tools/scene/SceneJsonLights.h"

#include "render/PictureScene.h"
#include "tools/scene/SceneJson.h"

void WriteLightParams(std::ostringstream& out, const DS_2D_Light& light)
{
    // Each light variant adds its branch here; the plain light has none.
    static_cast<void>(out);
    static_cast<void>(light);
}
