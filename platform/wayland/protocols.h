// The protocol headers wayland-scanner generates (core, xdg-shell,
// wlr-layer-shell, viewporter, fractional-scale, ext-session-lock), with the wl_proxy calls of
// their inline functions going through the run-time loaded library
// (libraries.h).
#pragma once

#include "platform/wayland/libraries.h"

#define wl_proxy_marshal_flags (plat::wlLib.proxyMarshalFlags)
#define wl_proxy_add_listener (plat::wlLib.proxyAddListener)
#define wl_proxy_destroy (plat::wlLib.proxyDestroy)
#define wl_proxy_get_version (plat::wlLib.proxyGetVersion)
#define wl_proxy_set_user_data (plat::wlLib.proxySetUserData)
#define wl_proxy_get_user_data (plat::wlLib.proxyGetUserData)

#include "ext-session-lock-v1-client-protocol.h"
#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wayland-client-protocol.h"
#include "xdg-shell-client-protocol.h"
// One argument of the layer shell is named with a C++ keyword.
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
