#include "savers/saver_variant.h"

const SaverVariant saverVariant = {
    "jade", false, 1, 63, FadeStyle::Black, false, "Screensaver By Tam Corvel", DemoStyle::Jade,
};
