// Small movies that each show one feature: test fixtures, and `swfgen NAME` output.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/swf/swf_stream.h"

namespace velmora::swfgen {

struct Sample {
    std::string_view name;
    std::string_view description;
    std::vector<uint8_t> (*build)(swf::Compression);
};

const std::vector<Sample>& Samples();
const Sample* FindSample(std::string_view name);

}  // namespace velmora::swfgen
