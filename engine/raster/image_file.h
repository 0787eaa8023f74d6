// PNG files of surfaces: writing renders to look at, reading expected pictures.
#pragma once

#include <string>

#include "engine/raster/renderer.h"

namespace velmora::raster {

// Writes the surface as straight-alpha RGBA PNG. False on failure.
bool WritePng(const Surface& surface, const std::string& path);
// Reads a PNG into a premultiplied surface. False when missing or undecodable.
bool ReadPng(const std::string& path, Surface& surface);

}  // namespace velmora::raster
