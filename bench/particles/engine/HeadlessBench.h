#pragma once
// The headless scene the particle benchmarks draw in: a device as the
// resource device, a document resource manager and a render context
// current on the thread, and a picture scene showing a grey picture of the
// target's size, set up as the player sets one up.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/SceneDocument.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/DocResManager.h"
#include "render/PictureScene.h"
#include "render/QuadVertices.h"
#include "render/RenderContext.h"
#include "render/RenderTargetPair.h"
#include "render/ResourceLoading.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/BmpFixture.h"
#include "tests/support/DocumentWriter.h"

namespace headless_bench {

struct Headless {
    Headless(benchmark::State& state, std::uint32_t targetWidth, std::uint32_t targetHeight)
        : width(targetWidth), height(targetHeight)
    {
        std::string error;
        device = gfx::CreateHeadlessDevice(width, height, &error);
        if (!device) {
            state.SkipWithError(error.c_str());
            return;
        }
        deviceScope = std::make_unique<ResourceDeviceScope>(device.get());
        managerScope = std::make_unique<CurrentDocResManagerScope>(&manager);
        context.pictureWidth = float(width);
        context.pictureHeight = float(height);
        contextScope = std::make_unique<CurrentRenderContextScope>(&context);
    }

    // The manager reads `record` as a document stores it.
    void Store(const DocResManagerRecord& record)
    {
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), manager);
    }

    // A picture scene over the whole target showing a grey picture of its
    // size; render targets sized to it.
    std::unique_ptr<DS_2D_Light> MakeGreyLight()
    {
        g_RenderTargetSizing = RenderTargetSizing{1, std::int32_t(width), std::int32_t(height)};
        const LinkKey picture{u"ground.bmp", 1};
        ModuleResourceBlob stored(u"ground.bmp");
        stored.SetBytes(bmp_fixture::BmpPicture(width, height, [](std::uint32_t, std::uint32_t) { return 0x808080u; }));
        DocResManagerRecord record;
        record.textureSetRecords[picture] = {stored};
        Store(record);
        auto light = std::make_unique<DS_2D_Light>();
        light->BackgroundLink().StorePathAndId(picture.path, picture.id);
        light->CreateDeviceObjects();
        QuadVertices view;
        view.FillTarget(*device);
        light->ApplyView(view);
        light->OnResetDevice();
        return light;
    }

    std::uint32_t width;
    std::uint32_t height;
    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> deviceScope;
    DS_DocResManager manager;
    std::unique_ptr<CurrentDocResManagerScope> managerScope;
    RenderContext context;
    std::unique_ptr<CurrentRenderContextScope> contextScope;
    RenderTargetSizing savedSizing = g_RenderTargetSizing;

    ~Headless() { g_RenderTargetSizing = savedSizing; }
};

} // namespace headless_bench
