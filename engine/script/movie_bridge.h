// The VM's DisplayHost over the movie engine's player: navigation, clip
// properties, timeline control, and clips made and removed by script.
#pragma once

#include <optional>

#include "engine/avm1/vm.h"
#include "engine/movie/movie_clip.h"
#include "engine/movie/player.h"

namespace velmora::script {

using avm1::Bounds;
using avm1::ClipId;
using avm1::ClipKind;
using avm1::ClipProp;
using avm1::DrawCommand;
using avm1::HostValue;
using avm1::kNoClip;
using avm1::Vm;

class MovieBridge : public avm1::DisplayHost {
public:
    explicit MovieBridge(movie::Player& player) : m_player(player) {}
    void SetVm(Vm* vm) { m_vm = vm; }

    ClipId Level(int level) override;
    ClipId Parent(ClipId clip) override;
    ClipId ChildByName(ClipId clip, std::string_view name, bool caseSensitive) override;
    std::vector<ClipId> Children(ClipId clip) override;
    bool IsAlive(ClipId clip) override { return Find(clip) != nullptr; }
    ClipKind Kind(ClipId clip) override;
    HostValue GetProperty(ClipId clip, ClipProp prop) override;
    void SetProperty(ClipId clip, ClipProp prop, const HostValue& value) override;
    void GotoFrame(ClipId clip, int frame) override;
    int FrameOfLabel(ClipId clip, std::string_view label) override;
    void Play(ClipId clip) override;
    void Stop(ClipId clip) override;
    bool FrameLoaded(ClipId clip, int frame) override;
    void CallFrame(ClipId clip, int frame) override;
    ClipId Duplicate(ClipId clip, std::string_view name, int depth) override;
    void Remove(ClipId clip) override;
    ClipId Attach(ClipId parent, std::string_view linkageId, std::string_view name, int depth) override;
    ClipId CreateEmpty(ClipId parent, std::string_view name, int depth) override;
    ClipId CreateTextField(ClipId parent, std::string_view name, int depth, const Bounds& box) override;
    void SwapDepths(ClipId clip, int depth) override;
    int Depth(ClipId clip) override;
    int NextHighestDepth(ClipId clip) override;
    double BytesLoaded(ClipId clip) override;
    double BytesTotal(ClipId clip) override { return BytesLoaded(clip); }
    bool HitTestPoint(ClipId clip, double x, double y, bool shapeFlag) override;
    bool HitTestClip(ClipId clip, ClipId other) override;
    Bounds GetBounds(ClipId clip, ClipId space) override;
    void LocalToGlobal(ClipId clip, double& x, double& y) override;
    void GlobalToLocal(ClipId clip, double& x, double& y) override;
    void StartDrag(ClipId, bool, const Bounds*) override {}
    void StopDrag() override {}
    void Draw(ClipId clip, const DrawCommand& command) override;
    ClipId AttachBitmap(ClipId parent, std::shared_ptr<raster::BitmapBuffer> pixels, int depth,
                        bool smoothing) override;
    void DrawClip(ClipId clip, raster::BitmapBuffer& into, const Matrix& matrix, const ColorTransform& cx,
                  bool smoothing) override;
    std::shared_ptr<raster::BitmapBuffer> LoadBitmap(std::string_view linkageId) override;
    bool GetEffects(ClipId clip, avm1::DisplayEffects& out) override;
    void SetEffects(ClipId clip, const avm1::DisplayEffects& effects) override;
    ColorTransform GetColorTransform(ClipId clip) override;
    void SetColorTransform(ClipId clip, const ColorTransform& transform) override;
    Matrix GetMatrix(ClipId clip) override;
    void SetMatrix(ClipId clip, const Matrix& matrix) override;
    Matrix GetConcatenatedMatrix(ClipId clip) override;
    ColorTransform GetConcatenatedColorTransform(ClipId clip) override;
    Bounds GetPixelBounds(ClipId clip) override;
    bool GetNativeProperty(ClipId clip, std::string_view name, HostValue& out) override;
    bool SetNativeProperty(ClipId clip, std::string_view name, const HostValue& value) override;
    bool GetTextFormat(ClipId clip, int begin, int end, bool newText, text::TextFormat& out) override;
    void SetTextFormat(ClipId clip, int begin, int end, bool newText, const text::TextFormat& format) override;
    void ReplaceText(ClipId clip, int begin, int end, std::string_view utf8) override;
    ClipId Focus() override;
    void SetFocus(ClipId clip) override;
    void GetSelection(int& begin, int& end, int& caret) override;
    void SetSelection(int begin, int end) override;
    void LoadMovie(ClipId, std::string_view, int) override {}
    void LoadVariables(ClipId, std::string_view, int) override {}
    void UnloadMovie(ClipId) override {}

    // Fields bound to variables show the variables' values; call after each frame.
    void SyncTextFields();
    // The user edited a field: its variable follows, then onChanged runs.
    void FieldEdited(ClipId clip);

private:
    movie::DisplayObject* Find(ClipId clip) { return m_player.FindInstance(clip); }
    text::EditText* Field(ClipId clip);
    // The timeline object and name of a field's variable; false when it has none.
    bool BoundVariable(ClipId clip, avm1::Object*& scope, std::string& name);
    void PullVariable(ClipId clip);  // variable -> field
    void PushVariable(ClipId clip);  // field -> variable
    movie::MovieClip* Timeline(ClipId clip);
    // A clip's children, or the instances a button's current state shows.
    movie::DisplayList* ChildList(ClipId clip);
    // What a script sees as the parent: the button for a button's state instances.
    static movie::DisplayObject* Container(movie::DisplayObject* o);
    // Instance twips -> stage twips.
    static Matrix GlobalMatrix(movie::DisplayObject* o);
    static Matrix StageMatrix(movie::DisplayObject* o);  // including the root's transform
    // Bounds (twips) of everything an instance draws, under `m` (instance -> target space).
    static bool ContentBounds(movie::DisplayObject& o, const Matrix& m, Bounds& out);
    // _width / _height: the extent in the parent's pixels.
    static double ExtentInParent(movie::DisplayObject& o, bool width);
    // The character exported under a linkage name (any case when no exact match).
    const movie::Character* Exported(std::string_view linkageId, uint16_t& id);
    // A script depth as a display-list key; none outside the range the player accepts.
    static std::optional<int32_t> ListDepth(int depth);

    movie::Player& m_player;
    Vm* m_vm = nullptr;
};

}  // namespace velmora::script
