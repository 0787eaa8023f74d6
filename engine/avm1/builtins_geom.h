// flash.geom objects seen from native code: the classes that take points, rectangles,
// matrices and colour transforms (BitmapData, filters, Transform) read and make them here.
#pragma once

#include "engine/avm1/vm.h"
#include "engine/core/geometry.h"

namespace velmora::avm1 {

// The player reads these fields from any object (a Point or a plain {x:, y:}).
// False when the value is not an object; missing fields read as NaN.
bool ReadPoint(Vm& vm, const Value& v, double& x, double& y);
struct RectValues {
    double x = 0, y = 0, width = 0, height = 0;
};
bool ReadRectangle(Vm& vm, const Value& v, RectValues& out);
bool ReadMatrix(Vm& vm, const Value& v, Matrix& out);  // translation as stored (pixels)

Value MakePoint(Vm& vm, double x, double y);
Value MakeRectangle(Vm& vm, const RectValues& r);
Value MakeMatrix(Vm& vm, const Matrix& m);

// A ColorTransform instance keeps its eight numbers natively, in double precision.
struct ColorTransformValues {
    double mul[4] = {1, 1, 1, 1};  // r, g, b, a
    double add[4] = {0, 0, 0, 0};
    ColorTransform ToEngine() const;
    static ColorTransformValues FromEngine(const ColorTransform& t);
};
// False unless `v` is a ColorTransform instance.
bool ReadColorTransform(const Value& v, ColorTransformValues& out);
Value MakeColorTransform(Vm& vm, const ColorTransformValues& t);

// Defines a native getter/setter pair (setter may be empty: writes are ignored).
Property& DefineAccessor(Vm& vm, Object* target, std::string_view name, NativeFunction get, NativeFunction set,
                         uint16_t flags);

}  // namespace velmora::avm1
