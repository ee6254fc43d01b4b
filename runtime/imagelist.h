// An ordered holder of pictures, addressed 1 to n.
#pragma once

#include "runtime/picture.h"

#include <vector>

namespace Runtime {

class ImageList final
{
public:
    ImageList() = default;
    explicit ImageList(std::vector<Picture> pictures) : m_pictures(std::move(pictures)) { }

    int count() const { return int(m_pictures.size()); }

    // The picture of image `index`, 1 to count(); anything else raises run-time error 35600.
    Picture picture(int index) const;

private:
    std::vector<Picture> m_pictures;
};

} // namespace Runtime
