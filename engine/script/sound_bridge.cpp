#include "engine/script/sound_bridge.h"

#include <algorithm>
#include <cmath>

namespace velmora::script {

// Clip ids are instance serials and the global owner is 0 on both sides.
static_assert(avm1::kNoClip == audio::kGlobalOwner);

avm1::SoundSettings SoundBridge::GetSoundSettings(avm1::ClipId clip) {
    const audio::SoundTransform t = m_player.Mixer().Transform(clip);
    return {t.volume, t.ll, t.lr, t.rr, t.rl};
}

void SoundBridge::SetSoundSettings(avm1::ClipId clip, const avm1::SoundSettings& s) {
    m_player.Mixer().SetTransform(clip, {s.volume, s.ll, s.lr, s.rr, s.rl});
}

int SoundBridge::FindSound(std::string_view linkageId) {
    const movie::MovieDefinition* def = m_player.Definition();
    const auto id = def ? def->FindExport(linkageId) : std::nullopt;
    return id && def->FindSound(*id) ? *id : 0;
}

const movie::SoundDef* SoundBridge::Find(int soundId) const {
    const movie::MovieDefinition* def = m_player.Definition();
    return def && soundId > 0 && soundId <= 0xFFFF ? def->FindSound(static_cast<uint16_t>(soundId)) : nullptr;
}

double SoundBridge::SoundDurationMs(int soundId) {
    const movie::SoundDef* sound = Find(soundId);
    return sound ? sound->DurationMs() : 0;
}

uint64_t SoundBridge::StartSound(avm1::ClipId owner, int soundId, double offsetMs, int loops) {
    const movie::SoundDef* sound = Find(soundId);
    if (!sound) return 0;
    audio::SoundInfo info;
    info.loops = static_cast<uint16_t>(std::clamp(loops, 1, 0xFFFF));
    if (offsetMs > 0) info.inPoint = static_cast<uint32_t>(std::min(offsetMs * 44.1, 4e9));
    return m_player.Mixer().Start(static_cast<uint16_t>(soundId), sound->Decoded(m_player.Mp3()), info, owner);
}

avm1::SoundHost::VoiceState SoundBridge::StateOf(uint64_t voice) {
    const audio::Mixer& mixer = m_player.Mixer();
    return mixer.IsVoicePlaying(voice) ? VoiceState::Playing
           : mixer.HasVoiceEnded(voice) ? VoiceState::Ended : VoiceState::Stopped;
}

void SoundBridge::StopSound(avm1::ClipId owner, int soundId) {
    audio::Mixer& mixer = m_player.Mixer();
    if (soundId > 0) mixer.Stop(static_cast<uint16_t>(soundId));
    else if (owner == avm1::kNoClip) m_player.StopSounds();
    else mixer.StopOwner(owner);
}

}  // namespace velmora::script
