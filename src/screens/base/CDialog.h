#pragma once
// The yes/no question box put over any screen before an action that cannot be undone. Built on
// the asking code's stack: construct, Setup, Run, read Result (0 yes, 1 no, -1 cancelled),
// destroy. Each kind shows its own question line from "dialog_p.akb"; most kinds carry a
// do-not-ask-again box bound to "/Config/Dialog/%02u/Enable", and once it is ticked Setup
// answers 0 without building anything. Main thread only.

#include <array>
#include <cstdint>
#include <memory>

#include "screens/base/ISelect.h"

class CSprite;
class CSpriteContainer;
class CSpriteLayer;

// Control ids of the dialog's area files.
inline constexpr int32_t DIALOG_YES = 0;
inline constexpr int32_t DIALOG_NO = 1;
inline constexpr int32_t DIALOG_BOX = 0x100;
// Answers of a run.
inline constexpr int32_t DIALOG_ANSWER_YES = 0;
inline constexpr int32_t DIALOG_ANSWER_NO = 1;
inline constexpr int32_t DIALOG_ANSWER_CANCEL = -1;

inline constexpr int32_t DIALOG_KIND_COUNT = 13;
// The "/Config/Dialog/%02u/Enable" number of each kind; kinds 9 and 10 never read theirs.
inline constexpr std::array<int32_t, DIALOG_KIND_COUNT> DIALOG_NUMBERS{0, 1, 2, 3, 5, 7, 6, 4, 8, 0, 0, 9, 0};

class CDialog : public ISelect
{
public:
    CDialog();
    ~CDialog() override;

    // 1 when built, 0 when the kind's number is switched off (nothing built: go on as after
    // yes), -1 when a sprite or the picture cannot be made or the kind is unknown.
    virtual int32_t Setup(int32_t kind, int32_t depth);
    // Draws the hovered control in a state (0 normal, 1 hover, 2 pressed) and shows it at once.
    virtual void DrawControl(int32_t state);

    void Show() override;
    void BuildParts(int32_t mode) override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    void OnDecide() override;
    void OnCancel() override;
    int32_t OnUpKey() override;
    int32_t OnDownKey() override;
    int32_t OnLeftKey() override;
    int32_t OnRightKey() override;

    int32_t GetKind() const { return Kind; }
    int32_t IsSimple() const { return Simple; }
    int32_t GetHover() const { return Hover; }
    CSpriteContainer* GetBaseSprite() const { return BaseSprite.get(); }

protected:
    int32_t Kind = 0;
    int32_t Depth = 0;
    int32_t Simple = 0;
    int32_t Hover = -1;
    std::unique_ptr<CSprite> PictureSprite;
    std::unique_ptr<CSpriteContainer> BaseSprite;
    std::unique_ptr<CSpriteLayer> DimLayer;
    std::unique_ptr<CSpriteLayer> PanelLayer;
    std::unique_ptr<CSpriteLayer> ButtonLayer;

private:
    void ReleaseParts();
    // Draws one control in a state, without presenting.
    void DrawOne(int32_t id, int32_t state);
    bool BoxTicked() const;
};
