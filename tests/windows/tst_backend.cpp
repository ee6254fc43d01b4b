// The Win32 back end's pictures, in this test program: each stored picture is found by its
// name among the program's resources and decoded by Windows, and a name with no picture gives
// none (for which the runtime raises its error). (This program carries the same BITMAP
// resources as Quorvel.exe.)
#include "doctest.h"
#include "quorvel.h"

#include "runtime/win32/backend.h"

TEST_CASE("the back end finds every stored picture by its name, decoded by Windows, and none for a name without one")
{
    Runtime::Win32::Win32Backend backend(GetModuleHandleW(nullptr));
    REQUIRE_FALSE(backend.problem().has_value());
    const char* names[] = {"PicM",         "pic2",         "Picture2",     "pic3",         "pic4",
                           "Picture8",     "Picture3",     "Picture5",     "Picture6",     "Picture1",
                           "ImageList1-1", "ImageList1-6", "ImageList2-1", "ImageList2-6", "imagelist2-3"};
    for (const char* name : names) {
        CAPTURE(name);
        const Runtime::Picture picture = backend.loadPicture(name);
        const quorvel::Picture& stored = quorvel::storedPicture(name);
        REQUIRE_FALSE(stored.rgb.empty());
        CHECK(picture.width() == stored.width);
        CHECK(picture.height() == stored.height);
        int wrong = 0;
        for (int y = 0; y < stored.height; ++y) {
            for (int x = 0; x < stored.width; ++x) {
                wrong += picture.pixelColour(x, y) != Runtime::Rgb{stored.at(x, y)}; // 0x00RRGGBB
            }
        }
        CHECK(wrong == 0);
        // Beyond its edges a picture has nothing.
        CHECK(picture.pixelColour(stored.width, 0) == Runtime::Rgb{});
    }
    for (const char* missing : {"NoSuchPicture", "", "PicM.bmp"}) {
        CAPTURE(missing);
        CHECK(backend.loadPicture(missing).isNull());
    }
}
