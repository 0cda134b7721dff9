#pragma once
// A sprite that owns a software pixel layer and is itself a layer: every pixel operation called on
// it draws into its inner layer. Adds the layer animations of the step machine: the rule
// transition, the cross-fade to another layer and the wrap-around vertical scroll. Screens own
// their sprite layers (or register them with the document, which then owns them).

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/CDIB.h"
#include "graphics/CSprite.h"

// Kinds of inner layer a sprite layer makes.
inline constexpr int32_t LAYER_KIND_MEMORY = 0;
inline constexpr int32_t LAYER_KIND_DIB_SECTION = 1;

class CSpriteLayer : public CSprite, public ILayer
{
public:
    CSpriteLayer();
    ~CSpriteLayer() override;

    // Makes the inner layer of the layer kind (the CStringUTF8 thrown by its Create passes on),
    // frees the previous one, sets the rectangle and the priority, registers unless it is -1.
    int32_t Create(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority) override;
    void Destroy() override;
    void Invalidate(int32_t mode, const RECT& rect) override;
    int32_t IsLayerModified() override;
    // Draws the part of the sprite inside the target with the sprite's alpha as opacity.
    void DrawToLayer(ILayer* target) override;

    void StartAnimScroll(const SpriteAnimRecord& record) override;
    void StartAnimTransition(const SpriteAnimRecord& record) override;
    void StartAnimCrossFade(const SpriteAnimRecord& record) override;
    void FinishLayerAnimStep(uint32_t kinds) override;
    void OnAnimStepBegin(uint32_t kinds, int32_t duration) override;
    void UpdateLayerAnimation(uint32_t kinds, int32_t elapsed, int32_t duration) override;
    void OnAnimStepEnd(uint32_t kinds) override;

    virtual void SaveSnapshot();
    // Takes ownership of the layer, frees the old one; stores the priority without registering.
    virtual void AttachLayer(ILayer* layer, int32_t x, int32_t y, int32_t priority);
    // As DrawToLayer, inside clip only and composed with the destination's own alpha.
    virtual void DrawToLayerClipped(ILayer* target, const RECT& clip);
    // Clears the animations and returns a fresh zeroed record for the caller to fill.
    virtual SpriteAnimRecord* BeginRecord();
    virtual void CommitRecord();
    virtual SpriteAnimRecord* GetPendingRecord();
    virtual ILayer* GetLayer();
    // Reads "%02u.bin" from the data archive unless that rule is the one loaded.
    virtual void LoadTransitionRule(uint32_t rule);
    virtual void UpdateTransition();

    void SetLayerKind(int32_t kind) { m_layer_kind = kind; }
    int32_t GetLayerKind() const { return m_layer_kind; }

    // ILayer side: everything goes to the inner layer.
    BITMAPINFOHEADER* Create(int32_t width, int32_t height) override;
    void Release() override;
    int32_t GetType() override;
    ptrdiff_t GetPixelOffset(int32_t x, int32_t y) override;
    ptrdiff_t GetPitch() override;
    uint8_t* GetBits() override;
    HDC GetDC() override;
    BITMAPINFOHEADER* GetHeader() override;
    int32_t GetWidth() override;
    int32_t GetHeight() override;
    int32_t GetStride() override;
    int32_t Lock() override;
    int32_t Unlock() override;
    BITMAPINFOHEADER* Resize(int32_t width, int32_t height) override;
    SIZE GetSize() override;
    void SetModified(int32_t value) override;
    int32_t GetModified() override;

protected:
    // The rows are the fronted layer's: it gives them back where it owns its block.
    void ZeroRows(uint8_t* first, size_t bytes) override;
    // Installs a rule image directly: the loader reads the archive and hands the bytes here.
    void SetTransitionRule(uint32_t rule, std::vector<uint8_t> image);
    void Scroll();

    std::unique_ptr<ILayer> m_layer;
    std::unique_ptr<CDIB> m_snapshot;
    std::vector<uint8_t> m_alpha_mask;
    std::unique_ptr<SpriteAnimRecord> m_pending_record;
    int32_t m_layer_kind = LAYER_KIND_MEMORY;

    // Rule transition.
    int32_t m_transition_appear = 0;
    int32_t m_transition_hard_edge = 0;
    int64_t m_rule_number = -1;
    std::vector<uint8_t> m_rule_image; // rows of the screen width
    int32_t m_rule_width = 0;
    int32_t m_rule_height = 0;
    float m_threshold = 0;
    float m_threshold_step = 0;
    uint16_t m_integer_step = 0;
    uint16_t m_lower_start = 0;

    // Cross-fade.
    CSpriteLayer* m_cross_fade_target = nullptr; // not owned
    uint8_t m_ratio_from = 0;
    uint8_t m_ratio_to = 0;
    RECT m_cross_fade_rect{};

    // Vertical scroll.
    CSpriteLayer* m_scroll_work = nullptr; // not owned
    int32_t m_scroll_rows = 0;
};
