#include "engine/movie/movie_clip.h"

#include <algorithm>
#include <cmath>

#include "engine/audio/mixer.h"

#include "engine/movie/text_field_render.h"

namespace velmora::movie {

void ApplyPlacement(DisplayObject& object, const swf::PlaceObject& p) {
    Placement& place = object.place;
    if (p.matrix) place.matrix = *p.matrix;
    if (p.colorTransform) place.colorTransform = *p.colorTransform;
    if (p.ratio) place.ratio = *p.ratio;
    if (p.name) place.name = *p.name;
    if (p.clipDepth) place.clipDepth = *p.clipDepth;
    if (p.blendMode) place.blendMode = *p.blendMode;
    if (p.filters) place.filters = *p.filters;
    if (p.cacheAsBitmap) place.cacheAsBitmap = *p.cacheAsBitmap;
    if (p.visible) place.visible = *p.visible;
    if (!p.clipActions.empty()) object.clipActions = p.clipActions;
    object.context.changed = true;
}

void ForEachInstance(DisplayList& list, const std::function<void(DisplayObject&)>& visit) {
    for (auto& [depth, object] : list) {
        visit(*object);
        if (object->clip) ForEachInstance(object->clip->Children(), visit);
        ForEachInstance(object->buttonChildren, visit);
    }
}

namespace {

// How far a soundtrack's blocks are handed to the mixer ahead of the frame showing:
// more than the output device buffers, so it never runs dry between two frames.
constexpr double kStreamLeadSeconds = 0.5;

// The one empty frame of a clip made by createEmptyMovieClip.
const Timeline& EmptyTimeline() {
    static const Timeline kEmpty{1, std::vector<Frame>(1)};
    return kEmpty;
}

}  // namespace

MovieClip::MovieClip(PlayContext& context, DisplayObject& owner, const Timeline& timeline, bool isRoot)
    : m_context(context), m_owner(owner), m_timeline(timeline), m_isRoot(isRoot) {}

MovieClip::~MovieClip() {
    StopStream();
    if (m_context.mixer) m_context.mixer->ForgetOwner(m_owner.serial);
}

void MovieClip::Stop() {
    m_playing = false;
    StopStream();
}

void MovieClip::StopStream() {
    if (!m_stream) return;
    m_stream.reset();
    m_context.streams.erase(m_owner.serial);
    if (m_context.mixer) m_context.mixer->StreamStop(m_owner.serial);
}

void MovieClip::EnterSounds(uint16_t frame, bool continuing) {
    audio::Mixer* mixer = m_context.mixer;
    if (!mixer) return;
    const Frame& f = m_timeline.frames[frame - 1];
    const MovieDefinition& def = *m_context.definition;
    for (const FrameSound& start : f.sounds) {
        uint16_t id = start.soundId;
        if (!start.className.empty()) id = def.FindExport(start.className).value_or(0);
        if (const SoundDef* sound = def.FindSound(id)) mixer->Start(id, sound->Decoded(m_context.mp3), start.info, m_owner.serial);
    }
    if (!m_timeline.streamHead) return;
    if (!continuing || !m_playing) StopStream();
    if (!m_playing) return;
    if (!m_stream) {
        if (!f.streamBlock) return;  // a soundtrack starts at a frame with a block
        m_stream.reset(new Stream{audio::StreamDecoder(*m_timeline.streamHead, m_context.mp3), frame,
                                  static_cast<uint16_t>(frame - 1)});
        m_context.streams[m_owner.serial] = this;
    }
    const int lead = static_cast<int>(std::ceil(m_context.frameRate * kStreamLeadSeconds));
    FeedStream(static_cast<uint16_t>(std::min<int>(frame + lead, FramesLoaded())));
}

void MovieClip::FeedStream(uint16_t upTo) {
    audio::Mixer* mixer = m_context.mixer;
    while (m_stream->fedFrame < upTo) {
        const uint16_t next = ++m_stream->fedFrame;
        const Frame& f = m_timeline.frames[next - 1];
        // A frame without a block is a frame of silence: the soundtrack keeps the timeline's pace.
        const audio::Pcm pcm = f.streamBlock ? m_stream->decoder.Decode(*f.streamBlock, next == m_stream->startFrame)
                                             : m_stream->decoder.Silence(m_context.frameRate);
        if (pcm.rate > 0)
            m_stream->queued += static_cast<uint64_t>(
                std::llround(static_cast<double>(pcm.Frames()) * audio::Mixer::kOutputRate / pcm.rate));
        mixer->StreamAppend(m_owner.serial, pcm);
    }
}

uint16_t MovieClip::FramesLoaded() const { return static_cast<uint16_t>(m_timeline.frames.size()); }

uint16_t MovieClip::TotalFrames() const {
    if (m_isRoot && m_context.rootLoading) return std::max(m_timeline.declaredFrames, FramesLoaded());
    return std::max<uint16_t>(FramesLoaded(), 1);
}

void MovieClip::Instantiate() {
    if (m_frame != 0 || FramesLoaded() == 0) return;
    m_frame = 1;
    ApplyFrame(1, false);
}

void MovieClip::EnsureStarted() {
    Instantiate();
    if (m_frame == 0 || m_entered) return;
    m_entered = true;
    if (!m_isRoot) QueueOwnerEvent(swf::kClipLoad, m_context.queue);
    FlushConstructs();
    QueueActions(m_frame);
    EnterSounds(m_frame, false);
    StartNewChildren();
}

void MovieClip::QueueOwnerEvent(uint32_t event, std::vector<ActionRequest>& queue) {
    const uint8_t version = m_context.definition->header.version;
    for (const auto& action : m_owner.clipActions)
        if (action.events & event) queue.push_back({m_owner.serial, action.actions, version, ActionSource::ClipEvent, event});
    // A clip's event method runs after its onClipEvent handler.
    queue.push_back({m_owner.serial, {}, version, ActionSource::ClipMethod, event});
}

void MovieClip::FlushConstructs() {
    // Instances a running script placed (by a goto, say) are constructed before the next
    // queued script runs.
    size_t at = std::min(m_context.runNext, m_context.queue.size());
    m_context.queue.insert(m_context.queue.begin() + static_cast<std::ptrdiff_t>(at), m_context.constructs.begin(),
                           m_context.constructs.end());
    if (m_context.runNext != kNotRunning) m_context.runNext += m_context.constructs.size();
    m_context.constructs.clear();
}

void MovieClip::Introduce(DisplayObject& placed) {
    // Initialize handlers run at once in placement order; construct handlers after all
    // of them, before the frame's scripts; load and the first frame's scripts after those.
    const uint8_t version = m_context.definition->header.version;
    for (const auto& action : placed.clipActions) {
        if (action.events & swf::kClipInitialize)
            m_context.queue.push_back({placed.serial, action.actions, version, ActionSource::ClipEvent,
                                       swf::kClipInitialize});
        if (action.events & swf::kClipConstruct)
            m_context.constructs.push_back({placed.serial, action.actions, version, ActionSource::ClipEvent,
                                            swf::kClipConstruct});
    }
    if (!placed.clip) return;
    // Then the class a script registered for the sprite's linkage name, if any.
    m_context.constructs.push_back({placed.serial, {}, version, ActionSource::Constructor, 0});
    m_newChildren.push_back(placed.serial);
    placed.clip->Instantiate();
}

void MovieClip::Retire(DisplayList::iterator it) {
    std::vector<ActionRequest>& queue = m_unloadsAfterActions ? m_lateUnloads : m_context.queue;
    bool handled = false;  // some instance in it has an unload handler
    std::function<void(DisplayObject&)> queueUnload = [&](DisplayObject& object) {
        object.retired = true;
        for (auto& [depth, child] : object.buttonChildren) queueUnload(*child);
        if (!object.clip) return;
        object.clip->StopStream();  // a removed clip falls silent at once, parked or not
        for (auto& [depth, child] : object.clip->Children())
            if (!child->retired) queueUnload(*child);
        for (const auto& action : object.clipActions) handled |= (action.events & swf::kClipUnload) != 0;
        handled |= m_context.hasUnloadMethod && m_context.hasUnloadMethod(object.serial);
        object.clip->QueueOwnerEvent(swf::kClipUnload, queue);
    };
    queueUnload(*it->second);
    m_context.changed = true;
    if (!handled) {
        m_children.erase(it);
        return;
    }
    // Kept where the script can still reach it: SWF depth d moves to -(d + 1).
    auto node = m_children.extract(it);
    const int32_t parked = -node.key() - 1;
    m_children.erase(parked);  // an earlier removal from the same depth in this tick
    node.key() = parked;
    node.mapped()->depth = parked;
    m_context.pendingRemoval.push_back(node.mapped()->serial);
    m_children.insert(std::move(node));
}

void MovieClip::DropRemoved(int32_t depth) {
    auto it = m_children.find(depth);
    if (it != m_children.end() && it->second->retired) m_children.erase(it);
}

void MovieClip::GotoFrame(uint16_t frame, bool play) {
    m_playing = play;
    uint16_t loaded = FramesLoaded();
    if (loaded == 0) return;
    frame = std::clamp<uint16_t>(frame, 1, loaded);
    if (frame == m_frame) {
        if (!play) StopStream();
        return;
    }
    if (frame > m_frame) {
        StepTo(frame);
    } else {
        Rebuild(frame);
    }
    EnterSounds(m_frame, false);
}

bool MovieClip::GotoLabel(std::string_view label, bool play) {
    auto frame = m_timeline.FindLabel(label);
    if (!frame || *frame > FramesLoaded()) return false;
    GotoFrame(*frame, play);
    return true;
}

void MovieClip::NextFrame() { GotoFrame(static_cast<uint16_t>(std::min<int>(m_frame + 1, 0xFFFF)), false); }

void MovieClip::PrevFrame() {
    if (m_frame > 1) GotoFrame(static_cast<uint16_t>(m_frame - 1), false);
    else m_playing = false;
}

void MovieClip::Advance() {
    // Flash runs the frames of existing children before their parent's, newest first.
    std::vector<std::pair<uint64_t, MovieClip*>> clips;
    auto collect = [&](DisplayList& list) {
        for (auto& [depth, child] : list)
            if (child->clip && !child->retired && child->createdTick < m_context.tick)
                clips.emplace_back(child->serial, child->clip.get());
    };
    collect(m_children);
    for (auto& [depth, child] : m_children) collect(child->buttonChildren);
    std::sort(clips.begin(), clips.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (auto& [serial, clip] : clips)
        if (m_context.live.count(serial)) clip->Advance();

    uint16_t loaded = FramesLoaded();
    if (!m_entered) {
        EnsureStarted();
        return;
    }
    QueueOwnerEvent(swf::kClipEnterFrame, m_context.enterFrames);
    if (m_playing) {
        if (m_frame < loaded) {
            StepTo(static_cast<uint16_t>(m_frame + 1));
            EnterSounds(m_frame, true);
        } else if (!(m_isRoot && m_context.rootLoading) && loaded > 1) {
            Rebuild(1);  // loop
            EnterSounds(1, false);
        }
        // A root still loading waits on its last frame; a one-frame timeline stays put.
    }
}

void MovieClip::StartNewChildren() {
    // Children this frame created enter their first frame after the parent's actions.
    std::vector<uint64_t> started;
    started.swap(m_newChildren);
    for (uint64_t serial : started) {
        auto it = m_context.live.find(serial);
        if (it != m_context.live.end() && it->second->clip) it->second->clip->EnsureStarted();
    }
}

void MovieClip::StepTo(uint16_t frame) {
    while (m_frame < frame) {
        ++m_frame;
        ApplyFrame(m_frame, m_frame == frame);
    }
    m_entered = true;
    FlushConstructs();
    QueueActions(m_frame);
    StartNewChildren();
}

void MovieClip::ApplyFrame(uint16_t frame, bool entering) {
    const Frame& f = m_timeline.frames[frame - 1];
    // A sprite's init actions run once, the first time a frame holding them is reached,
    // before anything the frame places is constructed.
    for (const InitAction& init : f.initActions)
        if (m_context.initsRun.insert(init.spriteId).second)
            m_context.queue.push_back({m_owner.serial, init.actions.bytes, init.actions.swfVersion, ActionSource::Init,
                                       init.spriteId});
    if (!f.tags.empty()) m_context.changed = true;
    for (size_t i = 0; i < f.tags.size(); ++i) {
        const FrameTag& tag = f.tags[i];
        if (entering && !f.actions.empty() && i >= f.actions.front().tagsBefore) m_unloadsAfterActions = true;
        if (auto* place = std::get_if<swf::PlaceObject>(&tag)) {
            Apply(*place);
        } else if (auto* remove = std::get_if<swf::RemoveObject>(&tag)) {
            if (auto it = m_children.find(remove->depth); it != m_children.end()) Retire(it);
        }
    }
}

void MovieClip::Apply(const swf::PlaceObject& p) {
    auto it = m_children.find(p.depth);
    const bool exists = it != m_children.end();
    if (p.characterId && (!p.move || !exists || it->second->characterId != *p.characterId)) {
        if (!p.move && exists) return;  // a plain place never replaces what is there
        // Replacing keeps the old transform and name.
        std::string_view name = p.name ? std::string_view(*p.name)
                                : exists ? std::string_view(it->second->place.name) : std::string_view();
        auto object = CreateInstance(m_context, *p.characterId, p.depth, m_owner.nesting + 1, this, name);
        if (!object) return;
        if (exists) object->place = it->second->place;
        ApplyPlacement(*object, p);
        DisplayObject& placed = *object;
        m_children[p.depth] = std::move(object);
        Introduce(placed);
        return;
    }
    // Moves reach only what the timeline itself still places; removals reach anything.
    if (exists && p.move && it->second->fromTimeline && !it->second->swapped) ApplyPlacement(*it->second, p);
}

void MovieClip::QueueActions(uint16_t frame) {
    const Frame& f = m_timeline.frames[frame - 1];
    for (const ActionBlock& block : f.actions)
        m_context.queue.push_back({m_owner.serial, block.bytes, block.swfVersion, ActionSource::Frame, 0});
    m_context.queue.insert(m_context.queue.end(), m_lateUnloads.begin(), m_lateUnloads.end());
    m_lateUnloads.clear();
    m_unloadsAfterActions = false;
}

void MovieClip::Rebuild(uint16_t target) {
    // What the timeline alone places by the target frame, per depth.
    struct Entry {
        uint16_t characterId = 0;
        std::vector<const swf::PlaceObject*> places;  // creation, then moves
        uint16_t Ratio() const {
            uint16_t ratio = 0;
            for (const auto* p : places)
                if (p->ratio) ratio = *p->ratio;
            return ratio;
        }
    };
    std::map<int32_t, Entry> wanted;
    for (uint16_t frame = 1; frame <= target; ++frame) {
        for (const FrameTag& tag : m_timeline.frames[frame - 1].tags) {
            if (auto* remove = std::get_if<swf::RemoveObject>(&tag)) {
                wanted.erase(remove->depth);
                continue;
            }
            const auto& p = std::get<swf::PlaceObject>(tag);
            auto it = wanted.find(p.depth);
            if (p.characterId && (!p.move || it == wanted.end() || it->second.characterId != *p.characterId)) {
                if (!p.move && it != wanted.end()) continue;
                Entry entry;
                entry.characterId = *p.characterId;
                if (it != wanted.end()) entry.places = it->second.places;
                entry.places.push_back(&p);
                wanted[p.depth] = std::move(entry);
            } else if (it != wanted.end() && p.move) {
                it->second.places.push_back(&p);
            }
        }
    }
    // Depths of the timeline's range hold what the timeline wants there: instances it placed
    // of the same character and ratio (authoring tools number placements with the ratio), or
    // moved there by swapDepths; script depths keep theirs.
    for (auto it = m_children.begin(); it != m_children.end();) {
        DisplayObject& child = *it->second;
        auto w = wanted.find(child.depth);
        bool keep = child.retired || child.depth >= kFirstScriptDepth ||
                    (w != wanted.end() && child.fromTimeline &&
                     (child.swapped ||
                      (w->second.characterId == child.characterId && w->second.Ratio() == child.place.ratio)));
        if (keep) {
            ++it;
        } else {
            auto next = std::next(it);
            Retire(it);
            it = next;
        }
    }
    for (auto& [depth, entry] : wanted) {
        auto existing = m_children.find(depth);
        if (existing != m_children.end()) {
            if (existing->second->swapped || !existing->second->fromTimeline) continue;
            // A kept instance keeps its name, whatever the timeline named it.
            std::string name = std::move(existing->second->place.name);
            existing->second->place = Placement{};
            for (const auto* p : entry.places) ApplyPlacement(*existing->second, *p);
            existing->second->place.name = std::move(name);
            continue;
        }
        std::string_view name;
        for (const auto* p : entry.places)
            if (p->name) name = *p->name;
        auto object = CreateInstance(m_context, entry.characterId, depth, m_owner.nesting + 1, this, name);
        if (!object) continue;
        for (const auto* p : entry.places) ApplyPlacement(*object, *p);
        DisplayObject& placed = *object;
        m_children[depth] = std::move(object);
        Introduce(placed);
    }
    m_frame = target;
    m_entered = true;
    m_context.changed = true;
    FlushConstructs();
    QueueActions(target);
    StartNewChildren();
}

DisplayObject* MovieClip::Adopt(std::unique_ptr<DisplayObject> object, std::string_view name) {
    object->fromTimeline = false;
    object->place.name = std::string(name);
    DisplayObject& placed = *object;
    m_children[placed.depth] = std::move(object);
    if (placed.clip) placed.clip->EnsureStarted();
    m_context.changed = true;
    return &placed;
}

DisplayObject* MovieClip::AttachCharacter(uint16_t characterId, int32_t depth, std::string_view name) {
    auto object = CreateInstance(m_context, characterId, depth, m_owner.nesting + 1, this, name);
    return object ? Adopt(std::move(object), name) : nullptr;
}

DisplayObject* MovieClip::AttachEmptyClip(int32_t depth, std::string_view name) {
    auto object = std::make_unique<DisplayObject>(m_context, nullptr, 0, depth, m_owner.nesting + 1, this);
    object->clip = std::make_unique<MovieClip>(m_context, *object, EmptyTimeline(), false);
    return Adopt(std::move(object), name);
}

DisplayObject* MovieClip::AttachTextField(int32_t depth, std::string_view name, const RectTwips& box) {
    auto object = std::make_unique<DisplayObject>(m_context, nullptr, 0, depth, m_owner.nesting + 1, this);
    object->editText = std::make_unique<text::EditText>(box);
    object->editText->SetMeasurer(m_context.fieldFonts);
    return Adopt(std::move(object), name);
}

DisplayObject* MovieClip::AttachBitmap(int32_t depth, std::shared_ptr<const raster::BitmapBuffer> pixels,
                                       bool smoothing) {
    auto object = std::make_unique<DisplayObject>(m_context, nullptr, 0, depth, m_owner.nesting + 1, this);
    object->bitmap = std::move(pixels);
    object->bitmapSmoothing = smoothing;
    m_context.showsScriptBitmaps = true;
    return Adopt(std::move(object), "");
}

DisplayObject* MovieClip::Duplicate(const DisplayObject& source, int32_t depth, std::string_view name) {
    std::unique_ptr<DisplayObject> object;
    if (source.character) {
        object = CreateInstance(m_context, source.characterId, depth, m_owner.nesting + 1, this, name);
    } else {
        object = std::make_unique<DisplayObject>(m_context, nullptr, 0, depth, m_owner.nesting + 1, this);
        object->clip = std::make_unique<MovieClip>(m_context, *object, EmptyTimeline(), false);
    }
    if (!object) return nullptr;
    // Copied before the copy starts, so its load handlers run.
    object->place = source.place;
    object->clipActions = source.clipActions;
    if (source.drawing) object->drawing = std::make_unique<Drawing>(*source.drawing);
    return Adopt(std::move(object), name);
}

bool MovieClip::RemoveAt(int32_t depth) {
    auto it = m_children.find(depth);
    if (it == m_children.end() || it->second->retired) return false;
    Retire(it);
    return true;
}

void MovieClip::SwapDepths(int32_t from, int32_t to) {
    if (from == to) return;
    auto a = m_children.extract(from);
    auto b = m_children.extract(to);
    // Swapped instances, both of them, no longer follow their timeline.
    for (auto* node : {&a, &b}) {
        if (node->empty()) continue;
        node->key() = node == &a ? to : from;
        node->mapped()->depth = node->key();
        node->mapped()->swapped = true;
        m_children.insert(std::move(*node));
    }
    m_context.changed = true;
}

}  // namespace velmora::movie
