// Image lists.
#include "imagelist.h"

#include "runtimeerror.h"

namespace Runtime {

Picture ImageList::picture(int index) const
{
    if (index < 1 || index > count())
        throw RuntimeError(Err::IndexOutOfBounds,
                           QStringLiteral("Index out of bounds: image %1 of %2").arg(index).arg(count()));
    return m_pictures.at(index - 1);
}

} // namespace Runtime
