#pragma once
// A close-up map of one part of the world: a full-screen picture with clickable spots, the face of
// whoever is at each spot's places when the player would get there, and a back button. One object
// serves the six kinds; the kind is read from the game state at each run. The result is the
// picked spot's item, or -1 for back, cancel or a change of "/Config/GameMode" meanwhile.
// A missing picture or sheet leaves out only the copies that read it. Main thread only.

#include <array>
#include <cstdint>
#include <memory>

#include "screens/base/ISelect.h"
#include "screens/map/SubMapLayout.h"

class CPresence;
class CSprite;
class CSpriteContainer;
class CSpriteLayer;

class CSubMap : public ISelect
{
public:
    CSubMap();
    ~CSubMap() override;

    // Makes the container with its three screen-size layers and loads the icon sheet, once at
    // start-up; all live with the screen. False as soon as one cannot be made.
    virtual bool LoadIcons();

    ScriptValue* Run(ScriptValue* out) override;
    void Show() override;
    void Hide() override;
    void BuildParts(int32_t mode) override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    void OnDecide() override;
    void OnCancel() override;
    int32_t OnArrowKey(uint32_t scan_code) override;

    // One builder per kind; kinds 3 and 5 share the third floor's.
    void BuildFirstSubmap();
    void BuildSecondSubmap();
    void BuildSchoolFloor2();
    void BuildSchoolFloor3();
    void BuildSchoolFloor4();
    // A spot or the back button in a state (0 normal, 1 hover, 2 pressed); id -1 draws nothing.
    void DrawSpot(int32_t id, int32_t state, int32_t present);
    // One face cell into the icon layer, only while "/Config/GameMode" is 1.
    void DrawFaceIcon(int32_t x, int32_t y, int32_t character);
    // Leaves the active screens and lets every sprite go.
    void Release();

    // The clock every question of this screen is asked through; tests may put in their own.
    void SetPresence(std::unique_ptr<CPresence> presence);
    int32_t GetKind() const { return Kind; }
    int32_t GetHover() const { return Hover; }
    CSpriteLayer* GetBackgroundLayer() const { return m_background_layer.get(); }
    CSpriteLayer* GetPartsLayer() const { return m_parts_layer.get(); }
    CSpriteLayer* GetIconLayer() const { return m_icon_layer.get(); }
    CSpriteContainer* GetContainer() const { return m_container.get(); }

protected:
    int32_t Kind = 0;
    int32_t Hover = -1;
    std::array<int32_t, SUBMAP_SPOT_LIMIT> Selectable{};
    int32_t ModeAtOpen = 0;

private:
    // The container and its layers; false when one cannot be made.
    bool MakeLayers();
    // The builder's steps for one kind, asking the school's questions from the floor given.
    void Build(int32_t kind, uint32_t school_floor);
    int32_t Ask(int32_t kind, uint32_t school_floor, int32_t place);
    bool IsSpot(int32_t item) const;
    void Fade(bool appear);

    std::unique_ptr<CSpriteContainer> m_container;
    std::unique_ptr<CSprite> m_background;
    std::unique_ptr<CSprite> m_parts_sheet;
    std::shared_ptr<CSprite> m_icon_sheet;
    std::unique_ptr<CSpriteLayer> m_background_layer;
    std::unique_ptr<CSpriteLayer> m_parts_layer;
    std::unique_ptr<CSpriteLayer> m_icon_layer;
    std::unique_ptr<CPresence> m_presence;
    // The first sub map's spot 19 keeps the cell of the last build that knew it.
    int32_t m_spot19_sheet_y = SUBMAP_SPOT19_SHEET_Y[0];
};
