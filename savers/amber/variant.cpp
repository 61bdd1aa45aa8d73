#include "savers/saver_variant.h"

const SaverVariant saverVariant = {
    "amber", true, 1, 63, FadeStyle::Textured, false, "Screensaver By Tam Corvel", DemoStyle::Amber,
};
