#include "tests/support/PictureSceneWriter.h"

namespace picture_scene_writer {

namespace {

void WriteCameraPoint(DocumentWriter& writer, const CameraPointFields& point)
{
    writer.Int(point.version).Float(point.x).Float(point.y).Float(point.z).Float(point.duration);
    if (point.version >= 1)
        writer.Dword(point.zoomPercent);
}

} // namespace

DocumentWriter& WriteCameraRecord(DocumentWriter& writer, const CameraFields& camera)
{
    writer.Section(camera.className, camera.version);
    if (camera.version >= 3) {
        writer.Int(camera.mode).Dword(camera.pathWidth).Dword(camera.pathHeight).Count(camera.points.size());
        for (const CameraPointFields& point : camera.points)
            WriteCameraPoint(writer, point);
    } else {
        writer.Int(camera.movingFlag);
    }
    writer.Dword(camera.zoomPercent).Dword(camera.speed);
    if (camera.version >= 2)
        writer.WideString(camera.imagePath).Int64(camera.imageId);
    return writer;
}

DocumentWriter& WriteLightRecord(DocumentWriter& writer, const LightFields& light)
{
    writer.Section(light.className, light.version);
    if (light.version >= 2)
        writer.WideString(light.backgroundPath).Int64(light.backgroundId);
    if (light.version >= 3)
        WriteCameraRecord(writer, light.camera);
    return writer;
}

} // namespace picture_scene_writer
