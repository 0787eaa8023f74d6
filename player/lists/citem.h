// The item of an IList: two text lines and the number of its icon in the image list.
#pragma once

#include <cstdint>
#include <string>

namespace velmora::lists {

struct CItem {
    std::wstring Text;
    std::wstring Caption;
    // 1-based picture of the image list; 0 shows no picture.
    int32_t Icon = 0;
};

}  // namespace velmora::lists
