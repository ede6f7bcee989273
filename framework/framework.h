// The small application framework of our own, in one include: application,
// command targets, windows, frames, modal dialogs, menus and the resource module.
#pragma once

#include "framework/cmdtarget.h"
#include "framework/dialog.h"
#include "framework/framewnd.h"
#include "framework/menu.h"
#include "framework/module.h"
#include "framework/winapp.h"
#include "framework/wnd.h"
