#include <gtest/gtest.h>

#include "DocumentFixture.h"
#include "app/CVeskDoc.h"
#include "graphics/CFontDIB.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/commands/CFuncFont.h"
#include "script/vm/CScript.h"
#include "script/vm/ScriptContext.h"

namespace {

class CFuncFontThreadTest : public DocumentFixture
{
protected:
    void Call(int32_t function, int32_t width, int32_t height)
    {
        ScriptContext& context = *m_document->GetScript().m_script_context;
        context.PushInteger(height);
        context.PushInteger(width);
        context.PushInteger(function);
        CFuncFont group;
        CScript script;
        group.Call(script);
        EXPECT_TRUE(context.ValueStack.empty());
    }
    std::pair<int32_t, int32_t> SizeOf(int font)
    {
        CFontDIB* dib = GetSpriteLayerRegistry().GetFont(font);
        return {dib->GetCellWidth(), dib->GetCellHeight()};
    }

    CVeskDoc* m_document = StartDocument();
};

TEST_F(CFuncFontThreadTest, TextFontsAndTheSmallFontAreSizedApart)
{
    const auto small = SizeOf(DOCUMENT_FONT_FIFTH);
    Call(0, 40, 44);
    for (int font : {DOCUMENT_FONT_MAIN, DOCUMENT_FONT_SECOND, DOCUMENT_FONT_THIRD, DOCUMENT_FONT_VERTICAL})
        EXPECT_EQ(SizeOf(font), std::make_pair(40, 44)) << font;
    EXPECT_EQ(SizeOf(DOCUMENT_FONT_FIFTH), small);
    Call(1, 20, 22);
    EXPECT_EQ(SizeOf(DOCUMENT_FONT_FIFTH), std::make_pair(20, 22));
    EXPECT_EQ(SizeOf(DOCUMENT_FONT_MAIN), std::make_pair(40, 44));
}

} // namespace
