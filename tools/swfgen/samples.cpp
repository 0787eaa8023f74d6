#include "tools/swfgen/samples.h"

#include <cmath>
#include <numbers>

#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/shape_builder.h"
#include "tools/swfgen/text_writer.h"

namespace velmora::swfgen {

namespace {

constexpr RectTwips kStage = {0, 4000, 0, 3000};  // 200 x 150 pixels
constexpr Rgba kRed = {220, 40, 40, 255}, kGreen = {40, 180, 60, 255}, kBlue = {40, 80, 220, 255},
               kBlack = {0, 0, 0, 255}, kWhite = {255, 255, 255, 255}, kYellow = {250, 210, 40, 255};

Shape SolidRect(int32_t x, int32_t y, int32_t w, int32_t h, Rgba color) {
    ShapeBuilder b;
    b.SetStyles(0, b.AddFill(SolidFill(color)), 0);
    b.Rect(x, y, w, h);
    return b.Build();
}

Shape SolidEllipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry, Rgba color) {
    ShapeBuilder b;
    b.SetStyles(0, b.AddFill(SolidFill(color)), 0);
    b.Ellipse(cx, cy, rx, ry);
    return b.Build();
}

Matrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }

MovieBuilder NewMovie() {
    MovieBuilder m(8, kStage, 12);
    m.SetBackground(kWhite);
    return m;
}

std::vector<uint8_t> BuildShapes(swf::Compression compression) {
    MovieBuilder m = NewMovie();
    m.DefineShape(1, SolidRect(200, 200, 1400, 1000, kRed));
    ShapeBuilder circle;
    circle.SetStyles(0, circle.AddFill(SolidFill(kBlue)), circle.AddLine(Stroke(80, kBlack)));
    circle.Ellipse(2800, 900, 800, 600);
    m.DefineShape(2, circle.Build());
    ShapeBuilder triangle;
    triangle.SetStyles(0, triangle.AddFill(SolidFill(kGreen)), 0);
    triangle.MoveTo(2000, 1700);
    triangle.LineTo(3600, 2800);
    triangle.LineTo(400, 2800);
    triangle.LineTo(2000, 1700);
    m.DefineShape(3, triangle.Build());
    m.Place(1, 1);
    m.Place(2, 2);
    m.Place(3, 3);
    m.ShowFrame();
    return m.Build(compression);
}

std::vector<uint8_t> BuildGradients(swf::Compression compression) {
    MovieBuilder m = NewMovie();
    ShapeBuilder b;
    b.SetStyles(0, b.AddFill(GradientFill(FillKind::LinearGradient, {{0, kRed}, {255, kBlue}}, 200, 200, 3600, 1000)), 0);
    b.Rect(200, 200, 3600, 1000);
    b.SetStyles(0, b.AddFill(GradientFill(FillKind::RadialGradient, {{0, kWhite}, {255, kBlack}}, 500, 1400, 1400, 1400)), 0);
    b.Ellipse(1200, 2100, 700, 700);
    FillStyle focal = GradientFill(FillKind::FocalGradient, {{0, kYellow}, {128, kRed}, {255, kBlue}}, 2300, 1400, 1400, 1400);
    focal.gradient.focalPoint = 0.75f;
    b.SetStyles(0, b.AddFill(focal), 0);
    b.Ellipse(3000, 2100, 700, 700);
    m.DefineShape(1, b.Build());
    m.Place(1, 1);
    m.ShowFrame();
    return m.Build(compression);
}

Bitmap Checker() {
    Bitmap bmp;
    bmp.width = bmp.height = 8;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            bmp.pixels.push_back((x + y) % 2 ? 0xFF2850DCu : 0xFFFAD228u);
    return bmp;
}

std::vector<uint8_t> BuildBitmap(swf::Compression compression) {
    MovieBuilder m = NewMovie();
    m.DefineBitmap(1, Checker());
    ShapeBuilder b;
    // One bitmap pixel = 100 twips (5 screen pixels): clipped on the left, tiled on the right.
    b.SetStyles(0, b.AddFill(BitmapFill(1, false, false, 200, 200, 100)), 0);
    b.Rect(200, 200, 800, 800);
    b.SetStyles(0, b.AddFill(BitmapFill(1, true, false, 1400, 200, 50)), 0);
    b.Rect(1400, 200, 2400, 2600);
    m.DefineShape(2, b.Build());
    m.Place(2, 1);
    m.ShowFrame();
    return m.Build(compression);
}

std::vector<uint8_t> BuildTimeline(swf::Compression compression) {
    MovieBuilder m = NewMovie();
    m.DefineShape(1, SolidRect(0, 0, 600, 600, kRed));
    m.Place(1, 1, Translate(200, 1200));
    m.ShowFrame();
    m.Label("second");
    m.Move(1, Translate(1200, 1200));
    m.ShowFrame();
    m.Move(1, Translate(2200, 1200));
    m.ShowFrame();
    m.Remove(1);
    m.ShowFrame();
    return m.Build(compression);
}

std::vector<uint8_t> BuildSprite(swf::Compression compression) {
    MovieBuilder m = NewMovie();
    m.DefineShape(1, SolidRect(-400, -100, 800, 200, kBlue));
    TagList sprite = m.NewSprite();
    for (int i = 0; i < 4; ++i) {
        double angle = i * std::numbers::pi / 8;
        Matrix rot = {std::cos(angle), std::sin(angle), -std::sin(angle), std::cos(angle), 0, 0};
        i == 0 ? sprite.Place(1, 1, rot) : sprite.Move(1, rot);
        sprite.ShowFrame();
    }
    m.DefineSprite(2, sprite);
    m.Place(2, 1, Translate(1000, 1500));
    m.Place(2, 2, {0.5, 0, 0, 0.5, 3000, 1500});
    m.ShowFrame();
    m.ShowFrame();
    return m.Build(compression);
}

std::vector<uint8_t> BuildMask(swf::Compression compression) {
    MovieBuilder m = NewMovie();
    m.DefineShape(1, SolidEllipse(2000, 1500, 1200, 1000, kBlack));
    m.DefineShape(2, SolidRect(0, 0, 4000, 400, kRed));
    m.DefineShape(3, SolidRect(0, 0, 4000, 3000, kYellow));
    m.Place(3, 1);  // unmasked background
    swf::PlaceObject mask = Placement(1, 2);
    mask.clipDepth = 10;
    m.Place(mask);
    for (uint16_t i = 0; i < 4; ++i) m.Place(2, 3 + i, Translate(0, 200 + i * 700.0));
    m.ShowFrame();
    return m.Build(compression);
}

std::vector<uint8_t> BuildMorph(swf::Compression compression) {
    MovieBuilder m = NewMovie();
    swf::MorphShape morph;
    morph.startBounds = {0, 800, 0, 800};
    morph.endBounds = {0, 800, 0, 800};
    swf::MorphFillStyle fill;
    fill.startColor = kRed;
    fill.endColor = kBlue;
    morph.fills.push_back(fill);
    // Square to diamond: the same four edges, moved corners.
    const int32_t start[5][2] = {{0, 0}, {800, 0}, {800, 800}, {0, 800}, {0, 0}};
    const int32_t end[5][2] = {{400, 0}, {800, 400}, {400, 800}, {0, 400}, {400, 0}};
    for (int i = 0; i < 4; ++i) {
        ShapeEdge a;
        a.x0 = start[i][0];
        a.y0 = start[i][1];
        a.x1 = start[i + 1][0];
        a.y1 = start[i + 1][1];
        a.fill1 = 1;
        morph.startEdges.push_back(a);
        ShapeEdge b;
        b.x0 = end[i][0];
        b.y0 = end[i][1];
        b.x1 = end[i + 1][0];
        b.y1 = end[i + 1][1];
        morph.endEdges.push_back(b);
    }
    m.DefineMorphShape(1, morph);
    for (uint16_t i = 0; i < 3; ++i) {
        swf::PlaceObject p = Placement(1, static_cast<uint16_t>(1 + i), Translate(300 + i * 1200.0, 1100));
        p.ratio = static_cast<uint16_t>(i * 32767 + (i == 2 ? 1 : 0));
        m.Place(p);
    }
    m.ShowFrame();
    return m.Build(compression);
}

std::vector<uint8_t> BuildButton(swf::Compression compression) {
    MovieBuilder m = NewMovie();
    m.DefineShape(1, SolidRect(0, 0, 1600, 1000, kRed));
    m.DefineShape(2, SolidRect(0, 0, 1600, 1000, kGreen));
    m.DefineShape(3, SolidRect(0, 0, 1600, 1000, kBlue));
    swf::Button button;
    button.records.push_back({swf::kButtonUp, 1, 1, {}, {}, {}, swf::BlendMode::Normal});
    button.records.push_back({swf::kButtonOver, 2, 1, {}, {}, {}, swf::BlendMode::Normal});
    button.records.push_back({swf::kButtonDown | swf::kButtonHit, 3, 1, {}, {}, {}, swf::BlendMode::Normal});
    button.actions.push_back({swf::kCondOverDownToOverUp, {0x07, 0x00}});  // stop
    m.DefineButton2(4, button);
    m.Place(4, 1, Translate(1200, 1000));
    m.ShowFrame();
    return m.Build(compression);
}

std::vector<uint8_t> BuildColorTransform(swf::Compression compression) {
    MovieBuilder m = NewMovie();
    m.DefineShape(1, SolidRect(0, 0, 1800, 1800, kRed));
    m.DefineShape(2, SolidRect(0, 0, 1800, 1800, kBlue));
    m.Place(1, 1, Translate(400, 400));
    swf::PlaceObject p = Placement(2, 2, Translate(1600, 800));
    p.colorTransform = ColorTransform{1, 1, 1, 0.5f, 0, 0, 0, 0};
    m.Place(p);
    p.depth = 3;
    p.matrix = Translate(200, 2200);
    p.colorTransform = ColorTransform{0, 0, 0, 1, 40, 200, 60, 0};
    m.Place(p);
    m.ShowFrame();
    return m.Build(compression);
}

text::TextRecord Record(const text::Font& font, uint16_t fontId, double height, Rgba color, double x, double y,
                        std::u32string_view codes) {
    return {fontId, color, height, x, y, text::LayoutGlyphs(font, height, codes, true)};
}

std::vector<uint8_t> BuildText(swf::Compression compression) {
    MovieBuilder m = NewMovie();
    const text::Font font2 = BlockFont(U"ABCD ", text::kEmSquare);
    const text::Font font3 = BlockFont(U"ABCD ", text::kEmSquareFont3);
    m.DefineFont(1, font2, swf::kTagDefineFont2);
    m.DefineFont(2, font3, swf::kTagDefineFont3);
    text::StaticText two;
    two.bounds = {0, 3600, -560, 700};
    two.records = {Record(font2, 1, 400, kRed, 0, 0, U"ABCD"), Record(font2, 1, 240, kBlue, 0, 500, U"DC BA")};
    m.DefineText(3, two);
    text::StaticText three;
    three.bounds = {0, 3000, -300, 0};
    three.matrix = {0.94, -0.34, 0.34, 0.94, 0, 0};  // turned 20 degrees
    three.records = {Record(font3, 2, 400, Rgba{40, 180, 60, 160}, 0, 0, U"BADC")};
    m.DefineText(4, three, swf::kTagDefineText2);
    m.Place(3, 1, Translate(200, 800));
    m.Place(4, 2, Translate(400, 2600));
    m.ShowFrame();
    return m.Build(compression);
}

}  // namespace

const std::vector<Sample>& Samples() {
    static const std::vector<Sample> kSamples = {
        {"shapes", "solid fills, curves and a stroke", BuildShapes},
        {"gradients", "linear, radial and focal gradients", BuildGradients},
        {"bitmap", "clipped and repeating bitmap fills", BuildBitmap},
        {"timeline", "four frames moving and removing a shape, label \"second\"", BuildTimeline},
        {"sprite", "a looping sprite placed twice", BuildSprite},
        {"mask", "a clip-depth mask over stripes", BuildMask},
        {"morph", "a morph shape at ratios 0, 0.5 and 1", BuildMorph},
        {"button", "a button with up, over and down states", BuildButton},
        {"colortransform", "alpha and additive colour transforms", BuildColorTransform},
        {"text", "static text in DefineFont2 and DefineFont3 fonts, turned and translucent", BuildText},
    };
    return kSamples;
}

const Sample* FindSample(std::string_view name) {
    for (const auto& s : Samples())
        if (s.name == name) return &s;
    return nullptr;
}

}  // namespace velmora::swfgen
