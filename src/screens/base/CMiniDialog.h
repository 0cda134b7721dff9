#pragma once
// The one-button notices: the screen dimmed, a panel with a message picture and an OK button,
// answered -1 however they end. CMiniDialog knows five fixed layouts by kind; CMiniDialog2 shows
// any 88-pixel message line of "dialog_p2.akb" by number. Built on the showing code's stack like
// the confirmation dialog, whose fade-in, close and cancel they share; everything is drawn on one
// full-screen layer. Main thread only.

#include <cstdint>
#include <memory>

#include "screens/base/CDialog.h"

// The control id of the OK button in "dialog3.area".
inline constexpr int32_t MINI_DIALOG_OK = 0;
// Every way out answers this.
inline constexpr int32_t MINI_DIALOG_ANSWER = -1;

class CMiniDialog : public CDialog
{
public:
    CMiniDialog();
    ~CMiniDialog() override;

    // 1 when built, -1 when the picture or the dialog layer cannot be made.
    int32_t Setup(int32_t kind, int32_t depth) override;
    void DrawControl(int32_t state) override;

    void OnDecide() override;
    int32_t OnUpKey() override;
    int32_t OnDownKey() override;
    int32_t OnLeftKey() override;
    int32_t OnRightKey() override;

    CSpriteLayer* GetDialogLayer() const { return DimLayer.get(); }

protected:
    // Where a layout takes its panel and where it puts it.
    struct Panel
    {
        int32_t source_y = 0;
        int32_t height = 0;
        int32_t y = 0;
    };

    // The panel of the stored kind, or none.
    virtual bool FindPanel(Panel& panel) const;
    // Draws the kind's message onto the dialog layer.
    virtual void DrawMessage();
    // Loads "dialog_p2.akb" when not yet loaded; null when it cannot be.
    CSpriteLayer* SecondPicture();

    std::unique_ptr<CSprite> SecondPictureSprite;

private:
    void DrawButton(int32_t state);
    int32_t PointAtButton(uint32_t scan_code);
};

class CMiniDialog2 : public CMiniDialog
{
protected:
    bool FindPanel(Panel& panel) const override;
    void DrawMessage() override;
};
