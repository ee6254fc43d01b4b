// An ordered holder of pictures, addressed 1 to n.
#pragma once

#include "runtime/picture.h"

#include <functional>
#include <vector>

namespace Runtime {

class ImageList final
{
public:
    // Gives the picture of image n, 1 to count.
    using Loader = std::function<Picture(int n)>;

    ImageList() = default;
    explicit ImageList(std::vector<Picture> pictures) : m_pictures(std::move(pictures)) { }
    // Each image is read when it is first asked for, and kept from then on.
    ImageList(int count, Loader loader) : m_pictures(std::size_t(count)), m_loader(std::move(loader)) { }

    int count() const { return int(m_pictures.size()); }

    // The picture of image `index`, 1 to count(); anything else raises run-time error 35600.
    // Asked again, the same picture.
    Picture picture(int index) const;

private:
    mutable std::vector<Picture> m_pictures;
    Loader m_loader;
};

} // namespace Runtime
