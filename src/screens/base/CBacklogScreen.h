#pragma once
// The backlog of read text: a system-menu page that lists the last recorded messages over the
// dimmed game picture. IBackLog runs it with the game state saved around it, recording off and
// the message window's text settings put back on every way out, scrolls by the wheel and replays
// a record's voices; CBacklogScreen is its three-row layout with voice, mark and jump-back
// controls, a scroll bar and a help line. Main thread only.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "graphics/CSprite.h"
#include "screens/base/ISelect.h"
#include "script/FlagBuffer.h"

class CFontDIB;
struct LogBuffer;
struct TextBox;

// Control states of the backlog's pictures.
inline constexpr int32_t BACKLOG_NORMAL = 0;
inline constexpr int32_t BACKLOG_HOVERED = 1;
inline constexpr int32_t BACKLOG_PRESSED = 2;
inline constexpr int32_t BACKLOG_DISABLED = 3;

// Engine-state bit set while a backlog is open; the voice group collects loaded names then.
inline constexpr uint32_t ENGINE_STATE_BACKLOG_OPEN = 0x400;
// The sprite layer the backlog typesets its texts into.
inline constexpr int32_t BACKLOG_TEXT_LAYER = 7;

// 1: the backlog draws its literal head lines with the language's text service rather than its
// own face; the document's language as the game started decides it (1 for simplified Chinese).
int32_t GetBacklogLayoutSwitch();

class IBackLog : public ISystemParts
{
public:
    // A rectangle of a layer, right and bottom outside; empty when it holds no pixel.
    struct InkRect
    {
        int32_t Left = 0;
        int32_t Top = 0;
        int32_t Right = 0;
        int32_t Bottom = 0;
    };

    IBackLog();
    ~IBackLog() override;
    int32_t IsShown() override { return Shown; }
    // Puts back the text settings, the text table and recording as they were before the run.
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    void OnBackspaceKey() override;
    void OnMouseWheel(int32_t count) override;
    void OnCancel() override;

    // Runs the screen from the start position; answers the result integer. A document code
    // thrown inside closes the screen and travels on.
    virtual int32_t RunBacklog(ScriptValue* result, int32_t start_index);
    virtual int32_t GetRowsPerPage() = 0;
    // Plays the n-th voice collected for the row last drawn: 2 when it plays, 0 past the list
    // or when voices are off for it.
    virtual int32_t ReplayVoice(int32_t n);
    virtual void DrawButton(int32_t id, int32_t state, int32_t present)
    {
        (void)id;
        (void)state;
        (void)present;
    }
    virtual void RedrawPage(int32_t thumb_state, int32_t present)
    {
        (void)thumb_state;
        (void)present;
    }
    virtual void DrawEntry(int32_t index);
    virtual void DrawLogText(CStringUTF8 text);

    // The position a run asking to be run again left behind.
    virtual int32_t GetKeptIndex() { return Top; }
    // The start of every opening's page: the text layer cleared, the records counted and the
    // position cut to them.
    virtual void ResetPage();
    // Makes the whole text layer clear.
    virtual void ClearTextLayer(ILayer* text);

    int32_t Shown = 0;
    int32_t RecordingWasOn = 0;
    int32_t HoverId = -1;
    int32_t Top = 0;
    int32_t EntryCount = 0;
    int32_t MaxTop = 0;
    FlagBuffer SavedState;
    CStringUTF8 SavedTextTable;

protected:
    // The open steps every backlog shares.
    void OpenCommon();
    void ResetWheel();
    // The record at a store index, or null.
    LogBuffer* Record(int32_t index);
    // A typesetting request from the game state's text values for the text layer.
    TextBox MakeTextBox(const CStringUTF8& text);
    void SetValue(size_t index, int32_t value);
    int32_t GetValue(size_t index);
    // Typesets the box with the language's face at 40 x 40, made once and kept: a page draws six
    // texts, and making a face each time would cost more than drawing them. A draw given draws
    // instead, with its own face of the same language and size. Adds to Ink where on the box's
    // layer it may have drawn.
    void TypesetBox(TextBox& box, const std::function<void(TextBox&)>& draw = {});

    // Where the typesetting may have drawn into its layer since the owner last emptied this.
    std::vector<InkRect> Ink;

private:
    std::unique_ptr<CFontDIB> m_font;
    CStringUTF8 m_font_name;
};

class CBacklogScreen : public IBackLog
{
public:
    ~CBacklogScreen() override;

    void OnOpen() override;
    void Update() override;
    int32_t OnUpKey() override;
    int32_t OnDownKey() override;
    int32_t OnLeftKey() override;
    int32_t OnRightKey() override;
    void OnDrag() override;
    void OnDecide() override;
    ScriptValue* Run(ScriptValue* out) override;
    int32_t CreateParts() override;
    void ReleaseParts() override;
    // Clears the page layers a closed backlog keeps, so they cost no memory until drawn again.
    void GiveBackPages();
    ILayer* GetPageBaseLayer() const;
    int32_t GetRowsPerPage() override { return 3; }
    void ResetPage() override;
    void ClearTextLayer(ILayer* text) override;
    // The page an opening shows, drawn afresh: the marks cleared, the text layout and the thumb
    // set, the first page over a clear control layer.
    void DrawFirstPage();
    void DrawButton(int32_t id, int32_t state, int32_t present) override;
    void RedrawPage(int32_t thumb_state, int32_t present) override;

    // The thumb's height for a count of records with content (0: no thumb), and its top for a
    // position: 2 pixels a record while that leaves it 40 pixels, spread over the track beyond.
    static int32_t ThumbHeightFor(int32_t count);
    static int32_t ThumbTopFor(int32_t top, int32_t max_top, int32_t thumb_height);
    // The store index a row shows, or -1 when it shows none.
    int32_t RowRecord(int32_t row) const;
    // The control the cursor keys lead to from a control (scan codes 200, 208, 203, 205); -1
    // when none.
    int32_t KeyTarget(int32_t from, uint32_t key);

    std::unique_ptr<CSprite> PartsImage;
    std::unique_ptr<CSprite> CoverImage;
    std::unique_ptr<CSprite> HelpLayer;
    std::unique_ptr<CSprite> ThumbLayer;
    int32_t ThumbWidth = 0;
    int32_t ThumbHeight = 0;
    std::vector<int32_t> Marks; // by position from the newest record

private:
    // What a page drawing leaves behind, so that the next page on the same layers redraws only
    // its texts. Within a row's window of the text area (its head and body, x 184 to 1352):
    // where its text was composed over the view, and the rows of the page's RowBase that hold
    // the view beneath the text (background and row frame).
    struct RowShown
    {
        bool Framed = false;
        std::vector<InkRect> Composed; // one under the other
        InkRect Base;
    };
    enum class RowDraw
    {
        NEW_PAGE,  // on a freshly drawn background
        KEPT_PAGE, // over the row as the last page left it
        ALONE,     // over whatever the view shows
    };

    bool RowHasRecord(int32_t row);
    bool RowHasVoice(int32_t row);
    void BuildThumb();
    void DrawRow(int32_t row, int32_t state, RowDraw how = RowDraw::ALONE);
    bool PageKept();
    // A kept page whose layers nothing else has written since this screen drew it.
    bool PageIntact();
    void ForgetPage();
    void DrawBackground(ILayer* view);
    // Takes in the ink the typesetting reported; another text layer than the one followed may
    // hold ink anywhere.
    void FollowTextLayer(ILayer* text);
    void ClearText(ILayer* text, int32_t row, const InkRect& rect);
    void ComposeText(ILayer* view, ILayer* text, int32_t row, RowDraw how);
    bool MaskKept();
    // Copies a piece of the parts picture to the control layer, or clears it for a source x of
    // -1, unless the kept page shows that there already.
    void ShowOnMask(ILayer* mask, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy);
    void DrawScrollBar(int32_t state);
    void DrawHelp(int32_t id);
    void Present();
    void ScrollTo(int32_t top, int32_t thumb_state);
    void StopVoice();
    // 1 when the row's voices ended or OK skipped on, 0 when cancel stopped them.
    int32_t PlayRowVoices();
    void ReplayRow(int32_t row);
    void BatchReplay();
    void JumpBack(int32_t index);
    void DragThumb();
    int32_t MoveByKey(uint32_t key);

    // The background with the row frames of the rows in m_base_rows (a bit a row), drawn once
    // for the pictures it was drawn from: a page drawn afresh starts as a copy of it.
    std::unique_ptr<CSprite> PageBaseImage;
    int32_t m_base_rows = -1;
    const CSprite* m_base_cover = nullptr;
    const CSprite* m_base_parts = nullptr;
    bool m_frames_drawn = false; // the page drawn afresh has its row frames from PageBaseImage
    bool m_mask_clear = false;   // the whole control layer has just been cleared
    // A page kept on one pair of page layers: the image layers an opening draws into, or the
    // shown ones the screen draws into while open. Besides the rows, what the control layer
    // shows: by a control's corner its size and source (x -1 for cleared), the help line's id,
    // the thumb's top and column (-1: the whole track was not cleared yet).
    struct PageShown
    {
        ILayer* View = nullptr; // null: no page to keep
        ILayer* Mask = nullptr;
        RowShown Rows[3];
        std::map<std::pair<int32_t, int32_t>, std::array<int32_t, 4>> MaskShown;
        int32_t HelpShown = 0;
        bool HelpKnown = false;
        int32_t ThumbTop = -1;
        int32_t ThumbColumn = -1;
        std::unique_ptr<CSprite> RowBase;
    };
    PageShown& Page() { return m_pages[DrawToImage != 0 ? 0 : 1]; }
    void ForgetPage(PageShown& page);
    PageShown m_pages[2];
    ILayer* m_ink_layer = nullptr; // the text layer the ink spans describe
    // Per row, where within its window the text layer may hold ink.
    std::vector<InkRect> m_ink[3];
    // A layer's write count as this screen left it: while the count stands, the layer holds what
    // this screen drew and what is kept above describes it.
    struct LayerSeen
    {
        ILayer* Layer = nullptr;
        uint64_t Writes = 0;

        bool Holds(ILayer* layer) const;
        void See(ILayer* layer);
    };
    LayerSeen m_seen_text;
    LayerSeen m_seen_view;
    LayerSeen m_seen_mask;
    // Wherever the text layer was written since it was last cleared whole (every ink span).
    std::vector<InkRect> m_text_touched;
};
