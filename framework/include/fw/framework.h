// Everything a dialog program of this framework uses.
#pragma once

#include <windows.h>

#include <fw/controls.h>
#include <fw/data_exchange.h>
#include <fw/dialog.h>
#include <fw/menu.h>
#include <fw/message_map.h>
#include <fw/paint_dc.h>
#include <fw/rect.h>
#include <fw/win_app.h>
#include <fw/wnd.h>
