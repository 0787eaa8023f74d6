// Text fields in movies made with swfgen: variables bound to fields across frames, and
// typing into an input field through the player's input calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/avm1/test_support.h"
#include "engine/movie/movie_clip.h"
#include "engine/script/scripted_player.h"
#include "tools/swfgen/movie_builder.h"

namespace velmora::script {
namespace {

using avm1::Op;
using avm1::test::Asm;
using avm1::test::P;

// An input field (character 1, named "field", box 0,0-200x40 px at the origin) bound to
// `variable`, with `scripts[i]` on frame i + 1.
std::vector<uint8_t> FieldMovie(const std::string& variable, const std::vector<Asm>& scripts, int frames) {
    swfgen::MovieBuilder m(6, {0, 8000, 0, 6000}, 10);
    swf::EditTextDef def;
    def.bounds = {0, 4000, 0, 800};
    def.variableName = variable;
    def.initialText = "start";
    def.maxLength = 8;
    m.DefineEditText(1, def);
    swf::PlaceObject place = swfgen::Placement(1, 1);
    place.name = "field";
    m.Place(place);
    for (int frame = 0; frame < frames; ++frame) {
        if (frame < static_cast<int>(scripts.size())) m.DoAction(scripts[static_cast<size_t>(frame)].Bytes());
        m.ShowFrame();
    }
    return m.Build();
}

Asm& TraceVariable(Asm& a, const std::string& name) { return a.Push({P(name)}).Do(Op::GetVariable).Do(Op::Trace); }

Asm& SetVariable(Asm& a, const std::string& name, const std::string& value) {
    return a.Push({P(name), P(value)}).Do(Op::SetVariable);
}

Asm& TraceFieldText(Asm& a) {
    return a.Push({P("field")}).Do(Op::GetVariable).Push({P("text")}).Do(Op::GetMember).Do(Op::Trace);
}

class TextFieldMovie : public ::testing::Test {
protected:
    void Load(const std::vector<uint8_t>& bytes) {
        movie::PlayerCallbacks callbacks;
        callbacks.trace = [this](std::string_view line) { lines.emplace_back(line); };
        scripted.SetCallbacks(callbacks);
        Player().Load(bytes);
    }
    movie::Player& Player() { return scripted.GetPlayer(); }
    ScriptedPlayer scripted;
    std::vector<std::string> lines;
};

TEST_F(TextFieldMovie, BoundVariableAndFieldFollowEachOtherAcrossFrames) {
    Asm frame1, frame2, frame3;
    TraceVariable(frame1, "value");  // the field's initial text fills the unset variable
    SetVariable(frame1, "value", "from script");
    TraceFieldText(frame2);  // shown after the frame
    frame3.Push({P("field")}).Do(Op::GetVariable).Push({P("text"), P("typed")}).Do(Op::SetMember);
    TraceVariable(frame3, "value");  // setting the text sets the variable at once
    Load(FieldMovie("value", {frame1, frame2, frame3}, 3));  // frame 1 runs at the load
    Player().RunFrame();
    Player().RunFrame();
    EXPECT_EQ(lines, (std::vector<std::string>{"start", "from script", "typed"}));
}

TEST_F(TextFieldMovie, PathsNameTheVariableOfAnotherTimeline) {
    Asm frame1, frame2;
    // _root.holder = new Object(); the field shows holder.inner through a dot path.
    frame1.Push({P("holder"), 0, P("Object")}).Do(Op::NewObject).Do(Op::SetVariable);
    frame1.Push({P("holder")}).Do(Op::GetVariable).Push({P("inner"), P("deep")}).Do(Op::SetMember);
    TraceFieldText(frame2);
    Load(FieldMovie("holder.inner", {frame1, frame2}, 2));
    Player().RunFrame();
    EXPECT_EQ(lines, (std::vector<std::string>{"deep"}));
}

TEST_F(TextFieldMovie, TypingIntoTheFocusedFieldEditsItAndItsVariable) {
    Asm frame1, frame2;
    // field.onChanged = function () { trace(value); }
    Asm body;
    TraceVariable(body, "value");
    frame1.Push({P("field")}).Do(Op::GetVariable).Push({P("onChanged")});
    frame1.Function("", {}, body).Do(Op::SetMember);
    Load(FieldMovie("value", {frame1}, 2));
    raster::Surface surface(400, 300);
    Player().Render(surface);  // input coordinates are those of the last picture
    ASSERT_EQ(Player().Focus(), 0u);
    Player().MouseDown(195, 5);  // right of the text: the caret goes to the end
    Player().MouseUp(195, 5);
    ASSERT_NE(Player().Focus(), 0u);
    Player().TypeChar(U'中');
    Player().KeyDown(8);  // backspace
    Player().KeyUp(8);
    Player().KeyDown(36);  // home
    Player().KeyUp(36);
    Player().TypeChar(U'>');
    for (char32_t c : std::u32string(U"abcdef")) Player().TypeChar(c);  // up to maxChars (8)
    EXPECT_EQ(lines, (std::vector<std::string>{"start中", "start", ">start", ">astart", ">abstart"}));
}

}  // namespace
}  // namespace velmora::script
