// A movie player with its script machine: the Player, the VM and the bridge between
// them, made and destroyed as one unit by whoever plays a movie (swfrun, the corpus
// runners, the Win32 movie host). No global state: each unit has its own VM.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/avm1/text_codec.h"
#include "engine/avm1/vm.h"
#include "engine/movie/player.h"
#include "engine/script/movie_bridge.h"
#include "engine/script/sound_bridge.h"

namespace velmora::script {

// SWF 5 and earlier strings in the system's ANSI code page (GBK for our users).
class SystemCodePageCodec : public avm1::TextCodec {
public:
    std::string AnsiToUtf8(std::string_view bytes) const override;
    std::string Utf8ToAnsi(std::string_view utf8) const override;
};

class ScriptedPlayer {
public:
    ScriptedPlayer();
    ~ScriptedPlayer();
    ScriptedPlayer(const ScriptedPlayer&) = delete;
    ScriptedPlayer& operator=(const ScriptedPlayer&) = delete;

    // Load, play, render and input go straight to the player; never give it callbacks
    // of its own (SetCallbacks here), or the scripts lose their hooks.
    movie::Player& GetPlayer() { return m_player; }
    // The owner's trace, FSCommand and getURL handlers; the script hooks are added here.
    void SetCallbacks(movie::PlayerCallbacks callbacks);
    // No more scripts run (after fscommand("quit"), say) until the next movie.
    void StopScripts() { m_stopped = true; }
    // The VM of the current movie; nullptr until its first script ran.
    avm1::Vm* GetVm() { return m_vm.get(); }
    // Fetches what scripts load (XML, LoadVars): the owner starts the transfer and answers
    // through DeliverData, at once or later. Without a loader every request fails.
    using DataLoader = std::function<void(uint32_t request, const avm1::DataRequest& what)>;
    void SetDataLoader(DataLoader loader) { m_dataLoader = std::move(loader); }
    // Call on the player's thread. Queued: scripts see it at the next tick, never inside
    // the script that asked.
    void DeliverData(uint32_t request, bool ok, std::string bytes);

private:
    class Environment : public avm1::Host {
    public:
        explicit Environment(ScriptedPlayer& owner) : m_owner(owner) {}
        void Trace(std::string_view line) override;
        void FsCommand(std::string_view command, std::string_view args) override;
        void GetUrl(std::string_view url, std::string_view target, int method) override;
        double Milliseconds() override { return m_owner.m_player.ClockMs(); }
        void StopSounds() override { m_owner.m_player.StopSounds(); }
        void ToggleQuality() override;
        bool IsKeyDown(int keyCode) override;
        int LastKeyCode() override { return m_owner.m_player.LastKey(); }
        int LastKeyAscii() override;
        double StageWidth() override;
        double StageHeight() override;
        void SetNoScale(bool noScale) override;
        uint32_t RequestData(const avm1::DataRequest& request) override;

    private:
        ScriptedPlayer& m_owner;
    };

    void RunActions(const movie::ActionRequest& request);
    // A timeline instance of an exported sprite takes the class registered for its name.
    void ConstructRegistered(uint64_t serial);
    std::shared_ptr<const avm1::CodeBlock> CodeFor(const movie::ActionRequest& request);
    void ClipRemoved(uint64_t serial);
    void Ticked();
    // Stage.onResize when the stage's size differs from the one scripts last saw.
    void CheckStageResize();
    void StartVm();

    movie::Player m_player;
    movie::PlayerCallbacks m_owner;
    MovieBridge m_bridge{m_player};
    SoundBridge m_sounds{m_player};
    Environment m_environment{*this};
    SystemCodePageCodec m_codec;
    std::unique_ptr<avm1::Vm> m_vm;
    std::unordered_map<const uint8_t*, std::shared_ptr<const avm1::CodeBlock>> m_code;
    uint64_t m_vmRoot = 0;  // serial of the root the VM was made for
    size_t m_heapAfterCollect = 0;
    bool m_stopped = false;
    double m_stageWidth = 0, m_stageHeight = 0;  // as scripts last saw it
    DataLoader m_dataLoader;
    uint32_t m_lastRequest = 0;
    struct Delivery {
        uint32_t request;
        bool ok;
        std::string bytes;
    };
    std::vector<Delivery> m_deliveries;
};

}  // namespace velmora::script
