#include "savers/saver_variant.h"

const SaverVariant saverVariant = {
    "opal", false, 1, 63, FadeStyle::Textured, false, "Screensaver By Tam Corvel", DemoStyle::Opal,
};
