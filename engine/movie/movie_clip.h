// A running timeline (the root or a sprite instance): frame position, play state and the
// children its frames place.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/audio/stream_decoder.h"
#include "engine/movie/definition.h"
#include "engine/movie/display_object.h"

namespace velmora::movie {

class MovieClip {
public:
    MovieClip(PlayContext& context, DisplayObject& owner, const Timeline& timeline, bool isRoot);
    ~MovieClip();
    MovieClip(const MovieClip&) = delete;
    MovieClip& operator=(const MovieClip&) = delete;

    // 1-based; 0 before the first frame was entered.
    uint16_t CurrentFrame() const { return m_frame; }
    // The declared count for the root (known from the header), else the frames present.
    uint16_t TotalFrames() const;
    uint16_t FramesLoaded() const;
    bool IsPlaying() const { return m_playing; }
    const Timeline& GetTimeline() const { return m_timeline; }

    // A stopped timeline's soundtrack stops; playing again resumes it at the next block.
    void Play() { m_playing = true; }
    void Stop();
    // Jumps to a frame (clamped to the frames loaded) and queues its actions.
    void GotoFrame(uint16_t frame, bool play);
    bool GotoLabel(std::string_view label, bool play);
    void NextFrame();
    void PrevFrame();

    // One tick: step the timeline when playing, then the children placed before this tick.
    void Advance();
    // Applies frame 1's tags (creating its children) without running any script yet.
    void Instantiate();
    // Enters frame 1 if nothing was entered yet and frame 1 is loaded: the load event,
    // then frame 1's scripts, then the children it placed.
    void EnsureStarted();

    // Instances made by scripts (attachMovie, duplicateMovieClip, createEmptyMovieClip):
    // they replace what is at the depth and stay when the timeline itself changes.
    DisplayObject* AttachCharacter(uint16_t characterId, int32_t depth, std::string_view name);
    DisplayObject* AttachEmptyClip(int32_t depth, std::string_view name);
    DisplayObject* AttachTextField(int32_t depth, std::string_view name, const RectTwips& box);
    // A script bitmap shown at a depth (MovieClip.attachBitmap); it draws the pixels as
    // they are whenever they change.
    DisplayObject* AttachBitmap(int32_t depth, std::shared_ptr<const raster::BitmapBuffer> pixels, bool smoothing);
    DisplayObject* Duplicate(const DisplayObject& source, int32_t depth, std::string_view name);
    // Removes as the timeline does: unload handlers queued (children first), and an
    // instance that has any stays until the next tick, moved below the usable depths.
    bool RemoveAt(int32_t depth);
    // Drops an instance removed earlier whose unload handlers have run.
    void DropRemoved(int32_t depth);
    // Moves the instance at `from` to `to`; what was at `to` goes to `from`. Both are
    // then left alone by timeline rebuilds.
    void SwapDepths(int32_t from, int32_t to);

    // The soundtrack (SoundStreamHead and its blocks) while it plays: the frame it started
    // at and the output frames (44.1 kHz) handed to the mixer since.
    bool IsStreaming() const { return m_stream != nullptr; }
    uint16_t StreamStartFrame() const { return m_stream ? m_stream->startFrame : 0; }
    uint64_t StreamQueued() const { return m_stream ? m_stream->queued : 0; }
    void StopStream();

    DisplayList& Children() { return m_children; }
    const DisplayList& Children() const { return m_children; }
    DisplayObject& Owner() { return m_owner; }

private:
    void StepTo(uint16_t frame);  // forward, applying every frame's tags in between
    void Rebuild(uint16_t frame);  // backward: replay from frame 1, keeping what persists
    void ApplyFrame(uint16_t frame, bool entering);
    void Apply(const swf::PlaceObject& place);
    void QueueActions(uint16_t frame);
    // The frame's event sounds, and its soundtrack: `continuing` when the timeline simply
    // moved on to the next frame (a jump restarts the soundtrack where it lands).
    void EnterSounds(uint16_t frame, bool continuing);
    void FeedStream(uint16_t upTo);
    void StartNewChildren();
    // The owner's handlers for the event, then its method.
    void QueueOwnerEvent(uint32_t event, std::vector<ActionRequest>& queue);
    void FlushConstructs();
    void Introduce(DisplayObject& placed);  // a new instance from the timeline
    void Retire(DisplayList::iterator it);  // a timeline or script removal
    DisplayObject* Adopt(std::unique_ptr<DisplayObject> object, std::string_view name);

    PlayContext& m_context;
    DisplayObject& m_owner;
    const Timeline& m_timeline;
    const bool m_isRoot;
    uint16_t m_frame = 0;
    bool m_playing = true;
    bool m_entered = false;  // frame scripts of the current frame were queued
    DisplayList m_children;
    std::vector<uint64_t> m_newChildren;  // serials of sprites placed by the frame being entered
    // Unload handlers of removals that follow the entered frame's first action block in
    // the frame's tags: they run after the frame's scripts.
    bool m_unloadsAfterActions = false;
    std::vector<ActionRequest> m_lateUnloads;
    struct Stream {
        audio::StreamDecoder decoder;
        uint16_t startFrame;
        uint16_t fedFrame;  // blocks run ahead of the playhead so the output never starves
        uint64_t queued = 0;
    };
    std::unique_ptr<Stream> m_stream;
};

// Applies a PlaceObject's fields to an instance.
void ApplyPlacement(DisplayObject& object, const swf::PlaceObject& place);

// Calls `visit` for every instance under `list` (depth order, parents before children).
void ForEachInstance(DisplayList& list, const std::function<void(DisplayObject&)>& visit);

}  // namespace velmora::movie
