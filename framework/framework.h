// The small application framework of our own, in one include: application,
// command targets, windows, frames, views and documents, modal dialogs, menus,
// tooltips, the open-file dialog and the resource module.
#pragma once

#include "framework/cmdtarget.h"
#include "framework/dialog.h"
#include "framework/document.h"
#include "framework/filedialog.h"
#include "framework/framewnd.h"
#include "framework/menu.h"
#include "framework/module.h"
#include "framework/tooltip.h"
#include "framework/view.h"
#include "framework/winapp.h"
#include "framework/wnd.h"
