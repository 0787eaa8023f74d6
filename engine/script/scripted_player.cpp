#include "engine/script/scripted_player.h"

#include <algorithm>
#include <bit>
#include <cctype>

#include "common/text.h"
#include "engine/avm1/events.h"
#include "engine/movie/movie_clip.h"

namespace velmora::script {

namespace {

// Collect once the heap has doubled since the last collection, and not for tiny heaps.
constexpr size_t kMinHeapToCollect = 4096;

}  // namespace

std::string SystemCodePageCodec::AnsiToUtf8(std::string_view bytes) const { return velmora::AnsiToUtf8(bytes); }

std::string SystemCodePageCodec::Utf8ToAnsi(std::string_view utf8) const { return velmora::Utf8ToAnsi(utf8); }

void ScriptedPlayer::Environment::Trace(std::string_view line) { m_owner.m_player.RaiseTrace(line); }

void ScriptedPlayer::Environment::FsCommand(std::string_view command, std::string_view args) {
    if (m_owner.m_owner.fsCommand) m_owner.m_owner.fsCommand(command, args);
}

void ScriptedPlayer::Environment::GetUrl(std::string_view url, std::string_view target, int) {
    m_owner.m_player.RaiseGetUrl(url, target);
}

void ScriptedPlayer::Environment::ToggleQuality() {
    movie::Player& p = m_owner.m_player;
    p.SetQuality(p.Quality() == raster::Quality::High ? raster::Quality::Low : raster::Quality::High);
}

bool ScriptedPlayer::Environment::IsKeyDown(int keyCode) {
    return keyCode >= 0 && keyCode < 256 && m_owner.m_player.IsKeyDown(static_cast<uint8_t>(keyCode));
}

int ScriptedPlayer::Environment::LastKeyAscii() {
    // Virtual-key codes of letters and digits are their upper-case ASCII codes.
    int key = m_owner.m_player.LastKey();
    return std::isalnum(key) || key == ' ' ? key : 0;
}

double ScriptedPlayer::Environment::StageWidth() {
    const movie::Player& p = m_owner.m_player;
    if (p.GetScaleMode() == movie::ScaleMode::NoScale && p.ViewportWidth() > 0) return p.ViewportWidth();
    const movie::MovieDefinition* d = p.Definition();
    return d ? (d->header.frameSize.xMax - d->header.frameSize.xMin) / 20.0 : 0;
}

double ScriptedPlayer::Environment::StageHeight() {
    const movie::Player& p = m_owner.m_player;
    if (p.GetScaleMode() == movie::ScaleMode::NoScale && p.ViewportHeight() > 0) return p.ViewportHeight();
    const movie::MovieDefinition* d = p.Definition();
    return d ? (d->header.frameSize.yMax - d->header.frameSize.yMin) / 20.0 : 0;
}

void ScriptedPlayer::Environment::SetNoScale(bool noScale) {
    m_owner.m_player.SetScaleMode(noScale ? movie::ScaleMode::NoScale : movie::ScaleMode::ShowAll);
    m_owner.CheckStageResize();
}

void ScriptedPlayer::CheckStageResize() {
    const double width = m_environment.StageWidth(), height = m_environment.StageHeight();
    if (width == m_stageWidth && height == m_stageHeight) return;
    m_stageWidth = width;
    m_stageHeight = height;
    const avm1::Value name = avm1::Value::String("onResize");
    m_vm->CallMethod(m_vm->Get(m_vm->Global(), "Stage"), "broadcastMessage", std::span<const avm1::Value>(&name, 1));
}

uint32_t ScriptedPlayer::Environment::RequestData(const avm1::DataRequest& request) {
    uint32_t id = ++m_owner.m_lastRequest;
    if (m_owner.m_dataLoader) {
        m_owner.m_dataLoader(id, request);
    } else {
        m_owner.DeliverData(id, false, {});
    }
    return id;
}

void ScriptedPlayer::DeliverData(uint32_t request, bool ok, std::string bytes) {
    m_deliveries.push_back({request, ok, std::move(bytes)});
}

ScriptedPlayer::ScriptedPlayer() { SetCallbacks({}); }

ScriptedPlayer::~ScriptedPlayer() = default;

void ScriptedPlayer::SetCallbacks(movie::PlayerCallbacks callbacks) {
    m_owner = callbacks;
    callbacks.runActions = [this](const movie::ActionRequest& request) { RunActions(request); };
    callbacks.clipRemoved = [this](uint64_t serial) { ClipRemoved(serial); };
    callbacks.hasUnloadMethod = [this](uint64_t serial) { return m_vm && m_vm->HasClipMethod(serial, "onUnload"); };
    callbacks.ticked = [this] { Ticked(); };
    callbacks.textChanged = [this](uint64_t serial) {
        if (m_vm && !m_stopped) m_bridge.FieldEdited(serial);
        if (m_owner.textChanged) m_owner.textChanged(serial);
    };
    m_player.SetCallbacks(std::move(callbacks));
}

void ScriptedPlayer::StartVm() {
    const movie::MovieDefinition* def = m_player.Definition();
    m_vm = std::make_unique<avm1::Vm>(m_environment, &m_bridge, def->header.version);
    m_vm->SetTextCodec(&m_codec);
    m_vm->SetSoundHost(&m_sounds);
    if (def->scriptLimits) m_vm->SetScriptLimits(def->scriptLimits->maxRecursion, def->scriptLimits->timeoutSeconds);
    m_bridge.SetVm(m_vm.get());
    m_vmRoot = m_player.Root()->Owner().serial;
    m_heapAfterCollect = 0;
    m_stopped = false;
    m_stageWidth = m_environment.StageWidth();
    m_stageHeight = m_environment.StageHeight();
}

void ScriptedPlayer::RunActions(const movie::ActionRequest& request) {
    if (!m_player.Root()) return;
    // Event methods and registered classes need scripts, so a movie without scripts never
    // makes a VM.
    const bool scriptsOnly =
        request.source == movie::ActionSource::ClipMethod || request.source == movie::ActionSource::Constructor;
    if (scriptsOnly && !m_vm) return;
    if (!m_vm) StartVm();
    if (m_stopped) return;
    if (request.source == movie::ActionSource::Constructor) {
        ConstructRegistered(request.target);
        return;
    }
    if (request.source != movie::ActionSource::ClipMethod) {
        // Fields placed since the last frame bring their variables before scripts look.
        if (request.source == movie::ActionSource::Frame) m_bridge.SyncTextFields();
        m_vm->RunActions(CodeFor(request), request.target);
        return;
    }
    if (!m_vm->HasClipObject(request.target) || !request.event) return;
    const auto event = static_cast<avm1::ClipEvent>(std::countr_zero(request.event));
    std::string_view method = avm1::ClipEventMethod(event);
    if (!method.empty()) m_vm->CallClipMethod(request.target, method);
}

void ScriptedPlayer::ConstructRegistered(uint64_t serial) {
    const movie::DisplayObject* object = m_player.FindInstance(serial);
    if (!object || !object->character) return;
    for (const auto& [name, id] : m_player.Definition()->exports) {
        if (id != object->characterId) continue;
        if (avm1::FunctionObject* ctor = m_vm->RegisteredClass(name)) {
            m_vm->ConstructClip(serial, ctor);
            return;
        }
    }
}

std::shared_ptr<const avm1::CodeBlock> ScriptedPlayer::CodeFor(const movie::ActionRequest& request) {
    // Action bytes live in the movie's definition as long as the VM does: copy each block
    // once. The comparison guards against a block moved while the movie was still loading.
    auto& code = m_code[request.bytes.data()];
    if (!code || !std::equal(code->bytes.begin(), code->bytes.end(), request.bytes.begin(), request.bytes.end())) {
        auto block = std::make_shared<avm1::CodeBlock>();
        block->bytes.assign(request.bytes.begin(), request.bytes.end());
        block->swfVersion = request.swfVersion;
        code = std::move(block);
    }
    return code;
}

void ScriptedPlayer::ClipRemoved(uint64_t serial) {
    if (!m_vm) return;
    if (serial == m_vmRoot) {
        // The movie is going: its scripts and their objects go with it.
        m_bridge.SetVm(nullptr);
        m_vm.reset();
        m_code.clear();
        return;
    }
    m_vm->ClipRemoved(serial);
}

void ScriptedPlayer::Ticked() {
    if (!m_vm || m_stopped) return;
    // Answers to transfers first; one that arrives for an earlier movie finds no asker.
    std::vector<Delivery> deliveries = std::move(m_deliveries);
    m_deliveries.clear();
    for (Delivery& d : deliveries) m_vm->DataArrived(d.request, d.ok, d.bytes);
    CheckStageResize();
    m_vm->RunIntervals();
    m_bridge.SyncTextFields();
    m_vm->RunSoundEvents();
    size_t heap = m_vm->HeapSize();
    if (heap >= kMinHeapToCollect && heap >= 2 * m_heapAfterCollect) {
        m_vm->Collect();
        m_heapAfterCollect = m_vm->HeapSize();
    }
}

}  // namespace velmora::script
