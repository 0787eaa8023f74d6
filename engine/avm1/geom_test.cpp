#include "engine/avm1/builtins_geom.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/avm1/builtins.h"
#include "engine/avm1/test_support.h"

namespace velmora::avm1 {
namespace {

class GeomTest : public ::testing::Test {
protected:
    test::RecordingHost host;
    Vm vm{host, nullptr, 8};

    Value N(double n) { return Value::Number(n); }
    Value New(const char* cls, std::vector<Value> args) {
        Object* ctor = vm.Get(Package(vm, "flash.geom"), cls).AsObject();
        return vm.Construct(ctor, args);
    }
    std::string Call(const Value& target, const char* method, std::vector<Value> args = {}) {
        return vm.ToString(vm.CallMethod(target, method, args));
    }
    std::string Str(const Value& v) { return vm.ToString(v); }
};

TEST_F(GeomTest, RectangleIntersectionAndUnion) {
    const struct {
        double a[4], b[4];
        const char* intersection;
        const char* unite;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 10, 10}, "(x=5, y=5, w=5, h=5)", "(x=0, y=0, w=15, h=15)"},
        {{0, 0, 10, 10}, {20, 20, 5, 5}, "(x=0, y=0, w=0, h=0)", "(x=0, y=0, w=25, h=25)"},
        {{0, 0, 10, 10}, {10, 0, 5, 5}, "(x=0, y=0, w=0, h=0)", "(x=0, y=0, w=15, h=10)"},  // edges touching
        {{0, 0, 0, 10}, {1, 1, 2, 2}, "(x=0, y=0, w=0, h=0)", "(x=1, y=1, w=2, h=2)"},     // empty: the other one
        {{-5, -5, 10, 10}, {-2, -8, 4, 20}, "(x=-2, y=-5, w=4, h=10)", "(x=-5, y=-8, w=10, h=20)"},
    };
    for (const auto& c : cases) {
        Value a = New("Rectangle", {N(c.a[0]), N(c.a[1]), N(c.a[2]), N(c.a[3])});
        Value b = New("Rectangle", {N(c.b[0]), N(c.b[1]), N(c.b[2]), N(c.b[3])});
        EXPECT_EQ(Call(a, "intersection", {b}), c.intersection) << Str(a) << " " << Str(b);
        EXPECT_EQ(Call(a, "union", {b}), c.unite) << Str(a) << " " << Str(b);
        EXPECT_EQ(Call(a, "intersects", {b}), std::string(c.intersection) == "(x=0, y=0, w=0, h=0)" ? "false" : "true");
    }
}

TEST_F(GeomTest, RectangleEdgesMoveOneSide) {
    Value r = New("Rectangle", {N(1), N(3), N(5), N(7)});
    vm.Set(r.AsObject(), "left", N(0));   // the right edge stays at 6
    vm.Set(r.AsObject(), "bottom", N(20));
    EXPECT_EQ(Str(r), "(x=0, y=3, w=6, h=17)");
    EXPECT_EQ(Str(vm.Get(r.AsObject(), "bottomRight")), "(x=6, y=20)");
    EXPECT_EQ(Call(r, "contains", {N(6), N(4)}), "false");  // the far edges are outside
    EXPECT_EQ(Call(r, "contains", {N(0), N(3)}), "true");
    RectValues read;
    ASSERT_TRUE(ReadRectangle(vm, r, read));
    EXPECT_EQ(read.width, 6);
    EXPECT_EQ(read.height, 17);
}

TEST_F(GeomTest, MatrixArithmetic) {
    Value m = New("Matrix", {});
    Call(m, "scale", {N(2), N(3)});
    Call(m, "translate", {N(10), N(20)});
    EXPECT_EQ(Str(m), "(a=2, b=0, c=0, d=3, tx=10, ty=20)");
    EXPECT_EQ(Call(m, "transformPoint", {New("Point", {N(1), N(1)})}), "(x=12, y=23)");
    EXPECT_EQ(Call(m, "deltaTransformPoint", {New("Point", {N(1), N(1)})}), "(x=2, y=3)");
    Call(m, "invert");
    EXPECT_EQ(Call(m, "transformPoint", {New("Point", {N(12), N(23)})}), "(x=1, y=1)");

    // A skewed matrix inverts through the determinant; a singular one becomes the identity.
    Value skew = New("Matrix", {N(1), N(2), N(3), N(4), N(5), N(6)});
    Call(skew, "invert");
    EXPECT_EQ(Str(skew), "(a=-2, b=1, c=1.5, d=-0.5, tx=1, ty=-2)");
    Value singular = New("Matrix", {N(1), N(2), N(2), N(4), N(5), N(6)});
    Call(singular, "invert");
    EXPECT_EQ(Str(singular), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");

    Value box = New("Matrix", {});
    Call(box, "createGradientBox", {N(1638.4), N(819.2), N(0), N(10), N(20)});
    Matrix read;
    ASSERT_TRUE(ReadMatrix(vm, box, read));
    EXPECT_DOUBLE_EQ(read.a, 1);
    EXPECT_DOUBLE_EQ(read.d, 0.5);
    EXPECT_DOUBLE_EQ(read.tx, 10 + 819.2);
    EXPECT_DOUBLE_EQ(read.ty, 20 + 409.6);

    Value rotated = New("Matrix", {});
    Call(rotated, "rotate", {N(std::acos(-1.0) / 2)});
    Value p = vm.CallMethod(rotated, "transformPoint", std::vector<Value>{New("Point", {N(1), N(0)})});
    double x = 0, y = 0;
    ASSERT_TRUE(ReadPoint(vm, p, x, y));
    EXPECT_NEAR(x, 0, 1e-12);
    EXPECT_NEAR(y, 1, 1e-12);
}

TEST_F(GeomTest, ColorTransformConcatAndRgb) {
    Value a = New("ColorTransform", {N(0.5), N(0.5), N(0.5), N(0.5), N(10), N(20), N(30), N(40)});
    Value b = New("ColorTransform", {N(0.5), N(0.5), N(0.5), N(0.5), N(50), N(60), N(70), N(80)});
    Call(a, "concat", {b});
    EXPECT_EQ(Str(a), "(redMultiplier=0.25, greenMultiplier=0.25, blueMultiplier=0.25, alphaMultiplier=0.25, "
                      "redOffset=35, greenOffset=50, blueOffset=65, alphaOffset=80)");
    vm.Set(a.AsObject(), "rgb", N(0x204080));
    EXPECT_EQ(Str(vm.Get(a.AsObject(), "rgb")), std::to_string(0x204080));
    ColorTransformValues read;
    ASSERT_TRUE(ReadColorTransform(a, read));
    EXPECT_EQ(read.mul[0], 0);  // rgb replaces the colour multipliers, keeps alpha
    EXPECT_EQ(read.mul[3], 0.25);
    EXPECT_EQ(read.add[1], 0x40);
    EXPECT_FALSE(ReadColorTransform(Value::Obj(vm.NewObject()), read));
}

TEST_F(GeomTest, PackageIsHiddenBeforeSwf8) {
    Vm old{host, nullptr, 7};
    EXPECT_TRUE(old.Get(old.Global(), "flash").IsUndefined());
    EXPECT_TRUE(vm.Get(vm.Global(), "flash").IsObject());
    // Native code still makes points in an older movie.
    double x = 0, y = 0;
    EXPECT_TRUE(ReadPoint(old, MakePoint(old, 3, 4), x, y));
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 4);
}

}  // namespace
}  // namespace velmora::avm1
