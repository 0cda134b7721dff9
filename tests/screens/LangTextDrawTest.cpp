// The text services screens draw with: a request's own text and a language message drawn into
// the request's layer, and a language message written as story text with its id kept for the
// backlog, on the screen stage's data (language tables whose message 0 is "text").

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/CLangTextFile.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CSpriteLayer.h"
#include "screens/ScreenFixture.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncString.h"
#include "script/vm/ScriptContext.h"

namespace {

class LangTextDrawThreadTest : public ScreenFixture
{
protected:
    ~LangTextDrawThreadTest() override
    {
        GetGameWork()->m_text_file.reset();
        SetConfigSceneSkip(0);
    }

    // Pixels of the layer that are not fully transparent.
    static int Drawn(CSpriteLayer& layer)
    {
        int count = 0;
        for (int y = 0; y < layer.GetHeight(); ++y)
            for (int x = 0; x < layer.GetWidth(); ++x)
                count += (EffectPixel(layer, x, y) >> 24) != 0;
        return count;
    }

    TextBox Box(CSpriteLayer& layer, const char* text = "")
    {
        layer.Create(0, 0, 400, 60, -1);
        layer.Clear();
        TextBox box;
        box.Text = text;
        box.CursorX = 10;
        box.CursorY = 10;
        box.CellWidth = 20;
        box.LineHeight = 44;
        box.DrawWord1 = 0xFFFFFF;
        box.Right = 400;
        box.Bottom = 60;
        box.DrawWord4 = &layer;
        return box;
    }
};

TEST_F(LangTextDrawThreadTest, TextsAreDrawnIntoTheRequestsLayer)
{
    CSpriteLayer layer;
    TextBox box = Box(layer, "Hello");
    EXPECT_EQ(DrawTextString(box), 1);
    EXPECT_GT(Drawn(layer), 20);
    EXPECT_GT(box.CursorX, 10); // the pen moved past the text

    TextBox no_layer = Box(layer, "Hello");
    no_layer.DrawWord4 = nullptr;
    EXPECT_EQ(DrawTextString(no_layer), 0);

    // A language message needs the message table open.
    TextBox message = Box(layer);
    EXPECT_EQ(DrawLangText(0, message), 0);
    EXPECT_EQ(Drawn(layer), 0);
    GetGameWork()->m_text_file = std::make_unique<CLangTextFile>();
    GetGameWork()->m_text_file->Open("system");
    EXPECT_EQ(DrawLangText(0, message), 1);
    EXPECT_STREQ(message.Text.GetText(), "text");
    EXPECT_GT(Drawn(layer), 20);
}

TEST_F(LangTextDrawThreadTest, ShowMessageWritesStoryTextAndKeepsItsId)
{
    ScriptContext& context = *GetScriptState().m_script_context;
    context.Backlog.Allocate(4);
    CLangTextFile file;
    file.Open("system");

    struct Case
    {
        int32_t scene_skip;
        uint32_t engine_bits;
        int32_t id;            // kept in the record
        const char* body_text; // recorded
    };
    const Case cases[] = {
        {0, ENGINE_STATE_RECORDING, 0, "text"},
        {1, ENGINE_STATE_RECORDING, -1, ""},
        {0, 0, -1, ""},
    };
    for (const Case& c : cases) {
        SetConfigSceneSkip(c.scene_skip);
        GetScriptState().m_current_state->SetEngineStateWord(c.engine_bits);
        ASSERT_TRUE(context.Backlog.NextEntry());
        GetScriptState().m_current_state->SetEngineStateBits(c.engine_bits != 0 ? ENGINE_STATE_ENTRY_OPEN : 0);
        LogBuffer* record = context.Backlog.GetCurrentEntry();
        ASSERT_NE(record, nullptr);
        file.ShowMessage(0);
        EXPECT_EQ(record->MessageId, c.id) << c.scene_skip << " " << c.engine_bits;
        EXPECT_STREQ(record->BodyText.GetText(), c.body_text) << c.scene_skip << " " << c.engine_bits;
    }
}

} // namespace
