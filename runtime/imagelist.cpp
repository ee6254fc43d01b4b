// Image lists.
#include "runtime/imagelist.h"

#include "runtime/runtimeerror.h"

#include <string>

namespace Runtime {

Picture ImageList::picture(int index) const
{
    if (index < 1 || index > count())
        throw RuntimeError(Err::IndexOutOfBounds, "Index out of bounds: image " + std::to_string(index)
                                                          + " of " + std::to_string(count()));
    Picture &picture = m_pictures[std::size_t(index - 1)];
    if (picture.isNull() && m_loader)
        picture = m_loader(index);
    return picture;
}

} // namespace Runtime
