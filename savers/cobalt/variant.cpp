#include "savers/saver_variant.h"

const SaverVariant saverVariant = {
    "cobalt", false, 0, 63, FadeStyle::None, true, "Cobalt SS - By Tam Corvel", DemoStyle::Cobalt,
};
