#include "script/commands/IFuncMusic.h"

#include "foundation/AppLink.h"
#include "foundation/CExecException.h"
#include "foundation/ConfigAccess.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "script/vm/ScriptContext.h"
#include "sound/CWaveOggManager.h"
#include "sound/CWavePcmManager.h"
#include "sound/SoundChannels.h"

#include <memory>
#include <new>

namespace {

constexpr int32_t SUB_CREATE = 0;
constexpr int32_t SUB_PLAY = 1;
constexpr int32_t SUB_STOP = 2;
constexpr int32_t SUB_FADE_OUT = 3;
constexpr int32_t SUB_FADE_IN = 4;
constexpr int32_t SUB_LOAD = 5;
constexpr int32_t SUB_START = 6;
constexpr int32_t SUB_IS_PLAYING = 7;
constexpr int32_t SUB_IS_OPEN = 8;

} // namespace

void IFuncMusic::Call(CScript&)
{
    if (Context == nullptr)
        return;
    switch (Context->PopInteger()) {
    case SUB_CREATE:
        ScriptCreate();
        break;
    case SUB_PLAY:
        ScriptPlay();
        break;
    case SUB_STOP:
        ScriptStop();
        break;
    case SUB_FADE_OUT:
        ScriptFadeOut();
        break;
    case SUB_FADE_IN:
        ScriptFadeIn();
        break;
    case SUB_LOAD:
        ScriptLoad();
        break;
    case SUB_START:
        ScriptStart();
        break;
    case SUB_IS_PLAYING:
        ScriptIsPlaying();
        break;
    case SUB_IS_OPEN:
        ScriptIsOpen();
        break;
    default:
        break;
    }
}

void IFuncMusic::ScriptCreate()
{
    CreateManager(Context->PopInteger());
}

void IFuncMusic::ScriptPlay()
{
    const CStringUTF8 name = Context->PopValue().Text;
    const int32_t channel = Context->PopInteger();
    Play(name, channel, 1);
}

void IFuncMusic::ScriptStop()
{
    Stop(Context->PopInteger());
}

void IFuncMusic::ScriptFadeOut()
{
    const int32_t time = Context->PopInteger();
    const int32_t channel = Context->PopInteger();
    FadeOut(time, channel);
}

void IFuncMusic::ScriptFadeIn()
{
    const int32_t time = Context->PopInteger();
    const int32_t channel = Context->PopInteger();
    FadeIn(time, channel);
}

void IFuncMusic::ScriptLoad()
{
    const CStringUTF8 name = Context->PopValue().Text;
    const int32_t channel = Context->PopInteger();
    Load(name, channel);
}

void IFuncMusic::ScriptStart()
{
    Start(Context->PopInteger());
}

void IFuncMusic::ScriptIsPlaying()
{
    Context->PushInteger(IsPlaying(Context->PopInteger()) ? 1 : 0);
}

void IFuncMusic::ScriptIsOpen()
{
    Context->PushInteger(IsOpen(Context->PopInteger()) ? 1 : 0);
}

void IFuncMusic::PlayFromStart(int32_t channel)
{
    if (IWaveManager* manager = GetManager(channel))
        manager->Play();
}

void IFuncMusic::Play(CStringUTF8 name, int32_t channel, int32_t apply_volume)
{
    IWaveManager* manager = GetManager(channel);
    if (manager == nullptr)
        return;
    if (apply_volume != 0)
        manager->SetVolume(GetVolume(channel));
    manager->PlayNamed(name);
}

void IFuncMusic::Prepare(CStringUTF8 name, int32_t channel)
{
    IWaveManager* manager = GetManager(channel);
    if (manager == nullptr)
        return;
    manager->SetVolume(GetVolume(channel));
    manager->PrepareFile(name);
}

void IFuncMusic::Stop(int32_t channel)
{
    if (IWaveManager* manager = GetManager(channel))
        manager->Stop(true);
}

void IFuncMusic::FadeOut(int32_t time, int32_t channel)
{
    IWaveManager* manager = GetManager(channel);
    if (manager == nullptr)
        return;
    if (IsEnabled())
        manager->Fade(static_cast<DWORD>(time), SOUND_VOLUME_FLOOR, 1);
    else
        manager->Stop(true);
}

void IFuncMusic::FadeIn(int32_t time, int32_t channel)
{
    IWaveManager* manager = GetManager(channel);
    if (manager == nullptr)
        return;
    const bool enabled = IsEnabled();
    if (manager->IsLoaded()) {
        if (enabled)
            manager->SetVolume(SOUND_VOLUME_FLOOR);
        manager->Reload();
    }
    if (enabled)
        manager->Fade(static_cast<DWORD>(time), GetVolume(channel), 0);
    else
        manager->SetVolume(GetVolume(channel));
}

void IFuncMusic::Load(CStringUTF8 name, int32_t channel)
{
    if (IWaveManager* manager = GetManager(channel))
        manager->StoreName(name);
}

void IFuncMusic::Start(int32_t channel)
{
    IWaveManager* manager = GetManager(channel);
    if (manager == nullptr)
        return;
    manager->SetVolume(GetVolume(channel));
    manager->Reload();
}

bool IFuncMusic::IsPlaying(int32_t channel)
{
    IWaveManager* manager = GetManager(channel);
    return manager != nullptr && manager->IsPlaying();
}

bool IFuncMusic::IsOpen(int32_t channel)
{
    IWaveManager* manager = GetManager(channel);
    return manager != nullptr && manager->IsLoaded() != 0;
}

CStringUTF8 IFuncMusic::GetFileName(int32_t channel)
{
    IWaveManager* manager = GetManager(channel);
    return manager != nullptr ? manager->GetName() : CStringUTF8();
}

IWaveManager* IFuncMusic::GroupManager(size_t group, int32_t channel)
{
    if (Document == nullptr || channel < 0)
        return nullptr;
    const auto& channels = GetGameSoundChannels()[group];
    if (static_cast<size_t>(channel) >= channels.size())
        return nullptr;
    return channels[static_cast<size_t>(channel)].get();
}

int32_t IFuncMusic::GroupVolume(float level)
{
    if (!IsEnabled() || !GetConfigSoundEnable())
        return SOUND_VOLUME_SILENT;
    const float product = (level * -5000.0f) * GetConfigMasterVolume();
    return SOUND_VOLUME_FLOOR - static_cast<int32_t>(product);
}

template <class Manager>
void IFuncMusic::CreateChannels(int32_t count, const GroupSetup& setup)
{
    if (Document == nullptr)
        return;
    const uint16_t block = static_cast<uint16_t>(setup.channels * 2);
    const WAVEFORMATEX format = {WAVE_FORMAT_PCM, setup.channels, 44100, 44100u * block, block, 16, 0};
    for (int32_t i = 0; i < count; ++i) {
        std::unique_ptr<Manager> manager(new (std::nothrow) Manager);
        if (!manager)
            throw CExecException(setup.failure_text);
        AppLink* app = GetAppLink();
        const CStringUTF8 archive = app != nullptr
                                        ? app->GetFileInfoString(setup.archive_key, setup.archive_default)
                                        : CStringUTF8(setup.archive_default);
        manager->Initialize(archive, foundation::ReadConfigInt(setup.error_key, 1) == 1);
        manager->CreateBuffer(format, setup.buffer_value);
        GetGameSoundChannels()[setup.group].push_back(std::move(manager));
    }
}

template void IFuncMusic::CreateChannels<CWavePcmManager>(int32_t, const GroupSetup&);
template void IFuncMusic::CreateChannels<CWaveOggManager>(int32_t, const GroupSetup&);
