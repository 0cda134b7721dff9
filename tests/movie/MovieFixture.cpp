#include "movie/MovieFixture.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "app/AppMessageBox.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/ScopedLock.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDirect3D.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteLayerOf.h"
#include "graphics/SpriteLayerRegistry.h"
#include "movie/CMoviePlayer.h"
#include "platform/user/WindowLayerTesting.h"
#include "screens/base/ISelect.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "sound/SoundSystem.h"

std::vector<ClipEntry> StandardClips()
{
    tools::MpegClipOptions a;
    a.frames = 10;
    tools::MpegClipOptions b;
    b.frames = 10;
    b.first_number = 100;
    b.tint = 0xC06030;
    b.audio = false;
    tools::MpegClipOptions long_clip;
    long_clip.frames = 100;
    long_clip.first_number = 200;
    tools::MpegClipOptions vsd = a;
    vsd.vsd_header = 16;
    return {{"A.MPG", a}, {"B.MPG", b}, {"LONG.MPG", long_clip}, {"VSD.MPG", vsd}};
}

int ReadLayerNumber(CSprite* sprite)
{
    ILayer* layer = SpriteLayerOf(sprite);
    if (layer == nullptr)
        return -1;
    const int width = layer->GetWidth();
    const int height = layer->GetHeight();
    std::vector<uint8_t> rows(static_cast<size_t>(width) * height * 4);
    ScopedLock lock(g_draw_lock); // the render thread copies frames in under the draw lock
    for (int y = 0; y < height; ++y)
        std::memcpy(&rows[static_cast<size_t>(y) * width * 4], layer->GetBits() + layer->GetPixelOffset(0, y),
                    static_cast<size_t>(width) * 4);
    return tools::ReadClipNumber(rows.data(), width, height, static_cast<ptrdiff_t>(width) * 4);
}

MovieFixture::MovieFixture()
{
    platform::ResetWindowLayer();
    SetAppMessageBoxHook([this](UINT, const CStringUTF8& text) {
        m_boxes.emplace_back(text.GetText());
        return 1;
    });
    m_app.UseConfigFile(m_dir.Path().string() + "/config.xml");
    m_app.Config().SetInt("/Screen/Window/Width", 640);
    m_app.Config().SetInt("/Screen/Window/Height", 360);
    GetView()->CreateMainWindow();
    EXPECT_EQ(CreateSoundSystem(GetView()->GetHandle()), nullptr);
    m_document = GetDocument();
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>();
    GetSpriteLayerRegistry().Sprites()[0] = CreateSpriteOfType(0, 0, 320, 240, -1, 0);
    m_sprite0 = GetSpriteLayerRegistry().Sprites()[0].get();
}

MovieFixture::~MovieFixture()
{
    if (m_player)
        m_player->Release();
    m_player.reset();
    GetSpriteLayerRegistry().Sprites().clear();
    DeleteDocument();
    ReleaseSoundSystem();
    DeleteView();
    platform::ResetWindowLayer();
    SetAppMessageBoxHook(nullptr);
}

void MovieFixture::WriteMovieArchive(const std::vector<ClipEntry>& clips)
{
    std::vector<tools::ArchiveEntry> entries;
    for (const ClipEntry& clip : clips)
        entries.push_back({clip.name, tools::WriteMpegClip(clip.options)});
    m_dir.Write("movie.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Plain));
}

void MovieFixture::CreatePlayer()
{
    m_player = std::make_unique<CMoviePlayer>(m_document);
    m_player->Create();
}

bool MovieFixture::PumpUntil(const std::function<bool()>& done)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit)
            return false;
        m_app.PumpMessage();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
