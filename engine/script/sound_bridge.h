// The VM's SoundHost over the player's mixer and the movie's sounds.
#pragma once

#include "engine/avm1/host.h"
#include "engine/movie/player.h"

namespace velmora::script {

class SoundBridge : public avm1::SoundHost {
public:
    explicit SoundBridge(movie::Player& player) : m_player(player) {}

    avm1::SoundSettings GetSoundSettings(avm1::ClipId clip) override;
    void SetSoundSettings(avm1::ClipId clip, const avm1::SoundSettings& settings) override;
    int FindSound(std::string_view linkageId) override;
    double SoundDurationMs(int soundId) override;
    uint64_t StartSound(avm1::ClipId owner, int soundId, double offsetMs, int loops) override;
    void StopSound(avm1::ClipId owner, int soundId) override;
    VoiceState StateOf(uint64_t voice) override;
    double VoicePositionMs(uint64_t voice) override { return m_player.Mixer().VoicePositionMs(voice); }

private:
    const movie::SoundDef* Find(int soundId) const;

    movie::Player& m_player;
};

}  // namespace velmora::script
