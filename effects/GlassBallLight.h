#pragma once
// DS_GlassBallLight: a light variant that shows the slide inside a glass
// ball. The slide's background and objects are drawn into the light's
// render-target pair; when the light draws its bars it composes: a backdrop
// (the two-colour gradient, or its own picture fitted with black bars), the
// ball (one quad in a small perspective scene whose pixels sample the
// finished scene through a generated hemisphere bump map: the
// bump-environment stage bends the lookup most towards the rim), highlight
// overlays, a circular mask that brings the backdrop back around the ball,
// an optional stand, and the bars. The scene can scroll sideways inside the
// ball (turn modes 1 and 2, wrapping) or swing from side to side (mode 3).
//
// The turning phase and its previous time are shared by every glass ball
// of the process and never reset.
//
// Safeguards: the light composes only inside its own render-target pass
// (without a pair the frame went straight to the target: only the bars
// follow); device objects that could not all be made, or a picture, fit
// ratio or zoom of 0, give the plain light's picture of the finished scene
// instead of the ball, and no NaN reaches a matrix; an overlay or the stand
// without its texture is not drawn; a backdrop picture that is no texture
// set is taken as a plain picture.
//
// Stored level "DS_GlassBallLight" (written as version 2): the overlay A,
// overlay B, stand and picture links; turn speed (uint32); ball offset x, y
// (int32); ball size, lens strength (uint32); overlay A on, overlay B on,
// stand on, backdrop mode, turn mode (int32); gradient top and bottom colours
// (int32); a version-1 turn speed v becomes 2v / 3 + 33; then the
// DS_2D_Light level. The plain switch is not stored.

#include <array>
#include <cstdint>
#include <string_view>

#include "objectmodel/ScaledParams.h"
#include "objectmodel/SmartColor.h"
#include "platform/gfx/Buffers.h"
#include "platform/gfx/Ref.h"
#include "platform/math/Matrix.h"
#include "render/FileLink.h"
#include "render/PictureScene.h"
#include "render/QuadTextured.h"
#include "render/ResourceLoading.h"
#include "render/ScreenQuad.h"

class DS_GlassBallLight : public DS_2D_Light {
public:
    static constexpr std::u16string_view kClassName = u"DS_GlassBallLight";
    static constexpr std::int32_t kStoredVersion = 2;
    enum Bar { kLeftBar = 0, kRightBar = 1, kTopBar = 2, kBottomBar = 3 };
    enum TurnMode { kNoTurn = 0, kScrollOneWay = 1, kScrollOtherWay = 2, kSwing = 3 };

    DS_GlassBallLight();
    ~DS_GlassBallLight() override;

    // ---- stored form
    bool ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // ---- the light's operations
    void PushView(std::uint32_t width, std::uint32_t height, int pictureMode) override;
    void PopView() override;
    void CreateDeviceObjects() override;
    void OnResetDevice() override;
    void OnLostDevice() override;
    void DrawBorderBars(bool skip) override;
    void DrawBackground(bool noClear) override;
    void UpdateCamera(float time) override;
    void ApplyView(const QuadVertices& quad) override;
    void SetPictureMode(int pictureMode) override;
    bool NeedsRenderTarget() const override;
    bool AddBoundingRect(BoundingRectList& rects) const override;

    void SelectBackdrop();
    void LoadPicture();
    void UpdateDerived();
    // World, view, projection and the stage-1 texture matrix of the ball.
    void SetBallTransforms(bool bumpPass);
    // Whether every device object the ball needs is there and the view's
    // numbers can be divided by.
    bool CanCompose() const;

    // The phase and previous time shared by every glass ball.
    static float SharedPhase();

    // ---- stored values
    DS_ImageFileLink overlayALink;
    DS_ImageFileLink overlayBLink;
    DS_ImageFileLink standLink;
    DS_ImageFileLink pictureLink;
    UINTSclaleTo<float> turnSpeed{0.03f, 0.0f, 33};
    MediaParamT<std::int32_t> ballOffsetX{0};
    MediaParamT<std::int32_t> ballOffsetY{0};
    MediaParamT<std::uint32_t> ballSize{100};
    MediaParamT<std::uint32_t> lensStrength{0};
    MediaParamT<std::int32_t> plain{0};
    MediaParamT<std::int32_t> overlayAOn{1};
    MediaParamT<std::int32_t> overlayBOn{1};
    MediaParamT<std::int32_t> standOn{0};
    MediaParamT<std::int32_t> backdropMode{0};
    MediaParamT<std::int32_t> turnMode{kSwing};
    SmartCOLORREF gradientTop{0};
    SmartCOLORREF gradientBottom{0};

    // ---- runtime state, for tests
    float CameraZ() const { return m_cameraZ; }
    float BumpScale() const { return m_bumpScale; }
    float SwingAmplitude() const { return m_swingAmplitude; }
    float SwingValue() const { return m_swing; }
    float FitRatioX() const { return m_fitRatioX; }
    float FitRatioY() const { return m_fitRatioY; }
    float ZoomX() const { return m_zoomX; }
    int BallPictureMode() const { return m_ballPictureMode; }
    const math::Matrix& TextureMatrix() const { return m_textureMatrix; }
    const ScreenQuad& BarQuad(Bar bar) const { return m_bars[bar]; }
    const TexturedQuad& Backdrop() const { return m_backdrop; }
    const TexturedQuad& ScrollQuad(int index) const { return index == 0 ? m_scrollA : m_scrollB; }
    gfx::Texture* BumpTexture() const { return m_bump.Get(); }
    gfx::Texture* MaskTexture() const { return m_mask.Get(); }
    gfx::Texture* GradientTexture() const { return m_gradient.Get(); }
    const TextureRef& BallPicture() const { return m_picture; }
    gfx::Texture* OverlayTexture(int index) const { return index == 0 ? m_overlayA.Get() : m_overlayB.Get(); }
    gfx::Texture* StandTexture() const { return m_stand.Get(); }

private:
    void FitBackdrop(const QuadVertices& quad);
    void PlaceBars(float left, float right, float top, float bottom, float scaledWidth, float scaledHeight);
    void ApplyTurn(float time);
    void Compose(gfx::Device& device, RenderContext& context);
    void DrawFallback(gfx::Device& device, RenderContext& context, gfx::Texture* scene);
    void DrawBallStrip(gfx::Device& device, gfx::VertexBuffer* buffer) const;
    void DrawBars();
    float ViewWidth() const;
    float ViewHeight() const;
    float PictureAspect(bool bumpPass) const;
    int BackdropPictureMode(int requested) const;

    gfx::Ref<gfx::Texture> m_bump;
    gfx::Ref<gfx::Texture> m_mask;
    gfx::Ref<gfx::Texture> m_gradient;
    TextureRef m_picture;
    gfx::Ref<gfx::Texture> m_overlayA;
    gfx::Ref<gfx::Texture> m_overlayB;
    gfx::Ref<gfx::Texture> m_stand;
    gfx::Ref<gfx::VertexBuffer> m_ballBuffer;
    gfx::Ref<gfx::VertexBuffer> m_standBuffer;
    float m_swing = 0.0f;
    std::array<ScreenQuad, 4> m_bars;
    TexturedQuad m_backdrop;
    TexturedQuad m_scrollA;
    TexturedQuad m_scrollB;
    float m_cameraZ = -600.0f;
    float m_bumpScale = 1.0f;
    float m_swingAmplitude = 0.0f;
    float m_fitRatioX = 1.0f;
    float m_fitRatioY = 1.0f;
    // The backdrop's picture-position mode (the scene itself is fitted);
    // the base's mode is the scene's and changes with its passes.
    int m_ballPictureMode = PicturePosition::kFit;
    int m_savedPictureMode = PicturePosition::kFit;
    float m_panX = 0.0f;
    float m_panY = 0.0f;
    float m_zoomX = 1.0f;
    float m_zoomY = 1.0f;
    bool m_ballViewPushed = false;
    QuadVertices m_savedViewQuad;
    math::Matrix m_textureMatrix;
    bool m_deviceObjectsComplete = false;
};
